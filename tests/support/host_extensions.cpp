// The helpers of host_extensions.h, for the layer and for a real Win32.
#include "support/host_extensions.h"

#include <cstdio>
#include <cstdlib>

#if defined(_WIN32)

void HoldTime(DWORD) {}

void DeliverTimerPeriod(HWND window, UINT_PTR timerId, DWORD) {
    SendMessageA(window, WM_TIMER, timerId, 0);
}

void UseWindowsDirectory(const std::string&) {}

std::string MakeTempDirectory(const char* stem) {
    char base[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, base);
    if (n == 0 || n >= MAX_PATH) return "";
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        char name[MAX_PATH + 64];
        snprintf(name, sizeof name, "%s%s_%lu_%u", base, stem, GetCurrentProcessId(), attempt);
        if (CreateDirectoryA(name, nullptr)) return name;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return "";
}

void RemoveTempDirectory(const std::string& dir, const std::vector<std::string>& files) {
    for (const std::string& f : files) DeleteFileA(f.c_str());
    if (!dir.empty()) RemoveDirectoryA(dir.c_str());
}

#else

#include <unistd.h>

void HoldTime(DWORD start) { QpmUseManualClock(start); }

void DeliverTimerPeriod(HWND, UINT_PTR, DWORD period) { QpmAdvanceClock(period); }

void UseWindowsDirectory(const std::string& dir) { QpmSetWindowsDirectory(dir.c_str()); }

std::string MakeTempDirectory(const char* stem) {
    std::string pattern = std::string("/tmp/") + stem + "_XXXXXX";
    return mkdtemp(&pattern[0]) ? pattern : "";
}

void RemoveTempDirectory(const std::string& dir, const std::vector<std::string>& files) {
    for (const std::string& f : files) unlink(f.c_str());
    if (!dir.empty()) rmdir(dir.c_str());
}

#endif
