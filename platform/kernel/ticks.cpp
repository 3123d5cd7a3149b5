// The tick source behind GetTickCount: the real monotonic clock, or a
// manual clock that only tests move.
#include "internal/kernel_internal.h"

#include <time.h>

namespace {

bool manual = false;
DWORD manualTicks = 0;

DWORD RealTicks() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    // Truncation to 32 bits is the point: the count wraps every 49.7 days.
    return static_cast<DWORD>(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

}  // namespace

namespace qpm {

DWORD NowTicks() { return manual ? manualTicks : RealTicks(); }

void SetManualTicks(DWORD ticks) {
    if (manual) manualTicks = ticks;
}

}  // namespace qpm

DWORD WINAPI GetTickCount(void) { return qpm::NowTicks(); }

void QpmUseManualClock(DWORD start) {
    manual = true;
    manualTicks = start;
}

void QpmUseRealClock(void) { manual = false; }

BOOL QpmClockIsManual(void) { return manual ? TRUE : FALSE; }
