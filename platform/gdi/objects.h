// GDI objects: pens, brushes, fonts and bitmaps behind HGDIOBJ handles.
//
// Every object shares one header that counts how many DCs have it
// selected. DeleteObject of a selected object only marks it; the object
// dies when its last selection is released (SelectObject replacing it or
// DeleteDC), so a DC never reaches a freed object. Stock objects are
// never destroyed.
#pragma once

#include "internal/surface.h"

#include <windows.h>

#include <cstdint>
#include <memory>

namespace qpm {

class FontInstance;

struct GdiObject {
    explicit GdiObject(DWORD t) : type(t) {}
    virtual ~GdiObject() = default;

    DWORD type;          // OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP
    bool stock = false;  // never destroyed; DeleteObject ignores it
    bool deletePending = false;
    int selections = 0;  // how many DCs have it selected
};

struct PenObject : GdiObject {
    PenObject() : GdiObject(OBJ_PEN) {}
    int style = PS_SOLID;
    int width = 0;  // 0 and 1 both draw one pixel wide
    COLORREF color = 0;
};

struct BrushObject : GdiObject {
    BrushObject() : GdiObject(OBJ_BRUSH) {}
    bool hollow = false;  // NULL_BRUSH paints nothing
    COLORREF color = 0;
};

struct FontObject : GdiObject {
    FontObject() : GdiObject(OBJ_FONT) {}
    LOGFONTA log{};
    std::shared_ptr<FontInstance> realized;  // found on first use, then kept
};

// Bitmaps are always 32 bits per pixel, whatever the DC they were made
// for: one pixel format keeps every blit a copy and costs little memory.
struct BitmapObject : GdiObject {
    BitmapObject() : GdiObject(OBJ_BITMAP) {}
    SurfacePtr surface;
};

// The object behind a handle, or nullptr when the handle is null, stale
// or not a GDI object.
GdiObject* FindObject(HGDIOBJ handle);

// The object if it is of that type, else nullptr.
template <class T>
T* FindObjectAs(HGDIOBJ handle, DWORD type) {
    GdiObject* object = FindObject(handle);
    return object && object->type == type ? static_cast<T*>(object) : nullptr;
}

// Stores a new object and returns its handle (traced as area "gdi").
HGDIOBJ AddObject(std::unique_ptr<GdiObject> object, const char* what);

// Selection bookkeeping for DCs. Releasing the last selection of an
// object whose deletion is pending destroys it.
void RetainSelection(HGDIOBJ handle);
void ReleaseSelection(HGDIOBJ handle);

// A surface of that size filled with `fill`; nullptr when the size is
// negative or too large to allocate.
SurfacePtr MakeSurface(int width, int height, uint32_t fill);

// A fresh bitmap object, not yet in the table; nullptr as MakeSurface.
std::unique_ptr<BitmapObject> MakeBitmap(int width, int height, uint32_t fill);

// The stock 1x1 bitmap every new memory DC starts with. Unlike other
// bitmaps it may be selected into many DCs at once.
HGDIOBJ DefaultBitmap();

// The realized font of a font object (the stock SYSTEM_FONT's when the
// handle is not a font); nullptr only when no usable font is installed.
std::shared_ptr<FontInstance> RealizeFont(HGDIOBJ font);

}  // namespace qpm
