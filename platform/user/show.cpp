// ShowWindow: showing, hiding, maximizing, minimizing and restoring.
//
// WM_SHOWWINDOW comes first when the visibility changes (not for the
// maximize and minimize commands), then the position change, which
// activates a top-level window being shown unless the command says not to
// (SW_SHOWNA, SW_SHOWNOACTIVATE, SW_MINIMIZE). Hiding the active window
// hands the activation on after the position change. A child of a hidden
// parent only has its WS_VISIBLE bit toggled, with no position messages.
// The WM_SIZE and WM_MOVE that creation of a top-level window deferred
// are sent after the first ShowWindow that shows it.
#include "user/user_internal.h"

namespace qpm {
namespace {

constexpr int kMinimizedWidth = 160;
constexpr int kMinimizedHeight = 24;
constexpr UINT kKeepPlace = kSwpNoSize | kSwpNoMove | kSwpNoZOrder;
constexpr UINT kNewState = kSwpFrameChanged | kSwpStateChanged | kSwpNoZOrder;

void SendPendingSizeMove(HWND hwnd) {
    Window* w = LookupWindow(hwnd);
    if (!w || !w->sizePending) return;
    w->sizePending = false;
    SendIfWindow(hwnd, WM_SIZE, SizeKind(*w), PackedLParam(ClientWidth(*w), ClientHeight(*w)));
    if (!(w = LookupWindow(hwnd))) return;
    POINT o = ClientOriginInParent(*w);
    SendIfWindow(hwnd, WM_MOVE, 0, PackedLParam(o.x, o.y));
}

UINT ActivationFlag(bool activate) { return activate ? 0 : kSwpNoActivate; }

void ChangeVisibility(HWND hwnd, UINT flags) {
    Window* w = LookupWindow(hwnd);
    if (!w) return;
    Window* parent = LookupWindow(w->parent);
    if (parent && !IsVisibleChain(parent)) {
        bool show = (flags & kSwpShowWindow) != 0;
        w->style = show ? (w->style | WS_VISIBLE) : (w->style & ~WS_VISIBLE);
        return;
    }
    SetWindowPosInternal(hwnd, 0, 0, 0, 0, kKeepPlace | flags);
}

void Show(HWND hwnd, bool activate) {
    SendIfWindow(hwnd, WM_SHOWWINDOW, TRUE, 0);
    ChangeVisibility(hwnd, kSwpShowWindow | ActivationFlag(activate));
    SendPendingSizeMove(hwnd);
}

void Hide(HWND hwnd) {
    SendIfWindow(hwnd, WM_SHOWWINDOW, FALSE, 0);
    ChangeVisibility(hwnd, kSwpHideWindow | kSwpNoActivate);
    PassActivationFrom(hwnd);
    RevertFocusFrom(hwnd);
}

// Leaves the normal state, remembering the normal rectangle.
void EnterState(Window* w, DWORD state) {
    if (!(w->style & (WS_MAXIMIZE | WS_MINIMIZE))) w->restoreRect = w->rect;
    w->restoreMaximized = (state == WS_MINIMIZE) && (w->style & WS_MAXIMIZE);
    w->style = (w->style & ~(WS_MAXIMIZE | WS_MINIMIZE)) | state;
}

void MoveToState(HWND hwnd, const RECT& r, bool wasVisible, bool activate) {
    UINT flags = kNewState | ActivationFlag(activate) | (wasVisible ? 0 : kSwpShowWindow);
    SetWindowPosInternal(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
    SendPendingSizeMove(hwnd);
}

void Maximize(HWND hwnd, bool wasVisible) {
    Window* w = LookupWindow(hwnd);
    EnterState(w, WS_MAXIMIZE);
    MinMaxInfo info = DefaultMinMaxInfo(*w);
    SendIfWindow(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    RECT r{info.ptMaxPosition.x, info.ptMaxPosition.y, info.ptMaxPosition.x + info.ptMaxSize.x,
           info.ptMaxPosition.y + info.ptMaxSize.y};
    MoveToState(hwnd, r, wasVisible, true);
}

void Minimize(HWND hwnd, bool wasVisible, bool activate) {
    EnterState(LookupWindow(hwnd), WS_MINIMIZE);
    RECT r{kMinimizedPos, kMinimizedPos, kMinimizedPos + kMinimizedWidth,
           kMinimizedPos + kMinimizedHeight};
    MoveToState(hwnd, r, wasVisible, activate);
}

void Restore(HWND hwnd, bool wasVisible) {
    Window* w = LookupWindow(hwnd);
    if (!(w->style & (WS_MAXIMIZE | WS_MINIMIZE))) {
        if (!wasVisible) Show(hwnd, true);
        return;
    }
    if ((w->style & WS_MINIMIZE) && w->restoreMaximized) return Maximize(hwnd, wasVisible);
    w->style &= ~(WS_MAXIMIZE | WS_MINIMIZE);
    MoveToState(hwnd, w->restoreRect, wasVisible, true);
}

}  // namespace
}  // namespace qpm

using namespace qpm;

// Returns whether the window was visible before.
BOOL WINAPI ShowWindow(HWND hwnd, int command) {
    Window* w = LookupWindowOrFail(hwnd);
    if (!w) return FALSE;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    switch (command) {
        case SW_HIDE:
            if (wasVisible) Hide(hwnd);
            break;
        case SW_SHOWMAXIMIZED:
            if (!wasVisible || !(w->style & WS_MAXIMIZE)) Maximize(hwnd, wasVisible);
            break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
            if (!wasVisible || !(w->style & WS_MINIMIZE))
                Minimize(hwnd, wasVisible, command == SW_SHOWMINIMIZED);
            break;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
            Restore(hwnd, wasVisible);
            break;
        default:
            if (!wasVisible) Show(hwnd, command != SW_SHOWNA && command != SW_SHOWNOACTIVATE);
            break;
    }
    return wasVisible ? TRUE : FALSE;
}
