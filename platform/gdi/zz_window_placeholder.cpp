// Temporary: lets the drawing half link and run on its own until the
// window half is merged; removed when the window half merges. The window
// half's definition replaces this weak one.
#include "../internal/window_internal.h"

namespace qpm {

__attribute__((weak)) bool GetWindowDrawTarget(HWND, WindowDrawTarget*) { return false; }

}  // namespace qpm
