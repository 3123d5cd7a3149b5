// Update regions: InvalidateRect, ValidateRect, UpdateWindow, and the
// search for the next window that needs WM_PAINT.
//
// As on Windows, invalidating a window also invalidates the overlapped
// parts of its children unless it has WS_CLIPCHILDREN (its own painting
// would cover them), and a hidden window collects no update region: it
// is invalidated whole when it is shown.
#include "user/user_internal.h"

namespace qpm {
namespace {

RECT InChild(const RECT& r, const Window& child) {
    POINT o = ClientOriginInParent(child);
    return RECT{r.left - o.x, r.top - o.y, r.right - o.x, r.bottom - o.y};
}

bool ReachesChildren(const Window& w, bool allChildren) {
    return allChildren || !(w.style & WS_CLIPCHILDREN);
}

HWND SearchPaint(HWND hwnd, HWND filter) {
    Window* w = LookupWindow(hwnd);
    if (!w || !(w->style & WS_VISIBLE) || w->destroying) return nullptr;
    if (!w->update.Empty() && MessageMatches(filter, hwnd, 0, 0, WM_PAINT)) return hwnd;
    for (HWND child : w->children)
        if (HWND found = SearchPaint(child, filter)) return found;
    return nullptr;
}

// WM_PAINT now for the window and then its children, as UpdateWindow does.
void PaintNow(HWND hwnd) {
    Window* w = LookupWindow(hwnd);
    if (!w || !IsVisibleChain(w)) return;
    if (!w->update.Empty()) SendIfWindow(hwnd, WM_PAINT, 0, 0);
    for (HWND child : ChildrenOf(hwnd)) PaintNow(child);
}

}  // namespace

void InvalidateClient(Window* w, const RECT* rect, bool erase, bool allChildren) {
    if (!IsVisibleChain(w)) return;
    RECT area = ClientArea(*w);
    RECT r = rect ? RectIntersection(*rect, area) : area;
    if (RectEmpty(r)) return;
    AddRectToRegion(&w->update, r, area);
    if (erase) w->erase = true;
    if (!ReachesChildren(*w, allChildren)) return;
    for (HWND hwnd : w->children) {
        Window* child = LookupWindow(hwnd);
        RECT cr = child ? InChild(r, *child) : RECT{};
        if (child) InvalidateClient(child, &cr, erase, allChildren);
    }
}

void ValidateClient(Window* w, const RECT* rect, bool allChildren) {
    RECT area = ClientArea(*w);
    RECT r = rect ? RectIntersection(*rect, area) : area;
    if (rect)
        w->update.Subtract(r);
    else
        w->update = Region();
    if (w->update.Empty()) w->erase = w->unerased = false;
    if (!ReachesChildren(*w, allChildren) || RectEmpty(r)) return;
    for (HWND hwnd : w->children) {
        Window* child = LookupWindow(hwnd);
        RECT cr = child ? InChild(r, *child) : RECT{};
        if (child) ValidateClient(child, &cr, allChildren);
    }
}

HWND FindWindowToPaint(HWND filter) {
    for (HWND top : TopLevelWindows())
        if (HWND found = SearchPaint(top, filter)) return found;
    return nullptr;
}

}  // namespace qpm

using namespace qpm;

// A NULL window invalidates every window, as Windows does for the desktop.
BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    if (!hwnd) {
        for (HWND top : TopLevelWindows())
            if (Window* w = LookupWindow(top)) InvalidateClient(w, nullptr, erase != FALSE, true);
        return TRUE;
    }
    Window* w = LookupWindowOrFail(hwnd);
    if (!w) return FALSE;
    InvalidateClient(w, rect, erase != FALSE, false);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT* rect) {
    if (!hwnd) return TRUE;
    Window* w = LookupWindowOrFail(hwnd);
    if (!w) return FALSE;
    ValidateClient(w, rect, false);
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    if (!LookupWindowOrFail(hwnd)) return FALSE;
    PaintNow(hwnd);
    return TRUE;
}
