// SelectObject: swaps a DC's pen, brush, font or bitmap and hands back
// the one it displaced.
#include "gdi/dc.h"
#include "gdi/objects.h"

using namespace qpm;

namespace {

HGDIOBJ* SlotFor(DeviceContext& dc, DWORD type) {
    switch (type) {
        case OBJ_PEN:
            return &dc.pen;
        case OBJ_BRUSH:
            return &dc.brush;
        case OBJ_FONT:
            return &dc.font;
        case OBJ_BITMAP:
            return dc.kind == DcKind::Memory ? &dc.bitmap : nullptr;
        default:
            return nullptr;
    }
}

// A bitmap lives in one memory DC at a time; the stock default bitmap
// is the exception every fresh memory DC shares.
bool BitmapTakenElsewhere(const GdiObject& object, HGDIOBJ handle, const DeviceContext& dc) {
    return object.type == OBJ_BITMAP && !object.stock && object.selections > 0 &&
           dc.bitmap != handle;
}

}  // namespace

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ handle) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc) return nullptr;
    GdiObject* object = FindObject(handle);
    if (!object) {
        if (handle) SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HGDIOBJ* slot = SlotFor(*dc, object->type);
    if (!slot || BitmapTakenElsewhere(*object, handle, *dc)) return nullptr;
    HGDIOBJ previous = *slot;
    if (previous == handle) return previous;
    RetainSelection(handle);
    *slot = handle;
    ReleaseSelection(previous);  // may destroy it when its deletion is pending
    return previous;
}
