// Window handles and the lifetime of window objects.
//
// Handles come from a type-tagged table, so a stale or foreign handle is
// refused rather than followed. ReleaseWindow kills the handle at once; if
// a window procedure frame is still running inside the window (it destroyed
// itself, or its parent did), the object waits among the zombies until the
// last WindowPin goes.
#include "user/user_internal.h"

#include "internal/object_counts.h"

#include <algorithm>

namespace qpm {
namespace {

HandleTable<Window>& Table() {
    static HandleTable<Window> table(HandleTag::Window);
    return table;
}

std::vector<std::unique_ptr<Window>> zombies;

uintptr_t Value(HWND hwnd) { return reinterpret_cast<uintptr_t>(hwnd); }

void FreeZombie(Window* window) {
    auto it =
        std::find_if(zombies.begin(), zombies.end(),
                     [window](const std::unique_ptr<Window>& z) { return z.get() == window; });
    if (it != zombies.end()) zombies.erase(it);
}

}  // namespace

Window* LookupWindow(HWND hwnd) { return hwnd ? Table().Get(Value(hwnd)) : nullptr; }

Window* LookupWindowOrFail(HWND hwnd) {
    Window* w = LookupWindow(hwnd);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

HWND InsertWindow(std::unique_ptr<Window> window) {
    Window* w = window.get();
    w->hwnd = reinterpret_cast<HWND>(Table().Add(std::move(window)));
    return w->hwnd;
}

void ReleaseWindow(Window* w) {
    std::unique_ptr<Window> object = Table().Remove(Value(w->hwnd));
    if (!object) return;
    object->freed = true;
    if (object->inUse > 0) zombies.push_back(std::move(object));
}

WindowPin::WindowPin(Window* window) : window_(window) { ++window_->inUse; }

WindowPin::~WindowPin() {
    if (--window_->inUse == 0 && window_->freed) FreeZombie(window_);
}

size_t CountWindows() { return Table().Count(); }

}  // namespace qpm
