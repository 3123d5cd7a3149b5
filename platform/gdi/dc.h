// Device contexts: drawing state plus the target they draw on.
//
// A DC draws on one of: a window's client area (its top-level's surface,
// clipped by the window half), the bitmap selected into a memory DC, or
// a printer's own white bitmap. The screen DC (a window DC on no window)
// draws nothing but answers questions about the display.
#pragma once

#include "internal/region.h"
#include "internal/surface.h"

#include <windows.h>

namespace qpm {

enum class DcKind { Memory, Window, Screen, Printer };

struct DeviceContext {
    DcKind kind = DcKind::Memory;

    // Window DCs: the window, the optional BeginPaint limit (client
    // coordinates), and whether the window has been destroyed since (the
    // DC is then dead: every call on it fails until ReleaseDC frees it).
    HWND hwnd = nullptr;
    bool hasLimit = false;
    RECT limit{};
    bool forgotten = false;
    SurfacePtr held;  // the last surface drawn on, kept alive with the DC

    SurfacePtr printerSurface;  // printer DCs own their page

    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ bitmap = nullptr;  // memory DCs only

    COLORREF textColor = 0x000000;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    UINT textAlign = TA_TOP | TA_LEFT;
    POINT windowOrg{0, 0};
    POINT viewportOrg{0, 0};
    POINT position{0, 0};  // current position, logical coordinates
};

// The DC behind a handle, or nullptr: with ERROR_INVALID_HANDLE when
// the handle is not a DC, with the last error untouched when it is the
// dead DC of a destroyed window.
DeviceContext* FindDC(HDC hdc);

// Any DC behind the handle, dead ones included; nullptr otherwise.
DeviceContext* FindAnyDC(HDC hdc);

// Where one drawing call lands: the surface, the translation from
// logical to surface coordinates, and the pixels it may touch (surface
// coordinates). Drawing functions write only inside `clip`.
struct Canvas {
    SurfacePtr surface;
    POINT offset{0, 0};
    Region clip;

    int X(int logicalX) const { return logicalX + offset.x; }
    int Y(int logicalY) const { return logicalY + offset.y; }
    // Records that pixels changed, so displays know to redraw.
    void Changed() { ++surface->version; }
};

// False when the DC has nothing to draw on (a destroyed window, the
// screen); otherwise fills `out`. The clip may still be empty.
bool OpenCanvas(DeviceContext& dc, Canvas* out);

// The surface a DC reads and writes, without clipping (pixel read-back).
SurfacePtr DcSurface(DeviceContext& dc);

}  // namespace qpm
