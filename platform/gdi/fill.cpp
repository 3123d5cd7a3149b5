// Filled and framed rectangles: FillRect, FrameRect, Rectangle.
#include "gdi/dc.h"
#include "gdi/objects.h"
#include "gdi/raster.h"
#include "gdi/stroke.h"

#include <algorithm>

using namespace qpm;

namespace {

// One logical coordinate pair as the half-open device span FillRect
// covers. An inverted pair (right < left) covers (right, left]: the
// excluded edge stays on the side it was given, as GDI does it.
void Span(int from, int to, int offset, LONG* lo, LONG* hi) {
    if (from <= to) {
        *lo = from + offset;
        *hi = to + offset;
    } else {
        *lo = to + 1 + offset;
        *hi = from + 1 + offset;
    }
}

RECT DeviceRect(const Canvas& canvas, const RECT& r) {
    RECT out;
    Span(r.left, r.right, canvas.offset.x, &out.left, &out.right);
    Span(r.top, r.bottom, canvas.offset.y, &out.top, &out.bottom);
    return out;
}

// The four one-pixel edges of a non-empty half-open rectangle.
void FrameEdges(Canvas& canvas, const RECT& r, uint32_t pixel) {
    FillPixels(canvas, RECT{r.left, r.top, r.right, r.top + 1}, pixel);
    FillPixels(canvas, RECT{r.left, r.bottom - 1, r.right, r.bottom}, pixel);
    FillPixels(canvas, RECT{r.left, r.top, r.left + 1, r.bottom}, pixel);
    FillPixels(canvas, RECT{r.right - 1, r.top, r.right, r.bottom}, pixel);
}

// A wide pen is centred on the outline through the corner pixels.
void WideOutline(Canvas& canvas, const Stroke& stroke, const RECT& r) {
    POINT corners[5] = {{r.left, r.top},
                        {r.right - 1, r.top},
                        {r.right - 1, r.bottom - 1},
                        {r.left, r.bottom - 1},
                        {r.left, r.top}};
    for (int i = 1; i < 5; ++i) StrokeSegment(canvas, stroke, corners[i - 1], corners[i]);
}

}  // namespace

int WINAPI FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    DeviceContext* dc = FindDC(hdc);
    auto* fill = FindObjectAs<BrushObject>(brush, OBJ_BRUSH);
    if (!dc || !rect || !fill) return 0;
    Canvas canvas;
    if (fill->hollow || !OpenCanvas(*dc, &canvas)) return 1;
    FillPixels(canvas, DeviceRect(canvas, *rect), PixelFromColor(fill->color));
    canvas.Changed();
    return 1;
}

int WINAPI FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    DeviceContext* dc = FindDC(hdc);
    auto* frame = FindObjectAs<BrushObject>(brush, OBJ_BRUSH);
    if (!dc || !rect || !frame) return 0;
    Canvas canvas;
    if (frame->hollow || rect->right <= rect->left || rect->bottom <= rect->top ||
        !OpenCanvas(*dc, &canvas))
        return 1;
    FrameEdges(canvas, DeviceRect(canvas, *rect), PixelFromColor(frame->color));
    canvas.Changed();
    return 1;
}

// Fills the inside with the brush, then outlines with the pen. Without a
// pen the filled area is one pixel narrower and shorter, as in GDI.
BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc) return FALSE;
    Canvas canvas;
    if (!OpenCanvas(*dc, &canvas)) return TRUE;
    RECT r{std::min(left, right), std::min(top, bottom), std::max(left, right),
           std::max(top, bottom)};
    r = RECT{canvas.X(r.left), canvas.Y(r.top), canvas.X(r.right), canvas.Y(r.bottom)};
    if (RectEmpty(r)) return TRUE;
    Stroke stroke = StrokeOf(*dc);
    auto* brush = FindObjectAs<BrushObject>(dc->brush, OBJ_BRUSH);
    if (brush && !brush->hollow) {
        RECT inside = stroke.visible ? RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}
                                     : RECT{r.left, r.top, r.right - 1, r.bottom - 1};
        FillPixels(canvas, inside, PixelFromColor(brush->color));
    }
    if (stroke.visible && stroke.width > 1)
        WideOutline(canvas, stroke, r);
    else if (stroke.visible)
        FrameEdges(canvas, r, stroke.pixel);
    canvas.Changed();
    return TRUE;
}
