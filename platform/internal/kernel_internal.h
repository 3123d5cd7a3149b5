// What the kernel half of the layer offers the other halves.
#pragma once

#include "internal/visibility.h"

#include <qpm_platform.h>
#include <windows.h>

#include <string>

namespace qpm {

// The current tick count of the layer's tick source (GetTickCount).
QPM_INTERNAL DWORD NowTicks();

// Moves the manual clock to `ticks` (QpmAdvanceClock steps it timer by
// timer); does nothing under the real clock.
QPM_INTERNAL void SetManualTicks(DWORD ticks);

// True when the fault-injection counter of that kind says this call
// must fail (and counts the call either way).
QPM_INTERNAL bool InjectedFailure(QpmFault kind);

// A Win32-style path ("a\\b", "C:/x") as a host path: backslashes become
// slashes. A bare name stays bare.
QPM_INTERNAL std::string HostPath(const char* path);

// The Windows directory without a trailing separator, created if needed.
QPM_INTERNAL std::string WindowsDirectory();

// Trace one line if the area is switched on (QPM_TRACE).
#define QPM_TRACE(area, ...)                                    \
    do {                                                        \
        if (QpmTraceEnabled(area)) QpmTrace(area, __VA_ARGS__); \
    } while (0)

}  // namespace qpm
