// DefWindowProcA: the default behaviour behind every window procedure.
// WM_MOVE and WM_SIZE after a position change come from here (so a
// procedure that swallows WM_WINDOWPOSCHANGED gets neither), as do the
// window title (WM_NCCREATE, WM_SETTEXT) and the non-client layout.
#include "internal/gdi_internal.h"
#include "user/user_internal.h"

namespace qpm {
namespace {

// The client rectangle inside a window rectangle, both in the same coordinates.
void ShrinkToClient(const Window& w, RECT* r) {
    if (w.style & WS_MINIMIZE) {
        r->right = r->left;
        r->bottom = r->top;
        return;
    }
    RECT in = NonClientInsets(w.style, w.exStyle);
    r->left += in.left;
    r->top += in.top;
    r->right -= in.right;
    r->bottom -= in.bottom;
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
}

LRESULT NcCalcSize(Window* w, WPARAM calcValid, LPARAM lParam) {
    RECT* r = calcValid ? &reinterpret_cast<NcCalcSizeParams*>(lParam)->rgrc[0]
                        : reinterpret_cast<RECT*>(lParam);
    if (r) ShrinkToClient(*w, r);
    return 0;
}

LRESULT EraseBackground(Window* w, WPARAM hdc) {
    HBRUSH brush = w->cls ? w->cls->wc.hbrBackground : nullptr;
    if (!brush) return 0;
    RECT area = ClientArea(*w);
    FillRect(reinterpret_cast<HDC>(hdc), &area, brush);
    return 1;
}

// Top-level windows and sizing frames are limited by WM_GETMINMAXINFO.
LRESULT PosChanging(Window* w, LPARAM lParam) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    if (pos && AsksMinMaxInfo(w->style) && !(pos->flags & kSwpNoSize) && !(w->style & WS_MINIMIZE))
        ApplyMinMaxInfo(w->hwnd, &pos->cx, &pos->cy);
    return 0;
}

LRESULT PosChanged(Window* w, LPARAM lParam) {
    auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (!pos) return 0;
    HWND hwnd = w->hwnd;
    if (!(pos->flags & kSwpNoClientMove)) {
        POINT o = ClientOriginInParent(*w);
        SendIfWindow(hwnd, WM_MOVE, 0, PackedLParam(o.x, o.y));
    }
    w = LookupWindow(hwnd);
    if (w && (!(pos->flags & kSwpNoClientSize) || (pos->flags & kSwpStateChanged)))
        SendIfWindow(hwnd, WM_SIZE, SizeKind(*w), PackedLParam(ClientWidth(*w), ClientHeight(*w)));
    return 0;
}

LRESULT NcCreate(Window* w, LPARAM lParam) {
    auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    if (cs && cs->lpszName) DefaultSetText(w, reinterpret_cast<LPARAM>(cs->lpszName));
    return TRUE;
}

LRESULT Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
    return 0;
}

}  // namespace
}  // namespace qpm

using namespace qpm;

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = LookupWindow(hwnd);
    if (!w) return 0;
    switch (message) {
        case WM_NCCREATE:
            return NcCreate(w, lParam);
        case WM_NCCALCSIZE:
            return NcCalcSize(w, wParam, lParam);
        case WM_ERASEBKGND:
            return EraseBackground(w, wParam);
        case WM_PAINT:
            return Paint(hwnd);
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_WINDOWPOSCHANGING:
            return PosChanging(w, lParam);
        case WM_WINDOWPOSCHANGED:
            return PosChanged(w, lParam);
        case WM_GETTEXT:
            return DefaultGetText(w, wParam, lParam);
        case WM_GETTEXTLENGTH:
            return LRESULT(w->text.size());
        case WM_SETTEXT:
            return DefaultSetText(w, lParam);
        case WM_NCACTIVATE:
            return TRUE;
        default:
            return 0;
    }
}
