// Timers: replacing, killing, coalescing, timer procedures; and under the
// manual clock the exact ticks, stepping through QpmAdvanceClock and the
// 32-bit wrap.
#include <qpm_platform.h>

#include <algorithm>

#include "time_control.h"
#include "user_fixture.h"

namespace usertest {
namespace {

class TimerTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        HoldTime(1000);
        start = GetTickCount();
        w = Make(kClass, "w", WS_POPUP, 0, 0, 10, 10);
        Hook([this](HWND, UINT m, WPARAM id, LPARAM) -> std::optional<LRESULT> {
            if (m == WM_TIMER) fired.push_back({UINT_PTR(id), GetTickCount()});
            return std::nullopt;
        });
    }

    struct Fire {
        UINT_PTR id;
        DWORD tick;
        bool operator==(const Fire& o) const { return id == o.id && tick == o.tick; }
    };
    bool FiredAtLeast(size_t n) {
        return RunTimersUntil([this, n] { return fired.size() >= n; });
    }

    HWND w = nullptr;
    DWORD start = 0;
    std::vector<Fire> fired;
};

TEST_F(TimerTest, SameIdReplacesTheTimer) {
    EXPECT_EQ(SetTimer(w, 5, 20, nullptr), 5u);
    EXPECT_EQ(SetTimer(w, 5, 250, nullptr), 5u);
    ASSERT_TRUE(FiredAtLeast(4));
    // Four periods of the second timer, not of the first (80 ms).
    EXPECT_GE(fired[3].tick - start, 800u);
    if (QpmClockIsManual()) {
        EXPECT_EQ(fired[0].tick, 1250u);
        EXPECT_EQ(fired[3].tick, 2000u);
    }
    EXPECT_SEQUENCE(Named("ticks", Sequence(4, Row{w, WM_TIMER, 5, 0})),
                    MessageLog::Get().Only({WM_TIMER}));
}

