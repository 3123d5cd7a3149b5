// The window tests' time, for the layer (manual clock) and for Windows.
#include "time_control.h"

#include <qpm_platform.h>

#if !defined(_WIN32)
#include "kernel_internal.h"
#endif

namespace usertest {

namespace {

// Long enough for any timer a test sets, however busy the machine.
constexpr DWORD kDeadlineMs = 20000;

#if defined(_WIN32)

void DispatchReady() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Waits for the next message, at most until `until` (a tick count).
void WaitForMessageUntil(DWORD until) {
    DWORD left = until - GetTickCount();
    if (LONG(left) > 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, left, QS_ALLINPUT);
}

#endif

}  // namespace

#if defined(_WIN32)

bool RunTimersUntil(const std::function<bool()>& done) {
    const DWORD until = GetTickCount() + kDeadlineMs;
    for (;;) {
        DispatchReady();
        if (done()) return true;
        if (LONG(until - GetTickCount()) <= 0) return false;
        WaitForMessageUntil(until);
    }
}

void RunTimersFor(DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    do {
        DispatchReady();
        WaitForMessageUntil(until);
    } while (LONG(until - GetTickCount()) > 0);
    DispatchReady();
}

void MakeTimerDue(DWORD) {
    const DWORD until = GetTickCount() + kDeadlineMs;
    MSG msg;
    while (!PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE) &&
           LONG(until - GetTickCount()) > 0)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, until - GetTickCount(), QS_TIMER);
}

#else

bool RunTimersUntil(const std::function<bool()>& done) {
    for (DWORD ms = 0; ms < kDeadlineMs; ++ms) {
        QpmPumpMessages();
        if (done()) return true;
        QpmAdvanceClock(1);
    }
    return done();
}

void RunTimersFor(DWORD ms) {
    QpmAdvanceClock(ms);
    QpmPumpMessages();
}

void MakeTimerDue(DWORD ms) { qpm::SetManualTicks(GetTickCount() + ms); }

#endif

}  // namespace usertest
