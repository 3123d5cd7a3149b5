// Window and client rectangles, and the coordinate systems between them:
// a window's rect is in its parent's client coordinates (screen
// coordinates for a top-level window), its client rect is relative to
// its own top-left corner.
#include "user/user_internal.h"

#include <algorithm>

namespace qpm {

int ClientWidth(const Window& w) { return w.client.right - w.client.left; }
int ClientHeight(const Window& w) { return w.client.bottom - w.client.top; }
RECT ClientArea(const Window& w) { return RECT{0, 0, ClientWidth(w), ClientHeight(w)}; }

WPARAM SizeKind(const Window& w) {
    if (w.style & WS_MINIMIZE) return SIZE_MINIMIZED;
    return (w.style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
}

POINT ClientOriginInParent(const Window& w) {
    return POINT{w.rect.left + w.client.left, w.rect.top + w.client.top};
}

// A top-level window's client origin is (0, 0) of its surface; each child
// adds its own client origin within its parent.
POINT ClientOriginInRoot(Window* w) {
    POINT origin{0, 0};
    while (w && w->parent) {
        POINT own = ClientOriginInParent(*w);
        origin.x += own.x;
        origin.y += own.y;
        w = LookupWindow(w->parent);
    }
    return origin;
}

RECT WindowRectInRoot(Window* w) {
    Window* parent = w->parent ? LookupWindow(w->parent) : nullptr;
    if (!parent)
        return RECT{-w->client.left, -w->client.top, w->rect.right - w->rect.left - w->client.left,
                    w->rect.bottom - w->rect.top - w->client.top};
    POINT base = ClientOriginInRoot(parent);
    return RECT{base.x + w->rect.left, base.y + w->rect.top, base.x + w->rect.right,
                base.y + w->rect.bottom};
}

// The non-client frame of a style, as Windows lays it out: an outer edge
// for a sizing or dialog frame, the sizing border of WS_THICKFRAME, and a
// line for WS_BORDER or WS_DLGFRAME (WS_CAPTION holds both), so 3 pixels
// for a dialog frame, a caption or a sizing frame alone and 4 for a
// sizing frame under a caption; the caption on top; the sunken client
// edge inside all of it. (Creation gives every overlapped window a
// caption.)
RECT NonClientInsets(DWORD style, DWORD exStyle) {
    int frame = 0;
    if (style & (WS_THICKFRAME | WS_DLGFRAME)) frame += kEdgeWidth;
    if (style & WS_THICKFRAME) frame += kFrameWidth - kDlgFrameWidth;
    if (style & (WS_BORDER | WS_DLGFRAME)) frame += kBorderWidth;
    RECT insets{frame, frame, frame, frame};
    if ((style & WS_CAPTION) == WS_CAPTION) insets.top += kCaptionHeight;
    if (exStyle & WS_EX_CLIENTEDGE) {
        insets.left += kEdgeWidth;
        insets.top += kEdgeWidth;
        insets.right += kEdgeWidth;
        insets.bottom += kEdgeWidth;
    }
    return insets;
}

RECT ClampedClient(const RECT& calculated, const RECT& window) {
    LONG width = window.right - window.left, height = window.bottom - window.top;
    RECT c{calculated.left - window.left, calculated.top - window.top,
           calculated.right - window.left, calculated.bottom - window.top};
    c.left = std::clamp<LONG>(c.left, 0, width);
    c.top = std::clamp<LONG>(c.top, 0, height);
    c.right = std::clamp<LONG>(c.right, c.left, width);
    c.bottom = std::clamp<LONG>(c.bottom, c.top, height);
    return c;
}

}  // namespace qpm

using namespace qpm;

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    Window* w = LookupWindowOrFail(hwnd);
    if (!w || !rect) return FALSE;
    *rect = ClientArea(*w);
    return TRUE;
}

// Screen coordinates: a child is offset by each ancestor's client origin.
BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
    Window* w = LookupWindowOrFail(hwnd);
    if (!w || !rect) return FALSE;
    RECT r = w->rect;
    for (Window* p = LookupWindow(w->parent); p; p = LookupWindow(p->parent)) {
        POINT origin = ClientOriginInParent(*p);
        r.left += origin.x;
        r.right += origin.x;
        r.top += origin.y;
        r.bottom += origin.y;
    }
    *rect = r;
    return TRUE;
}
