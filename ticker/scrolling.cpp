// The scrolling display: the text slides in from the right edge 8 pixels
// a tick until it reaches the left edge of the text area, then loses one
// character at its front per tick until the last one has gone, and
// enters at the right edge again.
#include <qpm/graphics_context.h>

#include <cstring>

#include "message_ticker.h"

int32_t MessageTicker::StartOffset() const {
    int32_t offset = instance->width - kStartGap - (showBorder ? kStartGap : 0);
    return offset > 0 ? offset : 0;
}

void MessageTicker::Restart() {
    firstChar = 0;
    offsetX = StartOffset();
    SetTimer(instance->window, kScrollTimer, kScrollPeriod, nullptr);
}

void MessageTicker::Stop() { KillTimer(instance->window, kScrollTimer); }

void MessageTicker::Reset() {
    firstChar = 0;
    RepaintNow(instance);
}

// One tick. The picture shows the state the previous tick left; the tick
// in which the text reaches the left edge already drops its first
// character, so the whole text is never drawn from the left edge.
void MessageTicker::OnTimer(UINT_PTR) {
    RepaintNow(instance);
    if (!active) return;
    if (offsetX > 0) {
        offsetX -= kSlideStep;
        if (offsetX < 0) offsetX = 0;
    }
    if (offsetX > 0) return;
    if (++firstChar < textLength) return;
    firstChar = 0;
    offsetX = StartOffset();  // the width is read afresh: a resize shows at the next cycle
}

void MessageTicker::Paint(HDC dc) {
    GraphicsContext gc(this, dc);
    if (text == nullptr || !active) return;
    RECT area{};
    GetClientRect(instance->window, &area);
    if (showBorder) {
        gc.DrawBevelRect(area, kBevelWidth, 0, 0, 0, kBackgroundColour);
        area.left += kBorderInset;
        area.right -= kBorderInset;
    }
    area.left += offsetX;
    gc.SelectFont(faceName, fontSize, 0, 0, 0, 0);
    SetBkMode(dc, TRANSPARENT);
    const char* visible = text + firstChar;
    const int32_t length = int32_t(strnlen(visible, size_t(textLength - firstChar)));
    int32_t width = 0, height = 0;
    int32_t y = area.top;  // where unmeasurable text goes
    // The height measured is the font's for any text that is not empty:
    // its first character gives it as well as all of it would, at a cost
    // that does not grow with the text.
    if (gc.MeasureText(visible, length > 0 ? 1 : 0, &width, &height))
        y = area.top + (area.bottom - height - area.top) / 2;
    ExtTextOutA(dc, area.left, y, ETO_CLIPPED, &area, visible, UINT(length), nullptr);
}
