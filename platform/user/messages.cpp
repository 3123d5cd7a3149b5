// Sent messages: SendMessageA calls the window's current procedure
// directly (subclassing included) and may be re-entered from inside it.
#include "user/user_internal.h"

namespace qpm {

void TraceMessage(const char* verb, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    QPM_TRACE("msg", "%s %s to %p w=%#llx l=%#llx", verb, QpmMessageName(message),
              static_cast<void*>(hwnd), static_cast<unsigned long long>(wParam),
              static_cast<unsigned long long>(lParam));
}

LRESULT CallWindow(Window* w, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowPin pin(w);
    WNDPROC proc = w->proc ? w->proc : DefWindowProcA;
    return proc(w->hwnd, message, wParam, lParam);
}

LRESULT SendIfWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = LookupWindow(hwnd);
    if (!w) return 0;
    TraceMessage("send", hwnd, message, wParam, lParam);
    return CallWindow(w, message, wParam, lParam);
}

}  // namespace qpm

using namespace qpm;

LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!LookupWindowOrFail(hwnd)) return 0;
    return SendIfWindow(hwnd, message, wParam, lParam);
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}
