// Position, size and visibility changes (the work of SetWindowPos), and
// MoveWindow on top of it. The order of messages is Windows':
// WM_WINDOWPOSCHANGING (whose WINDOWPOS the procedure may edit), then
// WM_NCCALCSIZE(TRUE) when the size changes, WM_ERASEBKGND to the parent
// of a child being hidden, the activation of a top-level window being
// shown (activation.cpp), then WM_WINDOWPOSCHANGED, from which
// DefWindowProcA makes WM_MOVE and WM_SIZE. Nothing after
// WM_WINDOWPOSCHANGING when the rectangle does not change.
#include "user/user_internal.h"

#include <algorithm>

namespace qpm {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

bool SameSize(const RECT& a, const RECT& b) {
    return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

RECT Offset(RECT r, LONG dx, LONG dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// The client rect (relative to the window) WM_NCCALCSIZE gives for `rect`.
RECT CalcClient(Window* w, const RECT& rect, WINDOWPOS* pos) {
    NcCalcSizeParams params{};
    params.rgrc[0] = rect;
    params.rgrc[1] = w->rect;
    params.rgrc[2] = Offset(w->client, w->rect.left, w->rect.top);
    params.lppos = pos;
    SendIfWindow(w->hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    return ClampedClient(params.rgrc[0], rect);
}

// Stores the new geometry; returns true when the client size changed.
bool ApplyGeometry(Window* w, const RECT& rect, const RECT& client, UINT* flags) {
    POINT oldOrigin = ClientOriginInParent(*w);
    bool sized = !SameSize(client, w->client);
    w->rect = rect;
    w->client = client;
    POINT origin = ClientOriginInParent(*w);
    if (origin.x == oldOrigin.x && origin.y == oldOrigin.y) *flags |= kSwpNoClientMove;
    if (!sized) *flags |= kSwpNoClientSize;
    if (sized) {
        w->update.Intersect(ClientArea(*w));
        if (w->surface) w->surface->Resize(ClientWidth(*w), ClientHeight(*w), kWhite);
    }
    return sized;
}

// What must be painted again: the window itself when it appears, when its
// surface was remade or when a child moves with redrawing on, and the
// parent's pixels a child leaves behind.
void InvalidateAfterChange(Window* w, const RECT& oldRect, bool wasVisible, bool clientSized,
                           UINT flags) {
    bool shown = (flags & kSwpShowWindow) != 0;
    bool changed = (flags & (kSwpNoMove | kSwpNoSize)) != (kSwpNoMove | kSwpNoSize);
    bool redraw = !(flags & kSwpNoRedraw);
    if (shown || (w->surface && clientSized) || (w->parent && changed && redraw))
        InvalidateClient(w, nullptr, true, true);
    Window* parent = w->parent ? LookupWindow(w->parent) : nullptr;
    bool leftBehind = (flags & kSwpHideWindow) || (changed && redraw);
    if (parent && wasVisible && leftBehind) InvalidateClient(parent, &oldRect, true, false);
}

// The WINDOWPOS after WM_WINDOWPOSCHANGING, with what does not change flagged.
void FlagUnchanged(const Window& w, WINDOWPOS* pos) {
    pos->cx = std::max(pos->cx, 0);
    pos->cy = std::max(pos->cy, 0);
    if (pos->x == w.rect.left && pos->y == w.rect.top) pos->flags |= kSwpNoMove;
    RECT r{pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy};
    if (SameSize(r, w.rect)) pos->flags |= kSwpNoSize;
    if (w.style & WS_VISIBLE) pos->flags &= ~kSwpShowWindow;
    if (!(w.style & WS_VISIBLE)) pos->flags &= ~kSwpHideWindow;
}

bool NothingToDo(UINT flags) {
    const UINT noChange = kSwpNoMove | kSwpNoSize;
    const UINT changes = kSwpShowWindow | kSwpHideWindow | kSwpFrameChanged | kSwpStateChanged;
    return (flags & noChange) == noChange && !(flags & changes);
}

WINDOWPOS InitialPos(const Window& w, int x, int y, int cx, int cy, UINT flags) {
    WINDOWPOS pos{w.hwnd, nullptr, x, y, std::max(cx, 0), std::max(cy, 0), flags};
    if (flags & kSwpNoMove) {
        pos.x = w.rect.left;
        pos.y = w.rect.top;
    }
    if (flags & kSwpNoSize) {
        pos.cx = w.rect.right - w.rect.left;
        pos.cy = w.rect.bottom - w.rect.top;
    }
    return pos;
}

}  // namespace

BOOL SetWindowPosInternal(HWND hwnd, int x, int y, int cx, int cy, UINT flags) {
    Window* w = LookupWindowOrFail(hwnd);
    if (!w) return FALSE;
    WINDOWPOS pos = InitialPos(*w, x, y, cx, cy, flags);
    SendIfWindow(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!(w = LookupWindow(hwnd))) return FALSE;
    FlagUnchanged(*w, &pos);
    if (NothingToDo(pos.flags)) return TRUE;
    RECT rect{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    RECT client = w->client;
    if (!(pos.flags & kSwpNoSize) || (pos.flags & kSwpFrameChanged)) {
        client = CalcClient(w, rect, &pos);
        if (!(w = LookupWindow(hwnd))) return FALSE;
    }
    RECT oldRect = w->rect;
    bool wasVisible = IsVisibleChain(w);
    bool clientSized = ApplyGeometry(w, rect, client, &pos.flags);
    if (pos.flags & kSwpShowWindow) w->style |= WS_VISIBLE;
    if (pos.flags & kSwpHideWindow) w->style &= ~WS_VISIBLE;
    HWND parent = w->parent;
    InvalidateAfterChange(w, oldRect, wasVisible, clientSized, pos.flags);
    // The parent's background shows where a hidden child was, at once.
    if (parent && wasVisible && (pos.flags & kSwpHideWindow)) EraseNow(parent);
    bool activate = (pos.flags & kSwpShowWindow) && !(pos.flags & kSwpNoActivate);
    if (!parent && activate) ActivateWindow(hwnd);
    SendIfWindow(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE;
}

}  // namespace qpm

using namespace qpm;

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    UINT flags = kSwpNoZOrder | kSwpNoActivate | (repaint ? 0 : kSwpNoRedraw);
    return SetWindowPosInternal(hwnd, x, y, width, height, flags);
}
