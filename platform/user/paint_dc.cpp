// BeginPaint/EndPaint and GetDC/ReleaseDC: the window half's side of a
// window DC, and WM_ERASEBKGND, which BeginPaint sends or EraseNow sends
// early. The DCs themselves belong to the drawing half.
#include "internal/gdi_internal.h"
#include "user/user_internal.h"

#include <cstring>

namespace qpm {
namespace {

// True when the procedure erased the background (answered nonzero).
bool SendErase(HWND hwnd, HDC hdc) {
    return hdc && SendIfWindow(hwnd, WM_ERASEBKGND, WPARAM(hdc), 0) != 0;
}

}  // namespace

// The erase is drawn through a DC limited to the update region; the
// region itself stays for WM_PAINT.
void EraseNow(HWND hwnd) {
    Window* w = LookupWindow(hwnd);
    if (!w || !w->erase || w->update.Empty() || !IsVisibleChain(w)) return;
    RECT bounds = w->update.Bounds();
    w->erase = false;
    HDC hdc = CreateWindowDC(hwnd, &bounds);
    bool erased = SendErase(hwnd, hdc);
    if (hdc) ReleaseWindowDC(hdc);
    if ((w = LookupWindow(hwnd))) w->unerased = !erased;
}

}  // namespace qpm

using namespace qpm;

// Validates the window, then asks for the background to be erased when an
// invalidation asked for it; fErase tells the caller that nobody did,
// now or in an earlier WM_ERASEBKGND.
HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    Window* w = LookupWindowOrFail(hwnd);
    if (!w) return nullptr;
    if (!paint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    RECT bounds = w->update.Bounds();
    bool erase = w->erase;
    BOOL mustErase = w->unerased ? TRUE : FALSE;
    w->update = Region();
    w->erase = w->unerased = false;
    HDC hdc = CreateWindowDC(hwnd, &bounds);
    if (erase && hdc) mustErase = SendErase(hwnd, hdc) ? FALSE : TRUE;
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
