// Window titles: SetWindowTextA/GetWindowTextA go through WM_SETTEXT and
// WM_GETTEXT, so a window procedure can answer them itself; DefWindowProcA
// keeps the text in the window.
#include "user/user_internal.h"

#include <cstring>

namespace qpm {

// Copies at most size - 1 characters and a NUL; returns the characters copied.
LRESULT DefaultGetText(Window* w, WPARAM size, LPARAM buffer) {
    char* out = reinterpret_cast<char*>(buffer);
    if (!out || size == 0) return 0;
    size_t n = w->text.size() < size - 1 ? w->text.size() : size_t(size - 1);
    memcpy(out, w->text.data(), n);
    out[n] = '\0';
    return LRESULT(n);
}

LRESULT DefaultSetText(Window* w, LPARAM text) {
    const char* s = reinterpret_cast<const char*>(text);
    w->text = s ? s : "";
    return TRUE;
}

}  // namespace qpm

using namespace qpm;

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!LookupWindowOrFail(hwnd)) return FALSE;
    return SendIfWindow(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
    if (!LookupWindowOrFail(hwnd) || !buffer || size <= 0) return 0;
    buffer[0] = '\0';
    return int(SendIfWindow(hwnd, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(buffer)));
}
