// DC attributes: colours, background mode, text alignment, origins and
// device capabilities.
#include "gdi/dc.h"

using namespace qpm;

namespace {

// Every DC here is a 32-bit, 96 dpi device.
constexpr int kBitsPerPixel = 32;
constexpr int kDpi = 96;
constexpr int kLogPixelsX = 88;  // not in this subset's header; answered all the same

}  // namespace

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->textColor;
    dc->textColor = color;
    return previous;
}

COLORREF WINAPI GetTextColor(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    return dc ? dc->textColor : CLR_INVALID;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->bkColor;
    dc->bkColor = color;
    return previous;
}

COLORREF WINAPI GetBkColor(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    return dc ? dc->bkColor : CLR_INVALID;
}

// Returns the previous mode, or 0 for an unknown mode (left unchanged).
int WINAPI SetBkMode(HDC hdc, int mode) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc) return 0;
    if (mode != TRANSPARENT && mode != OPAQUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

int WINAPI GetBkMode(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    return dc ? dc->bkMode : 0;
}

// The value is kept and reported; text is always placed as TA_TOP|TA_LEFT.
UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc) return 0xFFFFFFFFu;  // GDI_ERROR
    UINT previous = dc->textAlign;
    dc->textAlign = align;
    return previous;
}

UINT WINAPI GetTextAlign(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    return dc ? dc->textAlign : 0xFFFFFFFFu;
}

namespace {

BOOL SetOrigin(HDC hdc, POINT DeviceContext::*field, int x, int y, LPPOINT old) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->*field;
    dc->*field = POINT{x, y};
    return TRUE;
}

}  // namespace

// device = logical - window origin + viewport origin (MM_TEXT).
BOOL WINAPI SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    return SetOrigin(hdc, &DeviceContext::windowOrg, x, y, old);
}

BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    return SetOrigin(hdc, &DeviceContext::viewportOrg, x, y, old);
}

BOOL WINAPI GetWindowOrgEx(HDC hdc, LPPOINT origin) {
    DeviceContext* dc = FindDC(hdc);
    if (!dc || !origin) return FALSE;
    *origin = dc->windowOrg;
    return TRUE;
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
    if (!FindDC(hdc)) return 0;
    switch (index) {
        case BITSPIXEL:
            return kBitsPerPixel;
        case PLANES:
            return 1;
        case LOGPIXELSY:
        case kLogPixelsX:
            return kDpi;
        default:
            return 0;
    }
}
