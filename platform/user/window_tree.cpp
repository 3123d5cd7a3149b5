// The window tree: parents, children in Z order, the top-level list, and
// the functions that walk it (IsWindow, GetParent, GetWindow, ...).
#include "user/user_internal.h"

#include <algorithm>

namespace qpm {
namespace {

std::vector<HWND>* SiblingList(const Window& w) {
    if (!w.parent) return &TopLevelWindows();
    Window* parent = LookupWindow(w.parent);
    return parent ? &parent->children : nullptr;
}

HWND SiblingAt(const Window& w, UINT relation) {
    const std::vector<HWND>* list = SiblingList(w);
    if (!list || list->empty()) return nullptr;
    if (relation == GW_HWNDFIRST) return list->front();
    if (relation == GW_HWNDLAST) return list->back();
    auto it = std::find(list->begin(), list->end(), w.hwnd);
    if (it == list->end()) return nullptr;
    if (relation == GW_HWNDNEXT) return it + 1 == list->end() ? nullptr : *(it + 1);
    return it == list->begin() ? nullptr : *(it - 1);
}

}  // namespace

std::vector<HWND>& TopLevelWindows() {
    static std::vector<HWND> list;
    return list;
}

// Children go below their siblings (the first child stays GW_CHILD);
// a new top-level window goes on top.
void LinkWindow(Window* w) {
    std::vector<HWND>* list = SiblingList(*w);
    if (!list) return;
    if (w->parent)
        list->push_back(w->hwnd);
    else
        list->insert(list->begin(), w->hwnd);
}

void UnlinkWindow(Window* w) {
    std::vector<HWND>* list = SiblingList(*w);
    if (list) list->erase(std::remove(list->begin(), list->end(), w->hwnd), list->end());
}

std::vector<HWND> ChildrenOf(HWND hwnd) {
    Window* w = LookupWindow(hwnd);
    return w ? w->children : std::vector<HWND>();
}

bool IsVisibleChain(const Window* w) {
    while (w) {
        if (!(w->style & WS_VISIBLE)) return false;
        if (!w->parent) return true;
        w = LookupWindow(w->parent);
    }
    return false;
}

bool IsDescendant(HWND ancestor, HWND hwnd) {
    Window* w = LookupWindow(hwnd);
    while (w && w->parent) {
        if (w->parent == ancestor) return true;
        w = LookupWindow(w->parent);
    }
    return false;
}

Window* RootWindow(Window* w) {
    while (w && w->parent) {
        Window* parent = LookupWindow(w->parent);
        if (!parent) break;
        w = parent;
    }
    return w;
}

}  // namespace qpm

using namespace qpm;

BOOL WINAPI IsWindow(HWND hwnd) { return LookupWindow(hwnd) ? TRUE : FALSE; }

BOOL WINAPI IsWindowVisible(HWND hwnd) { return IsVisibleChain(LookupWindow(hwnd)) ? TRUE : FALSE; }

// A child's parent; for a top-level window its owner when it is a popup.
HWND WINAPI GetParent(HWND hwnd) {
    Window* w = LookupWindowOrFail(hwnd);
    if (!w) return nullptr;
    if (w->parent) return w->parent;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND WINAPI GetWindow(HWND hwnd, UINT relation) {
    Window* w = LookupWindowOrFail(hwnd);
    if (!w) return nullptr;
    switch (relation) {
        case GW_CHILD:
            return w->children.empty() ? nullptr : w->children.front();
        case GW_OWNER:
            return w->owner;
        case GW_HWNDFIRST:
        case GW_HWNDLAST:
        case GW_HWNDNEXT:
        case GW_HWNDPREV:
            return SiblingAt(*w, relation);
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

int WINAPI GetDlgCtrlID(HWND hwnd) {
    Window* w = LookupWindowOrFail(hwnd);
    if (!w) return 0;
    return (w->style & WS_CHILD) ? int(w->id) : 0;
}
