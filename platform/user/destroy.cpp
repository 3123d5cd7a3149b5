// DestroyWindow, in Windows' order:
//   a child first tells its parent (WM_PARENTNOTIFY) and is hidden
//   (WM_SHOWWINDOW 0, WM_WINDOWPOSCHANGING/CHANGED); a top-level is hidden
//   by a position change alone and, if active, hands the activation on;
//   the focus leaves;
//   WM_DESTROY to the window, then to its children depth-first in Z order;
//   WM_NCDESTROY to the children before their parents, each window freed
//   right after its WM_NCDESTROY.
// Messages sent during WM_DESTROY are delivered; messages posted then are
// accepted but dropped. The window's timers go with it.
#include "internal/gdi_internal.h"
#include "user/user_internal.h"

namespace qpm {
namespace {

void FreeWindowObject(Window* w) {
    HWND hwnd = w->hwnd;
    RemoveWindowTimers(hwnd);
    PurgePostedMessages(hwnd);
    ForgetFocus(hwnd);
    ForgetActive(hwnd);
    ForgetWindowDCs(hwnd);
    UnlinkWindow(w);
    if (w->cls) --w->cls->windows;
    QPM_TRACE("msg", "freed %p", static_cast<void*>(hwnd));
    ReleaseWindow(w);
}

void SendDestroy(HWND hwnd) {
    Window* w = LookupWindow(hwnd);
    if (!w) return;
    w->destroying = true;
    RemoveWindowTimers(hwnd);
    SendIfWindow(hwnd, WM_DESTROY, 0, 0);
    for (HWND child : ChildrenOf(hwnd)) {
        Window* c = LookupWindow(child);
        if (c && !c->destroying) SendDestroy(child);
    }
}

void Hide(HWND hwnd) {
    Window* w = LookupWindow(hwnd);
    if (w->parent && (w->style & WS_VISIBLE)) {
        ShowWindow(hwnd, SW_HIDE);
        return;
    }
    if (w->style & WS_VISIBLE) {
        UINT flags = kSwpNoSize | kSwpNoMove | kSwpNoZOrder | kSwpNoActivate | kSwpHideWindow;
        SetWindowPosInternal(hwnd, 0, 0, 0, 0, flags);
    }
    PassActivationFrom(hwnd);
    RevertFocusFrom(hwnd);
}

// Top-level windows owned by this one go first.
void DestroyOwnedWindows(HWND hwnd) {
    std::vector<HWND> owned;
    for (HWND top : TopLevelWindows()) {
        Window* w = LookupWindow(top);
        if (w && w->owner == hwnd) owned.push_back(top);
    }
    for (HWND top : owned) DestroyWindow(top);
}

}  // namespace

void NcDestroyTree(HWND hwnd) {
    for (HWND child : ChildrenOf(hwnd)) NcDestroyTree(child);
    Window* w = LookupWindow(hwnd);
    if (!w) return;
    w->destroying = true;
    SendIfWindow(hwnd, WM_NCDESTROY, 0, 0);
    for (HWND child : ChildrenOf(hwnd)) NcDestroyTree(child);  // made during WM_NCDESTROY
    if ((w = LookupWindow(hwnd))) FreeWindowObject(w);
}

}  // namespace qpm

using namespace qpm;

// A handle that is not a window gives ERROR_ACCESS_DENIED, as Wine does
// (Windows reports ERROR_INVALID_WINDOW_HANDLE). Destroying a window whose
// destruction is already under way does nothing more.
BOOL WINAPI DestroyWindow(HWND hwnd) {
    Window* w = LookupWindow(hwnd);
    if (!w) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (w->destroying) return TRUE;
    w->destroying = true;
    QPM_TRACE("msg", "destroy %p", static_cast<void*>(hwnd));
    if (w->parent) {
        WPARAM notify = MAKEWPARAM(WM_DESTROY, w->id);
        SendIfWindow(w->parent, WM_PARENTNOTIFY, notify, reinterpret_cast<LPARAM>(hwnd));
    }
    if (LookupWindow(hwnd)) Hide(hwnd);
    if (LookupWindow(hwnd)) DestroyOwnedWindows(hwnd);
    if (LookupWindow(hwnd)) SendDestroy(hwnd);
    if (LookupWindow(hwnd)) NcDestroyTree(hwnd);
    return TRUE;
}
