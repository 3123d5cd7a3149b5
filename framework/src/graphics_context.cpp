// The drawing toolkit: bevels, centred text and fonts.
#include <qpm/graphics_context.h>

#include <cstdint>
#include <cstring>

GraphicsContext::GraphicsContext(Component* owner, HDC dc) : owner_(owner), dc_(dc) {}

GraphicsContext::~GraphicsContext() {
    if (dc_ == nullptr) return;
    Empty(first_);
    Empty(second_);
    Empty(font_);
    Empty(offscreen_);
    if (ownsDC_) {
        const InstanceRecord* record = Record();
        ReleaseDC(record ? record->window : nullptr, dc_);
    }
    owner_ = nullptr;
    dc_ = nullptr;
    ownsDC_ = false;
}

void GraphicsContext::Empty(Selection& slot) {
    if (slot.displaced == nullptr && slot.created == nullptr) return;
    SelectObject(dc_, slot.displaced);
    if (slot.created) DeleteObject(slot.created);
    slot = Selection{};
}

void GraphicsContext::Empty(BorrowedSelection& slot) {
    if (slot.displaced == nullptr && slot.selected == nullptr) return;
    SelectObject(dc_, slot.displaced);
    if (slot.selected && !slot.borrowed) DeleteObject(slot.selected);
    slot = BorrowedSelection{};
}

void GraphicsContext::Empty(Offscreen& slot) {
    if (slot.memoryDC == nullptr && slot.bitmap == nullptr) return;
    if (slot.memoryDC) SelectObject(slot.memoryDC, slot.displacedBitmap);
    if (slot.bitmap) DeleteObject(slot.bitmap);
    if (slot.memoryDC) DeleteDC(slot.memoryDC);
    slot = Offscreen{};
}

COLORREF GraphicsContext::BackgroundColour() const {
    const InstanceRecord* record = Record();
    if (record == nullptr) return kLightGrey;
    if (record->printing) return kWhite;
    return record->backColor;
}

void GraphicsContext::DrawBevelRect(const RECT& r, int32_t width, int32_t raised, int32_t outline,
                                    int32_t fill, COLORREF colour) {
    DrawBevel(r.left, r.top, r.right, r.bottom, width, raised, outline, fill, colour);
}

// Lines are MoveToEx/LineTo strokes, which leave out their end points.
void GraphicsContext::DrawBevel(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                int32_t width, int32_t raised, int32_t outline, int32_t fill,
                                COLORREF colour) {
    const InstanceRecord* record = Record();
    const bool explicitFill = fill && colour != kBackgroundColour;
    const bool paleSurface = record && (record->printing || record->backColor == kWhite);
    const COLORREF highlight = (paleSurface && !explicitFill) ? kLightGrey : kWhite;

    if (outline) {
        HPEN black = CreatePen(PS_SOLID, 1, kBlack);
        HGDIOBJ displaced = SelectObject(dc_, black);
        if (raised) {
            // The four corner pixels stay undrawn.
            MoveToEx(dc_, left + 1, top, nullptr);
            LineTo(dc_, right - 1, top);
            MoveToEx(dc_, right - 1, top + 1, nullptr);
            LineTo(dc_, right - 1, bottom - 1);
            MoveToEx(dc_, right - 2, bottom - 1, nullptr);
            LineTo(dc_, left, bottom - 1);
            MoveToEx(dc_, left, bottom - 2, nullptr);
            LineTo(dc_, left, top);
        } else {
            MoveToEx(dc_, left, top, nullptr);
            LineTo(dc_, right, top);
            LineTo(dc_, right, bottom);
            LineTo(dc_, left, bottom);
            LineTo(dc_, left, top);
        }
        SelectObject(dc_, displaced);
        DeleteObject(black);
        ++left, ++top, --right, --bottom;
    }

    // A raised bevel is light at the top left, a sunken one dark there.
    HPEN topLeft = CreatePen(PS_SOLID, 1, raised ? highlight : kDarkGrey);
    HPEN bottomRight = CreatePen(PS_SOLID, 1, raised ? kDarkGrey : highlight);
    for (int32_t i = 0; i < width; ++i) {
        HGDIOBJ displaced = SelectObject(dc_, topLeft);
        MoveToEx(dc_, right - 1 - i, top + i, nullptr);
        LineTo(dc_, left + i, top + i);
        LineTo(dc_, left + i, bottom - 1 - i);
        SelectObject(dc_, bottomRight);
        LineTo(dc_, right - 1 - i, bottom - 1 - i);
        LineTo(dc_, right - 1 - i, top + i);
        SelectObject(dc_, displaced);
    }
    DeleteObject(topLeft);
    DeleteObject(bottomRight);

    if (!fill) return;
    if (colour == kBackgroundColour) {
        if (record && record->printing) return;
        colour = BackgroundColour();
    }
    RECT inside{left + width, top + width, right - width, bottom - width};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc_, &inside, brush);
    DeleteObject(brush);
}

bool GraphicsContext::MeasureText(const char* text, int32_t count, int32_t* width,
                                  int32_t* height) {
    SIZE extent{};
    if (!GetTextExtentPoint32A(dc_, text, count, &extent)) return false;
    *width = extent.cx;
    *height = extent.cy;
    return true;
}

void GraphicsContext::DrawTextCentredRect(const RECT& r, const char* text, int32_t wrap,
                                          int32_t count) {
    DrawTextCentred(r.left, r.top, r.right, r.bottom, text, wrap, count);
}

void GraphicsContext::DrawTextCentred(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                      const char* text, int32_t wrap, int32_t count) {
    if (count == -1) count = int32_t(strlen(text));
    if (!wrap) {
        int32_t width = 0, height = 0;
        if (!MeasureText(text, count, &width, &height)) {
            // Unmeasurable text starts at the rectangle's corner.
            TextOutA(dc_, left, top, text, count);
            return;
        }
        TextOutA(dc_, left + (right - left - width) / 2, top + (bottom - top - height) / 2, text,
                 count);
        return;
    }
    RECT area{left, top, right, bottom};
    RECT needed = area;
    DrawTextA(dc_, text, count, &needed, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    area.top += ((area.bottom - area.top) - (needed.bottom - needed.top)) / 2;
    DrawTextA(dc_, text, count, &area, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
}

bool GraphicsContext::SelectFont(const char* face, int32_t height, BYTE italic, int32_t bold,
                                 BYTE underline, int32_t charset) {
    if (dc_ == nullptr) return false;
    // A second font replaces the first: the first one's slot is emptied.
    Empty(font_);
    LOGFONTA lf;
    memset(&lf, 0, sizeof lf);
    // A character height, not a cell height. The most negative height has
    // no negation in 32 bits: the largest height stands for it.
    lf.lfHeight = height == INT32_MIN ? INT32_MAX : -height;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = charset ? 1 : 0;
    lstrcpynA(lf.lfFaceName, face ? face : "", LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&lf);
    if (font == nullptr) return false;
    HGDIOBJ displaced = SelectObject(dc_, font);
    if (displaced == nullptr) {
        DeleteObject(font);
        return false;
    }
    font_.displaced = displaced;
    font_.created = font;
    return true;
}
