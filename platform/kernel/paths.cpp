// Win32 paths on a POSIX file system, and where the Windows directory is.
#include "internal/kernel_internal.h"

#include <sys/stat.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string windowsDirectory;

// mkdir -p; failures are left for the file call that follows to report.
void MakeDirectories(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            std::string part = path.substr(0, i);
            if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return;
        }
    }
}

std::string DefaultWindowsDirectory() {
    const char* xdg = getenv("XDG_DATA_HOME");
    std::string base;
    if (xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = getenv("HOME");
        base = std::string(home && *home ? home : "/tmp") + "/.local/share";
    }
    return base + "/qpm/windows";
}

}  // namespace

namespace qpm {

std::string HostPath(const char* path) {
    std::string p = path ? path : "";
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

std::string WindowsDirectory() {
    if (windowsDirectory.empty()) windowsDirectory = DefaultWindowsDirectory();
    MakeDirectories(windowsDirectory);
    return windowsDirectory;
}

}  // namespace qpm

void QpmSetWindowsDirectory(LPCSTR path) {
    std::string p = qpm::HostPath(path);
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    windowsDirectory = p;
}
