// lstrlenA, lstrcpyA, lstrcpynA, lstrcatA.
//
// Windows catches the access fault of a bad pointer and returns NULL (0
// for lstrlenA); here a NULL pointer is the bad pointer that is caught.
#include <windows.h>

#include <cstring>

int WINAPI lstrlenA(LPCSTR string) { return string ? static_cast<int>(strlen(string)) : 0; }

LPSTR WINAPI lstrcpyA(LPSTR dest, LPCSTR src) {
    if (!dest || !src) return nullptr;
    memmove(dest, src, strlen(src) + 1);
    return dest;
}

// The count includes the NUL; nothing is padded after it.
LPSTR WINAPI lstrcpynA(LPSTR dest, LPCSTR src, int count) {
    if (count <= 0) return dest;
    if (!dest || !src) return nullptr;
    size_t n = strnlen(src, static_cast<size_t>(count) - 1);
    memmove(dest, src, n);
    dest[n] = '\0';
    return dest;
}

LPSTR WINAPI lstrcatA(LPSTR dest, LPCSTR src) {
    if (!dest || !src) return nullptr;
    memmove(dest + strlen(dest), src, strlen(src) + 1);
    return dest;
}
