// Timers: SetTimer, KillTimer, and the manual clock's QpmAdvanceClock.
//
// A timer holds the tick at which it is next due. Its WM_TIMER is made
// when the message loop looks for one, so a timer never has more than one
// pending (missed periods coalesce), and the next due time is the time of
// delivery plus the period. Due times compare by the signed difference of
// unsigned ticks, so the 32-bit wrap of the tick count does no harm.
#include "user/user_internal.h"

#include <algorithm>

namespace qpm {
namespace {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT period;
    DWORD due;
    TIMERPROC proc;
};

constexpr UINT kMinPeriod = 10;  // USER_TIMER_MINIMUM
constexpr UINT kMaxPeriod = 0x7FFFFFFF;
constexpr UINT_PTR kFirstThreadTimerId = 0x7FFF;

std::vector<Timer> timers;  // in order of creation, which breaks ties
UINT_PTR nextThreadTimerId = kFirstThreadTimerId;

LONG TicksUntil(const Timer& t, DWORD now) { return LONG(t.due - now); }

bool Live(const Timer& t) {
    if (!t.hwnd) return true;
    Window* w = LookupWindow(t.hwnd);
    return w && !w->destroying;
}

Timer* Find(HWND hwnd, UINT_PTR id) {
    for (Timer& t : timers)
        if (t.hwnd == hwnd && t.id == id) return &t;
    return nullptr;
}

// The live timer due first (most overdue first) that matches the filter.
Timer* Earliest(HWND filter, DWORD now) {
    Timer* best = nullptr;
    for (Timer& t : timers) {
        if (!Live(t) || !MessageMatches(filter, t.hwnd, 0, 0, WM_TIMER)) continue;
        if (!best || TicksUntil(t, now) < TicksUntil(*best, now)) best = &t;
    }
    return best;
}

// Thread timers get ids counting down from 0x7FFF, skipping ids in use.
UINT_PTR NewThreadTimerId() {
    for (UINT_PTR tries = 0; tries < kFirstThreadTimerId; ++tries) {
        UINT_PTR id = nextThreadTimerId;
        nextThreadTimerId = id == 1 ? kFirstThreadTimerId : id - 1;
        if (!Find(nullptr, id)) return id;
    }
    return 0;
}

// A handle that is not a window gives ERROR_INVALID_HANDLE, as under
// Wine (Windows documents no code); NULL means a thread timer.
bool TimerWindowOrFail(HWND hwnd) {
    if (!hwnd || LookupWindow(hwnd)) return true;
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
}

MSG Deliver(Timer* t, DWORD now) {
    MSG m{t->hwnd, WM_TIMER, t->id, reinterpret_cast<LPARAM>(t->proc), now, {0, 0}};
    t->due = now + t->period;
    return m;
}

}  // namespace

bool TakeDueTimer(MSG* msg, HWND filter, DWORD asOf, bool remove) {
    DWORD now = NowTicks();
    Timer* t = Earliest(filter, now);
    if (!t || TicksUntil(*t, asOf) > 0) return false;
    DWORD due = t->due;
    *msg = Deliver(t, now);
    if (!remove) t->due = due;
    return true;
}

DWORD MsUntilNextTimer() {
    DWORD now = NowTicks();
    Timer* t = Earliest(nullptr, now);
    if (!t) return INFINITE;
    return DWORD(std::max<LONG>(0, TicksUntil(*t, now)));
}

void RemoveWindowTimers(HWND hwnd) {
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [hwnd](const Timer& t) { return t.hwnd == hwnd; }),
                 timers.end());
}

TIMERPROC RegisteredTimerProc(HWND hwnd, UINT_PTR id, TIMERPROC proc) {
    Timer* t = Find(hwnd, id);
    return t && t->proc == proc ? proc : nullptr;
}

}  // namespace qpm

using namespace qpm;

// A window timer with an id already set on that window replaces it. A
// window timer with id 0 is valid and returns 1. A thread timer (NULL
// hwnd) gets a new id unless `id` names an existing thread timer.
UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    if (!TimerWindowOrFail(hwnd)) return 0;
    Timer* t = (hwnd || id) ? Find(hwnd, id) : nullptr;
    if (!t) {
        if (!hwnd && !(id = NewThreadTimerId())) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        timers.push_back(Timer{hwnd, id, 0, 0, nullptr});
        t = &timers.back();
    }
    t->period = std::min(std::max(elapse, kMinPeriod), kMaxPeriod);
    t->due = NowTicks() + t->period;
    t->proc = proc;
    QPM_TRACE("msg", "timer %p id %llu every %u ms", static_cast<void*>(hwnd),
              static_cast<unsigned long long>(id), t->period);
    return (hwnd && id == 0) ? 1 : id;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id) {
    if (!TimerWindowOrFail(hwnd)) return FALSE;
    Timer* t = Find(hwnd, id);
    if (!t) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    timers.erase(timers.begin() + (t - timers.data()));
    return TRUE;
}

// Steps the manual clock to each due time in turn and dispatches that
// timer there; timers set or killed by a procedure are seen at once
// because the earliest timer is looked up again after every dispatch.
void QpmAdvanceClock(DWORD ms) {
    if (!QpmClockIsManual()) return;
    DWORD end = NowTicks() + ms;
    for (;;) {
        DWORD now = NowTicks();
        Timer* t = Earliest(nullptr, now);
        if (!t) break;
        LONG wait = TicksUntil(*t, now);
        if (wait > 0 && DWORD(wait) > end - now) break;
        if (wait > 0) SetManualTicks(now = t->due);
        MSG m = Deliver(t, now);
        DispatchMessageA(&m);
    }
    SetManualTicks(end);
}
