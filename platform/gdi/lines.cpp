// MoveToEx, LineTo and Polyline.
#include "gdi/dc.h"
#include "gdi/stroke.h"

using namespace qpm;

namespace {

// Strokes the path through `points` (logical coordinates).
void StrokePath(DeviceContext& dc, const POINT* points, int count) {
    Canvas canvas;
    if (!OpenCanvas(dc, &canvas)) return;
    Stroke stroke = StrokeOf(dc);
    for (int i = 1; i < count; ++i) {
        POINT a{canvas.X(points[i - 1].x), canvas.Y(points[i - 1].y)};
        POINT b{canvas.X(points[i].x), canvas.Y(points[i].y)};
        StrokeSegment(canvas, stroke, a, b);
    }
    if (stroke.visible) canvas.Changed();
}

}  // namespace

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT old) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->position;
    dc->position = POINT{x, y};
    return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc) return FALSE;
    POINT path[2] = {dc->position, POINT{x, y}};
    StrokePath(*dc, path, 2);
    dc->position = path[1];
    return TRUE;
}

// Unlike LineTo, Polyline neither uses nor moves the current position.
BOOL WINAPI Polyline(HDC hdc, const POINT* points, int count) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc) return FALSE;
    if (!points || count < 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    StrokePath(*dc, points, count);
    return TRUE;
}
