// Timers under the manual clock: replacing, killing, coalescing, stepping
// through QpmAdvanceClock, timer procedures, and the 32-bit wrap.
#include <qpm_platform.h>

#include "kernel_internal.h"
#include "user_fixture.h"

namespace usertest {
namespace {

class TimerTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        QpmUseManualClock(1000);
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
    HWND w = nullptr;
    std::vector<Fire> fired;
};

TEST_F(TimerTest, SameIdReplacesTheTimer) {
    EXPECT_EQ(SetTimer(w, 5, 20, nullptr), 5u);
    EXPECT_EQ(SetTimer(w, 5, 250, nullptr), 5u);
    QpmAdvanceClock(1100);
    ASSERT_EQ(fired.size(), 4u);
    EXPECT_EQ(fired[0].tick, 1250u);
    EXPECT_EQ(fired[3].tick, 2000u);
    EXPECT_EQ(GetTickCount(), 2100u);
    EXPECT_TRUE(msglog::SameSequence(std::vector<Row>(4, Row{w, WM_TIMER, 5, 0}),
                                     MessageLog::Get().Only({WM_TIMER})));
}

TEST_F(TimerTest, IdZeroAndKillTimer) {
    EXPECT_EQ(SetTimer(w, 0, 100, nullptr), 1u);
    QpmAdvanceClock(100);
    ASSERT_EQ(fired.size(), 1u);
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
    QpmAdvanceClock(1000);
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

TEST_F(TimerTest, MissedPeriodsCoalesceIntoOneMessage) {
    SetTimer(w, 3, 100, nullptr);
    qpm::SetManualTicks(1550);  // five periods pass unseen
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    // The next one is due a period after the delivery.
    qpm::SetManualTicks(1649);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    qpm::SetManualTicks(1650);
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
    QpmAdvanceClock(1000);
    ASSERT_EQ(fired.size(), 3u);
    EXPECT_TRUE((fired[0] == Fire{1, 1100}));
    EXPECT_TRUE((fired[1] == Fire{2, 1130}));
    EXPECT_TRUE((fired[2] == Fire{1, 1200}));
}

TEST_F(TimerTest, AcrossTheThirtyTwoBitWrap) {
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
    QpmAdvanceClock(1100);
    EXPECT_EQ(procCalls.size(), 22u);

    // Through the loop: hwnd NULL, wParam the id, lParam the procedure.
    KillTimer(nullptr, b);
    qpm::SetManualTicks(GetTickCount() + 100);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, a);
    EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(CountingTimerProc));
    procCalls.clear();
    DispatchMessageA(&msg);
    EXPECT_EQ(procCalls, std::vector<UINT_PTR>{a});
    // Once killed, a stale WM_TIMER no longer calls the procedure.
    KillTimer(nullptr, a);
    DispatchMessageA(&msg);
    EXPECT_EQ(procCalls.size(), 1u);
    EXPECT_TRUE(fired.empty());
}

}  // namespace
}  // namespace usertest
