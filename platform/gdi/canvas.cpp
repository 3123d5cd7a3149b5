// Resolving a DC to the surface, offset and clip of one drawing call.
// Window DCs ask the window half every time, since windows move, resize
// and hide between calls.
#include "gdi/dc.h"
#include "gdi/objects.h"
#include "internal/window_internal.h"

namespace qpm {
namespace {

RECT WholeSurface(const Surface& surface) { return RECT{0, 0, surface.width, surface.height}; }

bool OpenWindowCanvas(DeviceContext& dc, Canvas* out, POINT* origin) {
    if (dc.forgotten) return false;
    WindowDrawTarget target;
    if (!GetWindowDrawTarget(dc.hwnd, &target) || !target.surface) return false;
    dc.held = target.surface;
    out->surface = target.surface;
    out->clip = std::move(target.clip);
    out->clip.Intersect(WholeSurface(*target.surface));
    if (dc.hasLimit) {
        RECT limit = dc.limit;
        limit.left += target.origin.x;
        limit.right += target.origin.x;
        limit.top += target.origin.y;
        limit.bottom += target.origin.y;
        out->clip.Intersect(limit);
    }
    *origin = target.origin;
    return true;
}

}  // namespace

SurfacePtr DcSurface(DeviceContext& dc) {
    switch (dc.kind) {
        case DcKind::Memory: {
            auto* bitmap = FindObjectAs<BitmapObject>(dc.bitmap, OBJ_BITMAP);
            return bitmap ? bitmap->surface : nullptr;
        }
        case DcKind::Printer:
            return dc.printerSurface;
        case DcKind::Window: {
            if (dc.forgotten) return nullptr;
            WindowDrawTarget target;
            if (!GetWindowDrawTarget(dc.hwnd, &target)) return nullptr;
            dc.held = target.surface;
            return target.surface;
        }
        case DcKind::Screen:
            return nullptr;
    }
    return nullptr;
}

bool OpenCanvas(DeviceContext& dc, Canvas* out) {
    POINT origin{0, 0};
    if (dc.kind == DcKind::Window) {
        if (!OpenWindowCanvas(dc, out, &origin)) return false;
    } else {
        out->surface = DcSurface(dc);
        if (!out->surface) return false;
        out->clip = Region(WholeSurface(*out->surface));
    }
    out->offset.x = origin.x - dc.windowOrg.x + dc.viewportOrg.x;
    out->offset.y = origin.y - dc.windowOrg.y + dc.viewportOrg.y;
    return true;
}

}  // namespace qpm
