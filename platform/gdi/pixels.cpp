// Single pixels (GetPixel/SetPixel) and the host's read-back of whole
// surfaces: a top-level window, a bitmap, a DC's target.
#include "gdi/dc.h"
#include "gdi/objects.h"
#include "gdi/raster.h"
#include "internal/window_internal.h"

#include <qpm_platform.h>

using namespace qpm;

namespace {

// The canvas pixel under a logical point, when the DC may touch it.
bool CanvasPoint(HDC hdc, int x, int y, Canvas* canvas, POINT* at) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !OpenCanvas(*dc, canvas)) return false;
    *at = POINT{canvas->X(x), canvas->Y(y)};
    return canvas->clip.Contains(at->x, at->y);
}

BOOL ViewOf(const SurfacePtr& surface, QpmPixels* out) {
    if (!surface || !out) return FALSE;
    out->width = surface->width;
    out->height = surface->height;
    out->stride = surface->width * 4;
    out->bgrx = reinterpret_cast<const unsigned char*>(surface->pixels.data());
    return TRUE;
}

SurfacePtr TopLevelSurface(HWND hwnd) {
    WindowDrawTarget target;
    if (!hwnd || !GetWindowDrawTarget(hwnd, &target)) return nullptr;
    return target.surface;
}

}  // namespace

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    Canvas canvas;
    POINT at;
    if (!CanvasPoint(hdc, x, y, &canvas, &at)) return CLR_INVALID;
    return ColorFromPixel(canvas.surface->Row(at.y)[at.x]);
}

// Returns the colour actually set: every surface holds it exactly.
COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    Canvas canvas;
    POINT at;
    if (!CanvasPoint(hdc, x, y, &canvas, &at)) return CLR_INVALID;
    PlotPixel(canvas, at.x, at.y, PixelFromColor(color));
    canvas.Changed();
    return color & 0xFFFFFF;
}

BOOL QpmGetWindowPixels(HWND topLevel, QpmPixels* out) {
    return ViewOf(TopLevelSurface(topLevel), out);
}

DWORD QpmGetWindowSurfaceVersion(HWND topLevel) {
    SurfacePtr surface = TopLevelSurface(topLevel);
    return surface ? surface->version : 0;
}

BOOL QpmGetBitmapPixels(HBITMAP bitmap, QpmPixels* out) {
    auto* object = FindObjectAs<BitmapObject>(bitmap, OBJ_BITMAP);
    return object ? ViewOf(object->surface, out) : FALSE;
}

BOOL QpmGetDCPixels(HDC hdc, QpmPixels* out) {
    DeviceContext* dc = FindDC(hdc);
    return dc ? ViewOf(DcSurface(*dc), out) : FALSE;
}
