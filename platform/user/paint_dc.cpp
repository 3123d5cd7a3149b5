// BeginPaint/EndPaint and GetDC/ReleaseDC: the window half's side of a
// window DC. The DCs themselves belong to the drawing half.
#include "../internal/gdi_internal.h"
#include "user_internal.h"

#include <cstring>

using namespace qpm;

// Validates the window, then asks for the background to be erased when an
// invalidation asked for it; fErase tells the caller that nobody did.
HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    Window* w = LookupWindowOrFail(hwnd);
    if (!w) return nullptr;
    if (!paint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    RECT bounds = w->update.Bounds();
    bool erase = w->erase;
    w->update = Region();
    w->erase = false;
    HDC hdc = CreateWindowDC(hwnd, &bounds);
    BOOL mustErase = FALSE;
    if (erase && hdc) mustErase = SendIfWindow(hwnd, WM_ERASEBKGND, WPARAM(hdc), 0) ? FALSE : TRUE;
    memset(paint, 0, sizeof *paint);
    paint->hdc = hdc;
    paint->fErase = mustErase;
    paint->rcPaint = bounds;
    return hdc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    (void)hwnd;
    if (!paint) return FALSE;
    if (paint->hdc) ReleaseWindowDC(paint->hdc);
    return TRUE;
}

// GetDC(NULL) is passed on as it is: the drawing half makes the screen DC.
HDC WINAPI GetDC(HWND hwnd) {
    if (hwnd && !LookupWindowOrFail(hwnd)) return nullptr;
    return CreateWindowDC(hwnd, nullptr);
}

int WINAPI ReleaseDC(HWND hwnd, HDC hdc) {
    (void)hwnd;
    return hdc && ReleaseWindowDC(hdc) ? 1 : 0;
}
