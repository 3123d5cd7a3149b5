// The message loop: PeekMessageA, GetMessageA, DispatchMessageA and the
// host's QpmPumpMessages / QpmSetWaitHandler.
//
// What comes out, in order: posted messages (FIFO), then WM_QUIT, then
// WM_PAINT for a window with an update region (parents before children),
// then WM_TIMER for a due timer. WM_PAINT and WM_TIMER are made when
// asked for, never queued. With nothing ready GetMessageA lets the host's
// wait handler wait; without one it sleeps until the next timer under the
// real clock, and returns FALSE (as for WM_QUIT) when nothing can ever
// arrive: under the manual clock, or with no timer at all.
#include "user/user_internal.h"

#include <cerrno>
#include <ctime>

namespace qpm {
namespace {

QpmWaitHandler waitHandler = nullptr;
void* waitContext = nullptr;

bool InRange(UINT first, UINT last, UINT message) {
    return MessageMatches(nullptr, nullptr, first, last, message);
}

bool TakePaint(MSG* msg, HWND filter) {
    HWND hwnd = FindWindowToPaint(filter);
    if (!hwnd) return false;
    *msg = MSG{hwnd, WM_PAINT, 0, 0, NowTicks(), {0, 0}};
    return true;
}

// `timersDueBy` bounds the timers taken, so a pump ends even when a timer
// falls due again while it runs.
bool NextMessage(MSG* msg, HWND filter, UINT first, UINT last, bool remove, bool withQuit,
                 DWORD timersDueBy) {
    if (TakePostedMessage(msg, filter, first, last, remove)) return true;
    if (withQuit && TakeQuitMessage(msg, first, last, remove)) return true;
    if (InRange(first, last, WM_PAINT) && TakePaint(msg, filter)) return true;
    return InRange(first, last, WM_TIMER) && TakeDueTimer(msg, filter, timersDueBy, remove);
}

bool ValidFilter(HWND filter) {
    return !filter || filter == reinterpret_cast<HWND>(-1) || LookupWindowOrFail(filter);
}

void SleepMs(DWORD ms) {
    timespec ts{time_t(ms / 1000), long(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) == -1 && errno == EINTR) {
    }
}

// A procedure that does not validate its window while painting gets it
// validated here, so WM_PAINT cannot repeat for ever.
void ValidateAfterPaint(HWND hwnd) {
    Window* w = LookupWindow(hwnd);
    if (!w || w->update.Empty()) return;
    w->update = Region();
    w->erase = w->unerased = false;
}

LRESULT DispatchTimerProc(const MSG* msg) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    if (!RegisteredTimerProc(msg->hwnd, msg->wParam, proc)) return 0;
    TraceMessage("timerproc", msg->hwnd, msg->message, msg->wParam, msg->lParam);
    proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    return 0;
}

}  // namespace
}  // namespace qpm

using namespace qpm;

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT remove) {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!ValidFilter(hwnd)) return FALSE;
    return NextMessage(msg, hwnd, first, last, (remove & PM_REMOVE) != 0, true, NowTicks());
}

// -1 for a bad window filter, FALSE for WM_QUIT (or nothing that can come).
BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last) {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (!ValidFilter(hwnd)) return -1;
    for (;;) {
        if (NextMessage(msg, hwnd, first, last, true, true, NowTicks()))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        DWORD timeout = MsUntilNextTimer();
        if (waitHandler) {
            waitHandler(timeout, waitContext);
        } else if (QpmClockIsManual() || timeout == INFINITE) {
            QPM_TRACE("msg", "GetMessageA: nothing can arrive, returning FALSE");
            *msg = MSG{nullptr, WM_QUIT, 0, 0, NowTicks(), {0, 0}};
            return FALSE;
        } else {
            SleepMs(timeout);
        }
    }
}

// No keyboard layout: no WM_CHAR is made. Key messages report TRUE, as
// Windows does whether or not it translated them.
BOOL WINAPI TranslateMessage(const MSG* msg) {
    return msg && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) ? TRUE : FALSE;
}

// A WM_TIMER whose lParam is a timer procedure calls it (only when it is a
// live timer's procedure); everything else goes to the window procedure.
LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) return DispatchTimerProc(msg);
    if (!msg->hwnd) return 0;
    Window* w = LookupWindowOrFail(msg->hwnd);
    if (!w) return 0;
    TraceMessage("dispatch", msg->hwnd, msg->message, msg->wParam, msg->lParam);
    LRESULT result = CallWindow(w, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT) ValidateAfterPaint(msg->hwnd);
    return result;
}

void QpmSetWaitHandler(QpmWaitHandler handler, void* context) {
    waitHandler = handler;
    waitContext = context;
}

// WM_QUIT stays pending for the host's own loop.
UINT QpmPumpMessages(void) {
    DWORD start = NowTicks();
    UINT handled = 0;
    MSG msg;
    while (NextMessage(&msg, nullptr, 0, 0, true, false, start)) {
        DispatchMessageA(&msg);
        ++handled;
    }
    return handled;
}
