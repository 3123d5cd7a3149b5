// Where a window draws: its top-level window's surface, at its client
// origin, clipped to the pixels that are its own. A window inside a
// window inside a top-level window (a component in an installer's window
// in a host's) is clipped by both ancestors.
#include "internal/window_internal.h"
#include "user/user_internal.h"

namespace qpm {
namespace {

bool Shown(HWND hwnd, Window** out) {
    *out = LookupWindow(hwnd);
    return *out && ((*out)->style & WS_VISIBLE);
}

void SubtractChildren(Region* clip, const Window& w) {
    Window* child;
    for (HWND hwnd : w.children)
        if (Shown(hwnd, &child)) clip->Subtract(WindowRectInRoot(child));
}

void SubtractSiblingsAbove(Region* clip, const Window& parent, HWND self) {
    Window* sibling;
    for (HWND hwnd : parent.children) {
        if (hwnd == self) break;
        if (Shown(hwnd, &sibling)) clip->Subtract(WindowRectInRoot(sibling));
    }
}

RECT ClientInRoot(Window* w) {
    POINT o = ClientOriginInRoot(w);
    return RECT{o.x, o.y, o.x + ClientWidth(*w), o.y + ClientHeight(*w)};
}

// The client rect, less visible children (WS_CLIPCHILDREN); then, going
// up, each ancestor's client rect, and the visible siblings above every
// window on the way that has WS_CLIPSIBLINGS.
Region VisibleClip(Window* w) {
    if (!IsVisibleChain(w)) return Region();
    Region clip(ClientInRoot(w));
    if (w->style & WS_CLIPCHILDREN) SubtractChildren(&clip, *w);
    for (Window* c = w; c->parent;) {
        Window* parent = LookupWindow(c->parent);
        if (!parent) break;
        if (c->style & WS_CLIPSIBLINGS) SubtractSiblingsAbove(&clip, *parent, c->hwnd);
        clip.Intersect(ClientInRoot(parent));
        c = parent;
    }
    return clip;
}

}  // namespace

bool GetWindowDrawTarget(HWND hwnd, WindowDrawTarget* out) {
    Window* w = LookupWindow(hwnd);
    if (!w || !out) return false;
    out->surface = RootWindow(w)->surface;
    out->origin = ClientOriginInRoot(w);
    out->clip = VisibleClip(w);
    return true;
}

}  // namespace qpm
