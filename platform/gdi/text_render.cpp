// Glyph runs: background cell, coverage-blended glyphs, decorations;
// and ExtTextOutA / TextOutA on top of them.
#include "gdi/text_render.h"

#include "gdi/objects.h"
#include "gdi/raster.h"

#include <algorithm>
#include <climits>

namespace qpm {

int TextWidth(const FontInstance& font, const char* text, int count, const INT* dx) {
    int width = 0;
    for (int i = 0; i < count; ++i)
        width += dx ? dx[i] : font.Advance(static_cast<unsigned char>(text[i]));
    return width;
}

void DrawUnderlineBar(Canvas& canvas, const FontInstance& font, int left, int width, int y,
                      uint32_t pixel, const RECT* clip) {
    const FontMetrics& m = font.Metrics();
    int top = y + m.ascent + m.underlineTop;
    FillPixels(canvas, RECT{left, top, left + width, top + m.underlineThickness}, pixel, clip);
}

// Glyphs wholly outside `visible` are passed over without a look at the
// canvas: a ticker's line of text is mostly beyond its window's edge.
void DrawTextRun(Canvas& canvas, const FontInstance& font, int x, int y, const char* text,
                 int count, const INT* dx, const TextStyle& style, const RECT* clip) {
    const FontMetrics& m = font.Metrics();
    const bool needsWidth = style.opaque || m.underline || m.strikeOut;
    const int width = needsWidth ? TextWidth(font, text, count, dx) : 0;
    if (style.opaque)
        FillPixels(canvas, RECT{x, y, x + width, y + m.height}, style.background, clip);
    RECT visible = canvas.clip.Bounds();
    if (clip) visible = RectIntersection(visible, *clip);
    int baseline = y + m.ascent;
    int64_t pen = x;
    for (int i = 0; i < count; ++i) {
        const Glyph& glyph = font.GlyphOf(static_cast<unsigned char>(text[i]));
        const int64_t left = pen + glyph.left, top = int64_t(baseline) - glyph.top;
        if (glyph.width > 0 && glyph.height > 0 && left < visible.right &&
            left + glyph.width > visible.left && top < visible.bottom &&
            top + glyph.height > visible.top) {
            CoverageMask mask{glyph.coverage.data(), glyph.width, glyph.height, glyph.width};
            BlendMask(canvas, int(left), int(top), mask, style.text, clip);
        }
        pen += dx ? dx[i] : glyph.advance;
    }
    if (m.underline) DrawUnderlineBar(canvas, font, x, width, y, style.text, clip);
    if (m.strikeOut) {
        int top = baseline - m.strikeTop;
        FillPixels(canvas, RECT{x, top, x + width, top + m.strikeThickness}, style.text, clip);
    }
}

}  // namespace qpm

using namespace qpm;

namespace {

RECT SurfaceRect(const Canvas& canvas, const RECT& r) {
    return RECT{canvas.X(std::min(r.left, r.right)), canvas.Y(std::min(r.top, r.bottom)),
                canvas.X(std::max(r.left, r.right)), canvas.Y(std::max(r.top, r.bottom))};
}

}  // namespace

// ETO_OPAQUE fills the rectangle with the background colour whatever the
// background mode; ETO_CLIPPED keeps the text (and its cell) inside it.
// Text is placed TA_TOP|TA_LEFT: (x, y) is the top-left of the cell. A
// NULL string draws no text whatever the count, as in GDI.
BOOL WINAPI ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text,
                        UINT count, const INT* dx) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc) return FALSE;
    if (!text) count = 0;
    if (count > INT_MAX) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::shared_ptr<FontInstance> font = count > 0 ? RealizeFont(dc->font) : nullptr;
    if (count > 0 && !font) return FALSE;
    Canvas canvas;
    if (!OpenCanvas(*dc, &canvas)) return TRUE;
    RECT box = rect ? SurfaceRect(canvas, *rect) : RECT{};
    if (rect && (options & ETO_OPAQUE)) FillPixels(canvas, box, PixelFromColor(dc->bkColor));
    const RECT* clip = rect && (options & ETO_CLIPPED) ? &box : nullptr;
    if (count > 0) {
        TextStyle style{PixelFromColor(dc->textColor), PixelFromColor(dc->bkColor),
                        dc->bkMode == OPAQUE};
        DrawTextRun(canvas, *font, canvas.X(x), canvas.Y(y), text, int(count), dx, style, clip);
    }
    canvas.Changed();
    return TRUE;
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR text, int count) {
    if (count < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return ExtTextOutA(hdc, x, y, 0, nullptr, text, UINT(count), nullptr);
}
