// Timers: SetTimer, KillTimer, and the manual clock's QpmAdvanceClock.
//
// A timer holds the tick at which it is next due. Its WM_TIMER is made
// when the message loop looks for one, so a timer never has more than one
// pending (missed periods coalesce), and the next due time is the time of
// delivery plus the period. Due times compare by the signed difference of
// unsigned ticks, so the 32-bit wrap of the tick count does no harm.
//
// The timer due first is found through an index ordered by due time (then
// by creation), not by looking at every timer: a page of a thousand
// tickers has a thousand timers, and the message loop asks for the next
// one after each it delivers.
#include "user/user_internal.h"

#include <algorithm>
#include <map>
#include <set>

namespace qpm {
namespace {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT period;
    DWORD due;
    TIMERPROC proc;
    int64_t position;  // `due` on the unwrapped timeline, the index's key
};

constexpr UINT kMinPeriod = 10;  // USER_TIMER_MINIMUM
constexpr UINT kMaxPeriod = 0x7FFFFFFF;
constexpr UINT_PTR kFirstThreadTimerId = 0x7FFF;

// Timers by creation order, which breaks ties; and the index of their
// (position, creation number) pairs, earliest first.
std::map<uint64_t, Timer> timers;
std::set<std::pair<int64_t, uint64_t>> byDue;
uint64_t nextCreation = 0;
UINT_PTR nextThreadTimerId = kFirstThreadTimerId;

LONG TicksUntil(const Timer& t, DWORD now) { return LONG(t.due - now); }

// The tick count unwrapped: each reading moves the timeline by its signed
// 32-bit difference from the one before (so a clock set back moves it
// back). Two due times then compare on it exactly as their signed
// differences from the current tick do.
int64_t TimelineAt(DWORD now) {
    static DWORD last = now;
    static int64_t at = 0;
    at += LONG(now - last);
    last = now;
    return at;
}

void SetDue(uint64_t creation, Timer& t, DWORD due) {
    const DWORD now = NowTicks();
    byDue.erase({t.position, creation});
    t.due = due;
    t.position = TimelineAt(now) + LONG(due - now);
    byDue.insert({t.position, creation});
}

bool Live(const Timer& t) {
    if (!t.hwnd) return true;
    Window* w = LookupWindow(t.hwnd);
    return w && !w->destroying;
}

// The timer of that window (null: a thread timer) and id, or timers.end().
std::map<uint64_t, Timer>::iterator Find(HWND hwnd, UINT_PTR id) {
    return std::find_if(timers.begin(), timers.end(), [&](const auto& entry) {
        return entry.second.hwnd == hwnd && entry.second.id == id;
    });
}

void Erase(std::map<uint64_t, Timer>::iterator it) {
    byDue.erase({it->second.position, it->first});
    timers.erase(it);
}

// The live timer due first (most overdue first) that matches the filter,
// as its entry in `timers`.
std::map<uint64_t, Timer>::iterator Earliest(HWND filter) {
    for (const auto& key : byDue) {
        auto it = timers.find(key.second);
        if (Live(it->second) && MessageMatches(filter, it->second.hwnd, 0, 0, WM_TIMER)) return it;
    }
    return timers.end();
}

// Thread timers get ids counting down from 0x7FFF, skipping ids in use.
UINT_PTR NewThreadTimerId() {
    for (UINT_PTR tries = 0; tries < kFirstThreadTimerId; ++tries) {
        UINT_PTR id = nextThreadTimerId;
        nextThreadTimerId = id == 1 ? kFirstThreadTimerId : id - 1;
        if (Find(nullptr, id) == timers.end()) return id;
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

MSG Deliver(uint64_t creation, Timer& t, DWORD now) {
    MSG m{t.hwnd, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), now, {0, 0}};
    SetDue(creation, t, now + t.period);
    return m;
}

}  // namespace

bool TakeDueTimer(MSG* msg, HWND filter, DWORD asOf, bool remove) {
    DWORD now = NowTicks();
    auto it = Earliest(filter);
    if (it == timers.end() || TicksUntil(it->second, asOf) > 0) return false;
    DWORD due = it->second.due;
    *msg = Deliver(it->first, it->second, now);
    if (!remove) SetDue(it->first, it->second, due);
    return true;
}

DWORD MsUntilNextTimer() {
    auto it = Earliest(nullptr);
    if (it == timers.end()) return INFINITE;
    return DWORD(std::max<LONG>(0, TicksUntil(it->second, NowTicks())));
}

void RemoveWindowTimers(HWND hwnd) {
    for (auto it = timers.begin(); it != timers.end();) {
        auto next = std::next(it);
        if (it->second.hwnd == hwnd) Erase(it);
        it = next;
    }
}

TIMERPROC RegisteredTimerProc(HWND hwnd, UINT_PTR id, TIMERPROC proc) {
    auto it = Find(hwnd, id);
    return it != timers.end() && it->second.proc == proc ? proc : nullptr;
}

}  // namespace qpm

using namespace qpm;

// A window timer with an id already set on that window replaces it. A
// window timer with id 0 is valid and returns 1. A thread timer (NULL
// hwnd) gets a new id unless `id` names an existing thread timer.
UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    if (!TimerWindowOrFail(hwnd)) return 0;
    auto it = (hwnd || id) ? Find(hwnd, id) : timers.end();
    if (it == timers.end()) {
        if (!hwnd && !(id = NewThreadTimerId())) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        const uint64_t creation = nextCreation++;
        it = timers.emplace(creation, Timer{hwnd, id, 0, 0, nullptr, 0}).first;
        byDue.insert({0, creation});
    }
    Timer& t = it->second;
    t.period = std::min(std::max(elapse, kMinPeriod), kMaxPeriod);
    t.proc = proc;
    SetDue(it->first, t, NowTicks() + t.period);
    QPM_TRACE("msg", "timer %p id %llu every %u ms", static_cast<void*>(hwnd),
              static_cast<unsigned long long>(id), t.period);
    return (hwnd && id == 0) ? 1 : id;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id) {
    if (!TimerWindowOrFail(hwnd)) return FALSE;
    auto it = Find(hwnd, id);
    if (it == timers.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Erase(it);
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
        auto it = Earliest(nullptr);
        if (it == timers.end()) break;
        LONG wait = TicksUntil(it->second, now);
        if (wait > 0 && DWORD(wait) > end - now) break;
        if (wait > 0) SetManualTicks(now = it->second.due);
        MSG m = Deliver(it->first, it->second, now);
        DispatchMessageA(&m);
    }
    SetManualTicks(end);
}
