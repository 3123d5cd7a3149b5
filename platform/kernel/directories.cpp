// GetWindowsDirectoryA: the host-chosen directory standing in for
// C:\WINDOWS (see QpmSetWindowsDirectory).
#include "internal/kernel_internal.h"

#include <cstring>

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    std::string dir = qpm::WindowsDirectory();
    // Too small: the length needed, counting the NUL, and nothing written.
    if (!buffer || size <= dir.size()) return UINT(dir.size() + 1);
    memcpy(buffer, dir.c_str(), dir.size() + 1);
    return UINT(dir.size());
}