TEST_F(TimerTest, IdZeroAndKillTimer) {
    EXPECT_EQ(SetTimer(w, 0, 100, nullptr), 1u);
    ASSERT_TRUE(FiredAtLeast(1));
    EXPECT_EQ(fired[0].id, 0u);  // the timer keeps id 0
    EXPECT_TRUE(KillTimer(w, 0));

    EXPECT_EQ(SetTimer(w, 5, 100, nullptr), 5u);
    EXPECT_TRUE(KillTimer(w, 5));
    SetLastError(0xDEAD);
    EXPECT_FALSE(KillTimer(w, 5));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0xDEAD);
    EXPECT_FALSE(KillTimer(w, 77));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    RunTimersFor(300);
    EXPECT_EQ(fired.size(), 1u);

    // A handle that is not a window: ERROR_INVALID_HANDLE, Wine's code
    // for both (Windows documents none).
    HWND bogus = reinterpret_cast<HWND>(uintptr_t(0x999));
    SetLastError(0xDEAD);
    EXPECT_EQ(SetTimer(bogus, 1, 10, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    SetLastError(0xDEAD);
    EXPECT_FALSE(KillTimer(bogus, 1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    SetLastError(0xDEAD);
    EXPECT_FALSE(KillTimer(nullptr, 12345));  // no such thread timer
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(TimerTest, StepsTheClockToEachDueTime) {
    QPM_REQUIRES_HOST_EXTENSION("manual clock");
    SetTimer(w, 1, 150, nullptr);
    SetTimer(w, 2, 400, nullptr);
    QpmAdvanceClock(1500);
    std::vector<Fire> want;
    for (DWORD t = 150; t <= 1500; t += 150) want.push_back({1, 1000 + t});
    want.insert(want.begin() + 2, Fire{2, 1400});   // between 1300 and 1450
    want.insert(want.begin() + 6, Fire{2, 1800});   // between 1750 and 1900
    want.insert(want.begin() + 10, Fire{2, 2200});  // a tie: the older timer goes first
    ASSERT_EQ(fired.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(fired[i].id, want[i].id) << i;
        EXPECT_EQ(fired[i].tick, want[i].tick) << i;
    }
}

// Many timers, periods shared and not: every one fires at each of its
// due times, earlier first, and timers due at once fire in the order they
// were made (a timer set again keeps its place).
TEST_F(TimerTest, ManyTimersFireInDueOrderTiesByCreation) {
    QPM_REQUIRES_HOST_EXTENSION("manual clock");
    const UINT periods[] = {30, 20, 30, 50, 20, 70, 30, 10, 150, 20, 40, 30};
    const UINT_PTR count = sizeof periods / sizeof periods[0];
    for (UINT_PTR id = 1; id <= count; ++id) SetTimer(w, id, periods[id - 1], nullptr);
    SetTimer(w, 2, periods[1], nullptr);  // set again: still the second in a tie
    QpmAdvanceClock(300);
    // The model: the earliest due time first, then the lowest id.
    std::vector<Fire> want;
    std::vector<DWORD> due(count);
    for (UINT_PTR i = 0; i < count; ++i) due[i] = periods[i];
    for (;;) {
        size_t next = size_t(std::min_element(due.begin(), due.end()) - due.begin());
        if (due[next] > 300) break;
        want.push_back({next + 1, start + due[next]});
        due[next] += periods[next];
    }
    EXPECT_TRUE(fired == want) << fired.size() << " fired, " << want.size() << " expected";
}

TEST_F(TimerTest, MissedPeriodsCoalesceIntoOneMessage) {
    QPM_REQUIRES_HOST_EXTENSION("manual clock, to let periods pass unseen without sleeping");
    SetTimer(w, 3, 100, nullptr);
    MakeTimerDue(550);  // five periods pass unseen
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    // The next one is due a period after the delivery.
    MakeTimerDue(99);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    MakeTimerDue(1);
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST_F(TimerTest, TimersSetOrKilledDuringDispatchTakeEffect) {
    Hook([this](HWND h, UINT m, WPARAM id, LPARAM) -> std::optional<LRESULT> {
        if (m != WM_TIMER) return std::nullopt;
        fired.push_back({UINT_PTR(id), GetTickCount()});
        if (id == 1 && fired.size() == 1) SetTimer(h, 2, 30, nullptr);
        if (id == 2) KillTimer(h, 2);
        if (id == 1 && fired.size() > 2) KillTimer(h, 1);
        return 0;
    });
    SetTimer(w, 1, 100, nullptr);
    ASSERT_TRUE(FiredAtLeast(3));
    RunTimersFor(300);  // both are killed: nothing more
    ASSERT_EQ(fired.size(), 3u);
    EXPECT_EQ(fired[0].id, 1u);
    EXPECT_EQ(fired[1].id, 2u);
    EXPECT_EQ(fired[2].id, 1u);
    if (QpmClockIsManual()) {
        EXPECT_TRUE((fired[0] == Fire{1, 1100}));
        EXPECT_TRUE((fired[1] == Fire{2, 1130}));
        EXPECT_TRUE((fired[2] == Fire{1, 1200}));
    }
}

TEST_F(TimerTest, AcrossTheThirtyTwoBitWrap) {
    QPM_REQUIRES_HOST_EXTENSION("manual clock");
    QpmUseManualClock(0xFFFFFF00u);
    SetTimer(w, 1, 100, nullptr);
    QpmAdvanceClock(1000);
    ASSERT_EQ(fired.size(), 10u);
    EXPECT_EQ(fired[0].tick, 0xFFFFFF64u);
    EXPECT_EQ(fired[1].tick, 0xFFFFFFC8u);
    EXPECT_EQ(fired[2].tick, 0x0000002Cu);  // past the wrap
    EXPECT_EQ(fired[9].tick, 0x000002E8u);
    EXPECT_EQ(GetTickCount(), 0x000002E8u);
}

std::vector<UINT_PTR> procCalls;
void CALLBACK CountingTimerProc(HWND hwnd, UINT message, UINT_PTR id, DWORD) {
    EXPECT_EQ(hwnd, nullptr);
    EXPECT_EQ(message, UINT(WM_TIMER));
    procCalls.push_back(id);
}

TEST_F(TimerTest, ThreadTimersWithProcedures) {
    procCalls.clear();
    UINT_PTR a = SetTimer(nullptr, 0, 100, CountingTimerProc);
    UINT_PTR b = SetTimer(nullptr, 0, 100, CountingTimerProc);
    EXPECT_LE(a, 0x7FFFu);  // counting down from 0x7FFF, as Wine does
    EXPECT_EQ(b, a - 1);
    ASSERT_TRUE(RunTimersUntil([] { return procCalls.size() >= 22; }));
    const auto calls = [](UINT_PTR id) {
        return std::count(procCalls.begin(), procCalls.end(), id);
    };
    EXPECT_GT(calls(a), 0);
    EXPECT_GT(calls(b), 0);
    if (QpmClockIsManual()) {
        EXPECT_EQ(GetTickCount() - start, 1100u);
        EXPECT_EQ(calls(a), 11);
    }

    // Through the loop: hwnd NULL, wParam the id.
    KillTimer(nullptr, b);
    MakeTimerDue(100);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.message, UINT(WM_TIMER));
    EXPECT_EQ(msg.wParam, a);
    procCalls.clear();
    DispatchMessageA(&msg);
    EXPECT_EQ(procCalls, std::vector<UINT_PTR>{a});
    KillTimer(nullptr, a);
    EXPECT_TRUE(fired.empty());
}

// Windows documents lParam as the procedure; Wine puts a handle of its
// own there. The layer keeps to the documentation, and calls nothing for
// a stale message of a killed timer.
TEST_F(TimerTest, ThreadTimerMessageCarriesItsProcedureWhileItLives) {
    QPM_LAYER_CHOICE(
        "WM_TIMER's lParam is the TIMERPROC, as documented (Wine's is a handle of its own), and "
        "a killed timer's stale message calls nothing (Wine calls the procedure)");
    procCalls.clear();
    UINT_PTR id = SetTimer(nullptr, 0, 100, CountingTimerProc);
    MakeTimerDue(100);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(msg.wParam, id);
    EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(CountingTimerProc));
    KillTimer(nullptr, id);
    DispatchMessageA(&msg);
    EXPECT_TRUE(procCalls.empty());
}

}  // namespace
}  // namespace usertest
