// Activation: one active top-level window (or none) for the one thread.
//
// Showing a top-level window activates it unless the show says not to
// (SW_SHOWNA, SW_SHOWNOACTIVATE, SW_MINIMIZE), and so does SetFocus on a
// window of another top-level; child windows are never activated. The
// messages come in Windows' order:
//   the old window: WM_NCACTIVATE(FALSE), WM_ACTIVATE(WA_INACTIVE), with
//     the new one in lParam;
//   WM_ACTIVATEAPP when the application as a whole gains (none was
//     active) or loses (none will be) the activation: to the window
//     concerned first, then to every other top-level window, shown or not;
//   the new window: WM_NCACTIVATE(TRUE), WM_ACTIVATE(WA_ACTIVE), with the
//     old one in lParam; then the focus moves to it (WM_KILLFOCUS,
//     WM_SETFOCUS).
// When the active window is hidden or destroyed, activation passes to its
// owner if that is shown, else to the topmost other shown top-level
// window, else to none. Activation does not change the Z order.
#include "user/user_internal.h"

#include <vector>

namespace qpm {
namespace {

HWND active = nullptr;

HWND CurrentActive() { return LookupWindow(active) ? active : nullptr; }

LPARAM Handle(HWND hwnd) { return reinterpret_cast<LPARAM>(hwnd); }

// A shown top-level window that can take over from `leaving`.
bool CanTakeOver(HWND candidate, HWND leaving) {
    Window* w = LookupWindow(candidate);
    return w && candidate != leaving && !w->parent && !w->destroying && (w->style & WS_VISIBLE) &&
           w->owner != leaving;
}

HWND Successor(HWND leaving) {
    Window* w = LookupWindow(leaving);
    if (w && CanTakeOver(w->owner, leaving)) return w->owner;
    for (HWND top : TopLevelWindows())
        if (CanTakeOver(top, leaving)) return top;
    return nullptr;
}

// The others oldest first (the bottom of the Z order: nothing reorders it).
void SendActivateApp(HWND first, BOOL gained) {
    const std::vector<HWND>& tops = TopLevelWindows();
    std::vector<HWND> others(tops.rbegin(), tops.rend());
    SendIfWindow(first, WM_ACTIVATEAPP, gained, 0);
    for (HWND top : others) {
        Window* w = LookupWindow(top);
        if (top != first && w && !w->destroying) SendIfWindow(top, WM_ACTIVATEAPP, gained, 0);
    }
}

void SendDeactivation(HWND old, HWND next) {
    SendIfWindow(old, WM_NCACTIVATE, FALSE, Handle(next));
    SendIfWindow(old, WM_ACTIVATE, WA_INACTIVE, Handle(next));
    if (!next) SendActivateApp(old, FALSE);
}

void SendActivation(HWND hwnd, HWND old) {
    if (!old) SendActivateApp(hwnd, TRUE);
    SendIfWindow(hwnd, WM_NCACTIVATE, TRUE, Handle(old));
    SendIfWindow(hwnd, WM_ACTIVATE, WA_ACTIVE, Handle(old));
}

bool HoldsFocus(HWND hwnd) {
    HWND focus = GetFocus();
    return focus && (focus == hwnd || IsDescendant(hwnd, focus));
}

}  // namespace

void ActivateWindow(HWND hwnd) {
    HWND old = CurrentActive();
    if (old == hwnd) return;
    active = hwnd;
    QPM_TRACE("msg", "activate %p (was %p)", static_cast<void*>(hwnd), static_cast<void*>(old));
    if (old) SendDeactivation(old, hwnd);
    if (!hwnd || active != hwnd) return;
    SendActivation(hwnd, old);
    if (active == hwnd && LookupWindow(hwnd) && !HoldsFocus(hwnd)) SetFocus(hwnd);
}

void PassActivationFrom(HWND hwnd) {
    if (hwnd && CurrentActive() == hwnd) ActivateWindow(Successor(hwnd));
}

void ForgetActive(HWND hwnd) {
    if (active == hwnd) active = nullptr;
}

}  // namespace qpm

using namespace qpm;

HWND WINAPI GetActiveWindow(void) { return CurrentActive(); }
