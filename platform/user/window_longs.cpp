// GetWindowLong(Ptr)A / SetWindowLong(Ptr)A.
//
// Offsets from 0 reach the class's extra bytes, a little-endian byte array
// read at any offset (aligned or not) while offset + size <= cbWndExtra.
// Negative indexes reach the window's fields. As on 64-bit Windows, the
// pointer fields (GWLP_WNDPROC, GWLP_HINSTANCE, GWLP_HWNDPARENT) do not fit
// the 32-bit forms, which refuse them with ERROR_INVALID_INDEX.
#include "user/user_internal.h"

namespace qpm {
namespace {

bool ExtraInRange(const Window& w, int index, size_t size) {
    return index >= 0 && size_t(index) + size <= w.extra.size();
}

LONG_PTR ReadExtra(const Window& w, int index, size_t size) {
    uint64_t v = 0;
    for (size_t i = 0; i < size; ++i) v |= uint64_t(w.extra[size_t(index) + i]) << (8 * i);
    return size == sizeof(LONG) ? LONG_PTR(LONG(uint32_t(v))) : LONG_PTR(v);
}

void WriteExtra(Window* w, int index, size_t size, LONG_PTR value) {
    uint64_t v = uint64_t(value);
    for (size_t i = 0; i < size; ++i) w->extra[size_t(index) + i] = BYTE(v >> (8 * i));
}

bool PointerIndex(int index) {
    return index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT;
}

bool IndexValid(const Window& w, int index, size_t size) {
    if (index >= 0) return ExtraInRange(w, index, size);
    if (PointerIndex(index)) return size == sizeof(LONG_PTR);
    return index == GWLP_ID || index == GWL_STYLE || index == GWL_EXSTYLE || index == GWLP_USERDATA;
}

LONG_PTR ReadField(const Window& w, int index, size_t size) {
    switch (index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w.proc);
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w.instance);
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(w.parent ? w.parent : w.owner);
        case GWLP_ID:
            return w.id;
        case GWL_STYLE:
            return LONG(w.style);
        case GWL_EXSTYLE:
            return LONG(w.exStyle);
        case GWLP_USERDATA:
            return w.userData;
        default:
            return ReadExtra(w, index, size);
    }
}

// The window's parent cannot be changed this way; GWLP_HWNDPARENT sets
// the owner of a top-level window.
void WriteField(Window* w, int index, size_t size, LONG_PTR value) {
    switch (index) {
        case GWLP_WNDPROC:
            w->proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWLP_HINSTANCE:
            w->instance = reinterpret_cast<HINSTANCE>(value);
            break;
        case GWLP_HWNDPARENT:
            if (!w->parent) w->owner = reinterpret_cast<HWND>(value);
            break;
        case GWLP_ID:
            w->id = value;
            break;
        case GWL_STYLE:
            w->style = DWORD(value);
            break;
        case GWL_EXSTYLE:
            w->exStyle = DWORD(value);
            break;
        case GWLP_USERDATA:
            w->userData = value;
            break;
        default:
            WriteExtra(w, index, size, value);
            break;
    }
}

Window* Checked(HWND hwnd, int index, size_t size) {
    Window* w = LookupWindowOrFail(hwnd);
    if (w && !IndexValid(*w, index, size)) {
        SetLastError(ERROR_INVALID_INDEX);
        return nullptr;
    }
    return w;
}

LONG_PTR Get(HWND hwnd, int index, size_t size) {
    Window* w = Checked(hwnd, index, size);
    return w ? ReadField(*w, index, size) : 0;
}

LONG_PTR Set(HWND hwnd, int index, size_t size, LONG_PTR value) {
    Window* w = Checked(hwnd, index, size);
    if (!w) return 0;
    LONG_PTR old = ReadField(*w, index, size);
    WriteField(w, index, size, value);
    return old;
}

}  // namespace
}  // namespace qpm

using namespace qpm;

LONG WINAPI GetWindowLongA(HWND hwnd, int index) { return LONG(Get(hwnd, index, sizeof(LONG))); }

LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
    return LONG(Set(hwnd, index, sizeof(LONG), value));
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
    return Get(hwnd, index, sizeof(LONG_PTR));
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    return Set(hwnd, index, sizeof(LONG_PTR), value);
}
