// The DC table: memory DCs, window DCs (GetDC/BeginPaint via the window
// half), the screen DC and printer DCs, and their deletion.
#include "gdi/dc.h"

#include "gdi/objects.h"
#include "gdi/stock.h"
#include "internal/gdi_internal.h"
#include "internal/handles.h"
#include "internal/kernel_internal.h"
#include "internal/object_counts.h"

#include <qpm_platform.h>

#include <new>

namespace qpm {
namespace {

HandleTable<DeviceContext>& Dcs() {
    static HandleTable<DeviceContext> table(HandleTag::DeviceContext);
    return table;
}

uintptr_t Value(HDC hdc) { return reinterpret_cast<uintptr_t>(hdc); }

const char* KindName(DcKind kind) {
    switch (kind) {
        case DcKind::Memory:
            return "memory";
        case DcKind::Window:
            return "window";
        case DcKind::Screen:
            return "screen";
        case DcKind::Printer:
            return "printer";
    }
    return "?";
}

// Every DC starts with the stock pen, brush and font selected.
HDC AddDC(std::unique_ptr<DeviceContext> dc) {
    dc->pen = StockObject(BLACK_PEN);
    dc->brush = StockObject(WHITE_BRUSH);
    dc->font = StockObject(SYSTEM_FONT);
    RetainSelection(dc->pen);
    RetainSelection(dc->brush);
    RetainSelection(dc->font);
    if (dc->bitmap) RetainSelection(dc->bitmap);
    DcKind kind = dc->kind;
    HDC hdc = reinterpret_cast<HDC>(Dcs().Add(std::move(dc)));
    QPM_TRACE("gdi", "create %s DC %p", KindName(kind), static_cast<void*>(hdc));
    return hdc;
}

// Lets go of everything selected (objects whose deletion is pending die
// now) and removes the DC.
void RemoveDC(HDC hdc) {
    std::unique_ptr<DeviceContext> dc = Dcs().Remove(Value(hdc));
    if (!dc) return;
    QPM_TRACE("gdi", "delete %s DC %p", KindName(dc->kind), static_cast<void*>(hdc));
    ReleaseSelection(dc->pen);
    ReleaseSelection(dc->brush);
    ReleaseSelection(dc->font);
    if (dc->bitmap) ReleaseSelection(dc->bitmap);
}

}  // namespace

DeviceContext* FindDC(HDC hdc) {
    DeviceContext* dc = Dcs().Get(Value(hdc));
    if (!dc) SetLastError(ERROR_INVALID_HANDLE);
    return dc && !dc->forgotten ? dc : nullptr;
}

DeviceContext* FindAnyDC(HDC hdc) { return Dcs().Get(Value(hdc)); }

// A null hwnd gives the screen DC (GetDC(NULL)): it draws nothing but
// can make compatible DCs and bitmaps and measure text.
HDC CreateWindowDC(HWND hwnd, const RECT* limit) {
    auto dc = std::make_unique<DeviceContext>();
    dc->kind = hwnd ? DcKind::Window : DcKind::Screen;
    dc->hwnd = hwnd;
    if (limit) {
        dc->hasLimit = true;
        dc->limit = *limit;
    }
    return AddDC(std::move(dc));
}

// A dead DC (its window was destroyed) is freed too, but reported as not
// released: the window gave it up when it died.
bool ReleaseWindowDC(HDC hdc) {
    DeviceContext* dc = Dcs().Get(Value(hdc));
    if (!dc || (dc->kind != DcKind::Window && dc->kind != DcKind::Screen)) return false;
    bool dead = dc->forgotten;
    RemoveDC(hdc);
    return !dead;
}

void ForgetWindowDCs(HWND hwnd) {
    if (!hwnd) return;
    Dcs().ForEach([hwnd](uintptr_t, DeviceContext& dc) {
        if (dc.kind == DcKind::Window && dc.hwnd == hwnd) dc.forgotten = true;
    });
}

size_t CountDeviceContexts() { return Dcs().Count(); }

}  // namespace qpm

using namespace qpm;

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc && !FindDC(hdc)) return nullptr;
    auto dc = std::make_unique<DeviceContext>();
    dc->kind = DcKind::Memory;
    dc->bitmap = DefaultBitmap();
    return AddDC(std::move(dc));
}

// Window DCs are given back with ReleaseDC, not deleted.
BOOL WINAPI DeleteDC(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc) return FALSE;
    if (dc->kind == DcKind::Window || dc->kind == DcKind::Screen) return FALSE;
    RemoveDC(hdc);
    return TRUE;
}

HDC QpmCreatePrinterDC(int width, int height) {
    if (width <= 0 || height <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    SurfacePtr page = MakeSurface(width, height, 0xFFFFFF);
    if (!page) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto dc = std::make_unique<DeviceContext>();
    dc->kind = DcKind::Printer;
    dc->printerSurface = std::move(page);
    return AddDC(std::move(dc));
}
