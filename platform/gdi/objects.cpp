// The GDI object table and the functions every object type shares:
// DeleteObject, GetObjectType, GetObjectA, UnrealizeObject.
#include "gdi/objects.h"

#include "gdi/dc.h"
#include "internal/handles.h"
#include "internal/kernel_internal.h"
#include "internal/object_counts.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace qpm {
namespace {

HandleTable<GdiObject>& Objects() {
    static HandleTable<GdiObject> table(HandleTag::GdiObject);
    return table;
}

uintptr_t Value(HGDIOBJ handle) { return reinterpret_cast<uintptr_t>(handle); }

void Destroy(HGDIOBJ handle) {
    QPM_TRACE("gdi", "delete object %p", handle);
    Objects().Remove(Value(handle));
}

// Bitmaps larger than this are refused rather than risking an
// allocation the process cannot survive.
constexpr int64_t kMaxBitmapPixels = int64_t(1) << 26;

}  // namespace

GdiObject* FindObject(HGDIOBJ handle) { return Objects().Get(Value(handle)); }

HGDIOBJ AddObject(std::unique_ptr<GdiObject> object, const char* what) {
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(Objects().Add(std::move(object)));
    QPM_TRACE("gdi", "create %s %p", what, handle);
    return handle;
}

void RetainSelection(HGDIOBJ handle) {
    if (GdiObject* object = FindObject(handle)) ++object->selections;
}

void ReleaseSelection(HGDIOBJ handle) {
    GdiObject* object = FindObject(handle);
    if (!object || object->selections == 0) return;
    --object->selections;
    if (object->selections == 0 && object->deletePending) Destroy(handle);
}

SurfacePtr MakeSurface(int width, int height, uint32_t fill) {
    if (width < 0 || height < 0 || int64_t(width) * height > kMaxBitmapPixels) return nullptr;
    try {
        return std::make_shared<Surface>(width, height, fill);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<BitmapObject> MakeBitmap(int width, int height, uint32_t fill) {
    SurfacePtr surface = MakeSurface(width, height, fill);
    if (!surface) return nullptr;
    auto bitmap = std::make_unique<BitmapObject>();
    bitmap->surface = std::move(surface);
    return bitmap;
}

size_t CountGdiObjects() { return Objects().Count(); }

}  // namespace qpm

using namespace qpm;

// Always 32 bits per pixel, even for a memory DC still holding its 1x1
// default bitmap (where GDI would make a monochrome one): components make
// bitmaps to draw in colour, and one pixel format keeps blits plain
// copies. A negative width or height stands for its absolute value and a
// zero-sized request gives a 1x1 bitmap, as in GDI.
HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int width, int height) {
    if (!FindDC(hdc)) return nullptr;
    int64_t w = std::llabs(int64_t(width)), h = std::llabs(int64_t(height));
    if (w == 0 || h == 0) w = h = 1;
    if (w * h > kMaxBitmapPixels) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::unique_ptr<BitmapObject> bitmap = MakeBitmap(int(w), int(h), 0x000000);
    if (!bitmap) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return static_cast<HBITMAP>(AddObject(std::move(bitmap), "bitmap"));
}

BOOL WINAPI DeleteObject(HGDIOBJ handle) {
    GdiObject* object = FindObject(handle);
    if (!object) {
        if (handle) SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->stock) return TRUE;
    if (object->selections > 0) {
        object->deletePending = true;  // dies when its last DC lets go
        QPM_TRACE("gdi", "delete object %p deferred (selected)", handle);
        return TRUE;
    }
    Destroy(handle);
    return TRUE;
}

DWORD WINAPI GetObjectType(HGDIOBJ handle) {
    if (GdiObject* object = FindObject(handle)) return object->type;
    if (HandleTable<DeviceContext>::HasTag(reinterpret_cast<uintptr_t>(handle),
                                           HandleTag::DeviceContext)) {
        if (DeviceContext* dc = FindAnyDC(static_cast<HDC>(handle)))
            return dc->kind == DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
        return 0;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

namespace {

int GetBitmapObject(const BitmapObject& bitmap, int size, void* buffer) {
    if (!buffer) return sizeof(BITMAP);
    if (size < int(sizeof(BITMAP))) return 0;
    BITMAP info{};
    info.bmWidth = bitmap.surface->width;
    info.bmHeight = bitmap.surface->height;
    info.bmWidthBytes = bitmap.surface->width * 4;
    info.bmPlanes = 1;
    info.bmBitsPixel = 32;
    std::memcpy(buffer, &info, sizeof info);
    return sizeof(BITMAP);
}

// Fonts copy as much of the LOGFONTA as fits.
int GetFontObject(const FontObject& font, int size, void* buffer) {
    if (!buffer) return sizeof(LOGFONTA);
    int copied = size < int(sizeof(LOGFONTA)) ? size : int(sizeof(LOGFONTA));
    if (copied <= 0) return 0;
    std::memcpy(buffer, &font.log, size_t(copied));
    return copied;
}

}  // namespace

int WINAPI GetObjectA(HGDIOBJ handle, int size, LPVOID buffer) {
    GdiObject* object = FindObject(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (object->type) {
        case OBJ_BITMAP:
            return GetBitmapObject(*static_cast<BitmapObject*>(object), size, buffer);
        case OBJ_FONT:
            return GetFontObject(*static_cast<FontObject*>(object), size, buffer);
        default:
            return 0;  // LOGPEN and LOGBRUSH are not part of this subset
    }
}

// Nothing is realized against a palette here, so every object accepts it.
BOOL WINAPI UnrealizeObject(HGDIOBJ handle) {
    if (!FindObject(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

// Dashed and dotted styles (1 to 4) draw solid; PS_INSIDEFRAME (6) draws
// as PS_SOLID. A style GDI does not know makes a PS_SOLID pen, as it does
// in GDI.
HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
    constexpr int kLastPenStyle = 6;  // PS_INSIDEFRAME
    auto pen = std::make_unique<PenObject>();
    pen->style = style >= PS_SOLID && style <= kLastPenStyle ? style : PS_SOLID;
    pen->width = width < 0 ? -width : width;
    pen->color = color & 0xFFFFFF;
    return static_cast<HPEN>(AddObject(std::move(pen), "pen"));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    auto brush = std::make_unique<BrushObject>();
    brush->color = color & 0xFFFFFF;
    return static_cast<HBRUSH>(AddObject(std::move(brush), "brush"));
}

// The font is only described here; the face is found on first use.
HFONT WINAPI CreateFontIndirectA(const LOGFONTA* log) {
    if (!log) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto font = std::make_unique<FontObject>();
    font->log = *log;
    font->log.lfFaceName[LF_FACESIZE - 1] = '\0';
    return static_cast<HFONT>(AddObject(std::move(font), "font"));
}
