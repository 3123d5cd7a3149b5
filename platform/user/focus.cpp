// Keyboard focus: one window (or none) for the one thread. SetFocus sends
// WM_KILLFOCUS to the old window (wParam = the new one) and WM_SETFOCUS
// to the new (wParam = the old one); the focus has already moved when
// WM_KILLFOCUS arrives. A window in a top-level window that is not the
// active one activates that first (activation.cpp), which gives the
// top-level window the focus on the way.
#include "user/user_internal.h"

namespace qpm {
namespace {

HWND focus = nullptr;

HWND CurrentFocus() { return LookupWindow(focus) ? focus : nullptr; }

}  // namespace

// A hidden window gives the focus (its own or a descendant's) to its parent.
void RevertFocusFrom(HWND hwnd) {
    HWND current = CurrentFocus();
    if (!current || (current != hwnd && !IsDescendant(hwnd, current))) return;
    Window* w = LookupWindow(hwnd);
    SetFocus(w ? w->parent : nullptr);
}

void ForgetFocus(HWND hwnd) {
    if (focus == hwnd) focus = nullptr;
}

}  // namespace qpm

using namespace qpm;

HWND WINAPI SetFocus(HWND hwnd) {
    Window* w = hwnd ? LookupWindowOrFail(hwnd) : nullptr;
    if (hwnd && !w) return nullptr;
    if (w && RootWindow(w)->hwnd != GetActiveWindow()) {
        ActivateWindow(RootWindow(w)->hwnd);
        if (!LookupWindow(hwnd)) return nullptr;
    }
    HWND old = CurrentFocus();
    if (old == hwnd) return old;
    focus = hwnd;
    if (old) SendIfWindow(old, WM_KILLFOCUS, WPARAM(hwnd), 0);
    if (hwnd && focus == hwnd) SendIfWindow(hwnd, WM_SETFOCUS, WPARAM(old), 0);
    return old;
}

HWND WINAPI GetFocus(void) { return CurrentFocus(); }
