// CreateWindowExA and the messages of creation, in Windows' order:
//   top-level: WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE(FALSE), WM_CREATE;
//              WM_SIZE and WM_MOVE wait for the first ShowWindow;
//   child:     WM_NCCREATE, WM_NCCALCSIZE(FALSE), WM_CREATE, WM_SIZE, WM_MOVE,
//              WM_PARENTNOTIFY to the parent;
// then, with WS_VISIBLE, what ShowWindow(SW_SHOW) sends. WM_NCCREATE
// returning FALSE or WM_CREATE returning -1 ends it with WM_NCDESTROY only
// and leaves the last error as it was; a window destroyed while it is
// being created fails it with ERROR_INVALID_WINDOW_HANDLE (Wine's answer).
#include "user/user_internal.h"

#include <algorithm>

namespace qpm {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// An overlapped window always has a caption and clips its siblings.
DWORD EffectiveStyle(DWORD style) {
    if (!(style & (WS_CHILD | WS_POPUP))) style |= WS_CAPTION | WS_CLIPSIBLINGS;
    return style;
}

// CW_USEDEFAULT: the top-left corner, three quarters of the screen; 0 for a child.
RECT InitialRect(DWORD style, int x, int y, int cx, int cy) {
    bool child = (style & WS_CHILD) != 0;
    if (x == CW_USEDEFAULT) x = y = 0;
    if (cx == CW_USEDEFAULT) {
        cx = child ? 0 : kScreenWidth * 3 / 4;
        cy = child ? 0 : kScreenHeight * 3 / 4;
    }
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    return RECT{x, y, x + cx, y + cy};
}

std::unique_ptr<Window> NewWindow(WindowClass* cls, const CREATESTRUCTA& cs, DWORD style) {
    auto w = std::make_unique<Window>();
    w->cls = cls;
    w->proc = cls->wc.lpfnWndProc;
    w->style = style & ~WS_VISIBLE;
    w->exStyle = cs.dwExStyle;
    if (style & WS_CHILD) {
        w->parent = cs.hwndParent;
        w->id = reinterpret_cast<LONG_PTR>(cs.hMenu);
    } else {
        w->owner = cs.hwndParent;
        w->sizePending = true;
    }
    w->rect = InitialRect(style, cs.x, cs.y, cs.cx, cs.cy);
    w->client = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    w->instance = cs.hInstance;
    w->extra.assign(size_t(cls->wc.cbWndExtra), 0);
    return w;
}

enum class Outcome { Created, Refused, Destroyed };

// The procedure refused its window: it goes with WM_NCDESTROY alone.
Outcome Refuse(HWND hwnd) {
    if (LookupWindow(hwnd)) NcDestroyTree(hwnd);
    return Outcome::Refused;
}

// Top-level windows and sizing frames: WM_GETMINMAXINFO limits the size.
void LimitSize(HWND hwnd) {
    Window* w = LookupWindow(hwnd);
    if (!AsksMinMaxInfo(w->style)) return;
    int cx = w->rect.right - w->rect.left, cy = w->rect.bottom - w->rect.top;
    ApplyMinMaxInfo(hwnd, &cx, &cy);
    if (!(w = LookupWindow(hwnd))) return;
    w->rect.right = w->rect.left + cx;
    w->rect.bottom = w->rect.top + cy;
}

bool CalcInitialClient(HWND hwnd) {
    Window* w = LookupWindow(hwnd);
    RECT r = w->rect;
    SendIfWindow(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
    if (!(w = LookupWindow(hwnd))) return false;
    w->client = ClampedClient(r, w->rect);
    if (!w->parent)
        w->surface = std::make_shared<Surface>(ClientWidth(*w), ClientHeight(*w), kWhite);
    return true;
}

// A child hears its size and position at once, and its parent hears of it.
bool AnnounceChild(HWND hwnd) {
    Window* w = LookupWindow(hwnd);
    if (!w->parent) return true;
    SendIfWindow(hwnd, WM_SIZE, SizeKind(*w), PackedLParam(ClientWidth(*w), ClientHeight(*w)));
    if (!(w = LookupWindow(hwnd))) return false;
    POINT o = ClientOriginInParent(*w);
    SendIfWindow(hwnd, WM_MOVE, 0, PackedLParam(o.x, o.y));
    if (!(w = LookupWindow(hwnd))) return false;
    WPARAM notify = MAKEWPARAM(WM_CREATE, w->id);
    SendIfWindow(w->parent, WM_PARENTNOTIFY, notify, reinterpret_cast<LPARAM>(hwnd));
    return LookupWindow(hwnd) != nullptr;
}

Outcome RunCreation(HWND hwnd, CREATESTRUCTA* cs) {
    LimitSize(hwnd);
    if (!LookupWindow(hwnd)) return Outcome::Destroyed;
    if (!SendIfWindow(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(cs))) return Refuse(hwnd);
    if (!LookupWindow(hwnd) || !CalcInitialClient(hwnd)) return Outcome::Destroyed;
    if (SendIfWindow(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(cs)) == -1) return Refuse(hwnd);
    if (!LookupWindow(hwnd) || !AnnounceChild(hwnd)) return Outcome::Destroyed;
    if (cs->style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return LookupWindow(hwnd) ? Outcome::Created : Outcome::Destroyed;
}

bool CheckParent(DWORD style, HWND parent) {
    if ((style & WS_CHILD) && !parent) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return false;
    }
    return !parent || LookupWindowOrFail(parent);
}

}  // namespace
}  // namespace qpm

using namespace qpm;

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    WindowClass* cls = FindClass(className, instance);
    if (!cls) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return nullptr;
    }
    if (!CheckParent(style, parent)) return nullptr;
    CREATESTRUCTA cs{param, instance, menu,        parent,     height,    width,
                     y,     x,        LONG(style), windowName, className, exStyle};
    HWND hwnd = InsertWindow(NewWindow(cls, cs, EffectiveStyle(style)));
    ++cls->windows;
    LinkWindow(LookupWindow(hwnd));
    QPM_TRACE("msg", "create %p class %s", static_cast<void*>(hwnd), cls->name.c_str());
    Outcome outcome = RunCreation(hwnd, &cs);
    if (outcome == Outcome::Destroyed) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return outcome == Outcome::Created ? hwnd : nullptr;
}
