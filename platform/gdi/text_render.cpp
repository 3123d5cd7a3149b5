// Glyph runs: background cell, coverage-blended glyphs, decorations;
// and ExtTextOutA / TextOutA on top of them.
#include "gdi/text_render.h"

#include "gdi/objects.h"
#include "gdi/raster.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace qpm {

int TextWidth(const FontInstance& font, const char* text, int count, const INT* dx) {
    int64_t width = 0;
    for (int i = 0; i < count; ++i)
        width += dx ? dx[i] : font.Advance(static_cast<unsigned char>(text[i]));
    // A run wider than any surface cannot overflow the sum.
    return int(std::clamp<int64_t>(width, INT_MIN, INT_MAX));
}

void DrawUnderlineBar(Canvas& canvas, const FontInstance& font, int left, int width, int y,
                      uint32_t pixel, const RECT* clip) {
    const FontMetrics& m = font.Metrics();
    int top = y + m.ascent + m.underlineTop;
    FillPixels(canvas, RECT{left, top, left + width, top + m.underlineThickness}, pixel, clip);
}

namespace {

// The pixels a run may touch: the canvas's clip, and `clip` when given.
RECT DrawableArea(const Canvas& canvas, const RECT* clip) {
    const RECT bounds = canvas.clip.Bounds();
    return clip ? RectIntersection(bounds, *clip) : bounds;
}

// The run's width as far as it matters: without `dx` the advances only
// go right, so the sum stops once it reaches `enough` pixels.
int VisibleWidth(const FontInstance& font, const char* text, int count, const INT* dx, int enough) {
    if (dx) return TextWidth(font, text, count, dx);
    int width = 0;
    for (int i = 0; i < count && width < enough; ++i)
        width += font.Advance(static_cast<unsigned char>(text[i]));
    return width;
}

}  // namespace

// Drawing costs what shows: the glyphs are drawn from the left until the
// pen has passed the right edge of what may be drawn on, so a run of
// millions of characters in a narrow window costs a few dozen glyphs.
void DrawTextRun(Canvas& canvas, const FontInstance& font, int x, int y, const char* text,
                 int count, const INT* dx, const TextStyle& style, const RECT* clip) {
    const FontMetrics& m = font.Metrics();
    const RECT area = DrawableArea(canvas, clip);
    // No glyph reaches further left of its pen than the face's widest box.
    const int64_t reach = int64_t(m.maxCharWidth) + m.height;
    const bool bars = style.opaque || m.underline || m.strikeOut;
    const int64_t runWidth =
        bars ? VisibleWidth(font, text, count, dx, std::max(0, area.right - x)) : 0;
    const int width = int(std::min<int64_t>(runWidth, int64_t(INT_MAX) - std::max(x, 0)));
    if (style.opaque)
        FillPixels(canvas, RECT{x, y, x + width, y + m.height}, style.background, clip);
    int baseline = y + m.ascent;
    int64_t pen = x;
    for (int i = 0; i < count; ++i) {
        if (!dx && pen - reach >= area.right) break;
        const Glyph& glyph = font.GlyphOf(static_cast<unsigned char>(text[i]));
        const int64_t left = pen + glyph.left, top = int64_t(baseline) - glyph.top;
        if (glyph.width > 0 && glyph.height > 0 && left < area.right &&
            left + glyph.width > area.left && top < area.bottom && top + glyph.height > area.top) {
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
