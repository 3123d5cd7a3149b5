// DrawTextA: formatted text in a rectangle, or (DT_CALCRECT) the
// rectangle it needs.
#include "gdi/dc.h"
#include "gdi/drawtext_layout.h"
#include "gdi/objects.h"
#include "gdi/text_render.h"

#include <algorithm>
#include <cstring>

using namespace qpm;

namespace {

// DT_CALCRECT keeps left and top: right = left + the widest line,
// bottom = top + the height. The rectangle is never centred.
int CalcRect(const LaidOutText& text, int lineHeight, RECT* rect) {
    int widest = 0;
    for (const TextLayoutLine& line : text.lines) widest = std::max(widest, line.width);
    int height = int(text.lines.size()) * lineHeight;
    rect->right = rect->left + widest;
    rect->bottom = rect->top + height;
    return height;
}

// The top of the first line: DT_VCENTER and DT_BOTTOM apply to single
// lines only.
int FirstLineTop(const RECT& r, UINT format, int textHeight) {
    if (!(format & DT_SINGLELINE)) return r.top;
    if (format & DT_VCENTER) return r.top + (r.bottom - r.top - textHeight) / 2;
    if (format & DT_BOTTOM) return r.bottom - textHeight;
    return r.top;
}

int LineLeft(const RECT& r, UINT format, int width) {
    if (format & DT_CENTER) return r.left + (r.right - r.left - width) / 2;
    if (format & DT_RIGHT) return r.right - width;
    return r.left;
}

struct LineStyle {
    TextStyle text;
    const RECT* clip;  // surface coordinates, or nullptr with DT_NOCLIP
};

void DrawLine(Canvas& canvas, const FontInstance& font, const LaidOutText& text,
              const TextLayoutLine& line, POINT at, const LineStyle& style) {
    std::vector<INT> advances = LineAdvances(font, text, line);
    const char* bytes = text.shown.data() + line.begin;
    int count = line.end - line.begin;
    DrawTextRun(canvas, font, at.x, at.y, bytes, count, advances.data(), style.text, style.clip);
    int pen = at.x;
    for (int i = 0; i < count; ++i) {
        if (text.underlined[size_t(line.begin) + size_t(i)])
            DrawUnderlineBar(canvas, font, pen, advances[i], at.y, style.text.text, style.clip);
        pen += advances[i];
    }
}

void DrawLines(DeviceContext& dc, const FontInstance& font, const LaidOutText& text,
               const RECT& rect, UINT format, int top) {
    Canvas canvas;
    if (!OpenCanvas(dc, &canvas)) return;
    RECT box{canvas.X(rect.left), canvas.Y(rect.top), canvas.X(rect.right), canvas.Y(rect.bottom)};
    LineStyle style{{PixelFromColor(dc.textColor), PixelFromColor(dc.bkColor), dc.bkMode == OPAQUE},
                    (format & DT_NOCLIP) ? nullptr : &box};
    int lineHeight = font.Metrics().height;
    int y = top;
    for (const TextLayoutLine& line : text.lines) {
        POINT at{canvas.X(LineLeft(rect, format, line.inkWidth)), canvas.Y(y)};
        DrawLine(canvas, font, text, line, at, style);
        y += lineHeight;
    }
    canvas.Changed();
}

}  // namespace

// Returns the height of the text, or with DT_VCENTER/DT_BOTTOM the offset
// from the rectangle's top to the text's bottom. An empty string returns
// the line height and leaves the rectangle alone.
int WINAPI DrawTextA(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !rect || (!text && count != 0)) {
        if (dc) SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::shared_ptr<FontInstance> font = RealizeFont(dc->font);
    if (!font) return 0;
    if (count < 0) count = int(std::strlen(text));
    int lineHeight = font->Metrics().height;
    if (count == 0) return lineHeight;
    LaidOutText laid = LayOutText(*font, text, count, format, rect->right - rect->left);
    if (format & DT_CALCRECT) return CalcRect(laid, lineHeight, rect);
    int height = int(laid.lines.size()) * lineHeight;
    int top = FirstLineTop(*rect, format, height);
    DrawLines(*dc, *font, laid, *rect, format, top);
    return top - rect->top + height;
}
