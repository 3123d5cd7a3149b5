// Window classes: RegisterClassA, UnregisterClassA and the look-up that
// CreateWindowExA uses.
//
// Names compare without regard to case. A class belongs to the instance
// that registered it, as on Windows: the same name registered twice by one
// instance fails, but a library that is unloaded and loaded again (a new
// instance handle) registers its class afresh instead of finding one whose
// procedure pointed into the unloaded code. Look-ups prefer the caller's
// instance and fall back to any class of that name.
#include "user/user_internal.h"

#include <strings.h>

namespace qpm {
namespace {

std::vector<std::unique_ptr<WindowClass>> classes;
ATOM nextAtom = 0xC000;

bool IsAtomKey(LPCSTR key) { return reinterpret_cast<uintptr_t>(key) <= 0xFFFF; }

bool KeyMatches(const WindowClass& c, LPCSTR key) {
    if (IsAtomKey(key)) return c.atom == ATOM(reinterpret_cast<uintptr_t>(key));
    return strcasecmp(c.name.c_str(), key) == 0;
}

// Index of the class, or -1; `anyInstance` allows a class of another instance.
int IndexOf(LPCSTR key, HINSTANCE instance, bool anyInstance) {
    int fallback = -1;
    for (size_t i = 0; i < classes.size(); ++i) {
        if (!KeyMatches(*classes[i], key)) continue;
        if (classes[i]->wc.hInstance == instance) return int(i);
        if (fallback < 0) fallback = int(i);
    }
    return anyInstance ? fallback : -1;
}

ATOM AtomFor(LPCSTR name) {
    int same = IndexOf(name, nullptr, true);
    return same >= 0 ? classes[same]->atom : nextAtom++;
}

}  // namespace

WindowClass* FindClass(LPCSTR key, HINSTANCE instance) {
    if (!key) return nullptr;
    int i = IndexOf(key, instance, true);
    return i >= 0 ? classes[i].get() : nullptr;
}

}  // namespace qpm

using namespace qpm;

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
    if (!wc || !wc->lpszClassName || IsAtomKey(wc->lpszClassName) || !*wc->lpszClassName ||
        wc->cbWndExtra < 0 || wc->cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (IndexOf(wc->lpszClassName, wc->hInstance, false) >= 0) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto c = std::make_unique<WindowClass>();
    c->name = wc->lpszClassName;
    c->atom = AtomFor(wc->lpszClassName);
    c->wc = *wc;
    c->wc.lpszClassName = nullptr;
    c->wc.lpszMenuName = nullptr;
    ATOM atom = c->atom;
    classes.push_back(std::move(c));
    return atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE instance) {
    int i = name ? IndexOf(name, instance, true) : -1;
    if (i < 0) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (classes[i]->windows > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    classes.erase(classes.begin() + i);
    return TRUE;
}
