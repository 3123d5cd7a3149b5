// Sent, posted, paint and timer messages through GetMessageA and
// PeekMessageA; filters; WM_QUIT; the wait handler; QpmPumpMessages.
#include <qpm_platform.h>

#include "time_control.h"
#include "user_fixture.h"

namespace usertest {
namespace {

class LoopTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        HoldTime(10000);
        top = TopLevel("top", WS_VISIBLE);
        child = Child(top, "child", 1, 10, 10, 50, 50);
        PumpPaints();
        Clear();
    }
    // Creation left the windows invalid; paint them so each test starts clean.
    static void PumpPaints() { QpmPumpMessages(); }

    // PeekMessageA + DispatchMessageA until nothing is left; the messages as rows.
    static std::vector<Row> RunLoop() {
        std::vector<Row> got;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            got.push_back(Row{msg.hwnd, msg.message, msg.wParam, msg.lParam});
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return got;
    }

    HWND top = nullptr, child = nullptr;
};

TEST_F(LoopTest, SentRunsAtOncePostedLaterInFifoOrder) {
    Hook([](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER + 3) return 33;
        return std::nullopt;
    });
    EXPECT_TRUE(PostMessageA(child, WM_USER + 1, 1, 2));
    EXPECT_TRUE(PostMessageA(child, WM_USER + 2, 3, 4));
    EXPECT_EQ(SendMessageA(child, WM_USER + 3, 5, 6), 33);
    EXPECT_MESSAGES(Named("sent", {{child, WM_USER + 3, 5, 6}}));
    Clear();
    EXPECT_EQ(QpmPumpMessages(), 2u);
    EXPECT_MESSAGES(Named("posted", {{child, WM_USER + 1, 1, 2}, {child, WM_USER + 2, 3, 4}}));
}

TEST_F(LoopTest, PostedThenPaintParentsFirstThenTimer) {
    SetTimer(child, 9, 100, nullptr);
    MakeTimerDue(100);  // due, not dispatched
    InvalidateRect(child, nullptr, TRUE);
    InvalidateRect(top, nullptr, FALSE);  // also reaches the child: no WS_CLIPCHILDREN
    PostMessageA(child, WM_USER, 0, 0);
    PostMessageA(nullptr, WM_USER + 1, 7, 8);  // a thread message
    EXPECT_SEQUENCE(Named("loop order",
                          {
                              {child, WM_USER, 0, 0},
                              {nullptr, WM_USER + 1, 7, 8},
                              {top, WM_PAINT, 0, 0},
                              {child, WM_PAINT, 0, 0},
                              {child, WM_TIMER, 9, 0},
                          }),
                    RunLoop());
    // The thread message reached no window; the rest were dispatched.
    EXPECT_EQ(MessageLog::Get().Only({WM_USER + 1}).size(), 0u);
    EXPECT_EQ(MessageLog::Get().Only({WM_USER, WM_PAINT, WM_TIMER}).size(), 4u);
    KillTimer(child, 9);
}

TEST_F(LoopTest, PeekWithoutRemoveAndFilters) {
    HWND other = Child(top, "other", 2, 0, 0, 5, 5);
    PumpPaints();
    PostMessageA(other, WM_USER + 5, 0, 0);
    PostMessageA(child, WM_USER + 6, 0, 0);
    PostMessageA(nullptr, WM_USER + 7, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 5));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 5));  // still first
    // A window filter takes that window's (or its descendants') messages.
    ASSERT_TRUE(PeekMessageA(&msg, child, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 6));
    ASSERT_TRUE(PeekMessageA(&msg, top, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, other);
    // (HWND)-1 takes thread messages only; a range filter limits messages.
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 8, WM_USER + 9, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 7));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    SetLastError(0xDEAD);
    EXPECT_FALSE(PeekMessageA(&msg, reinterpret_cast<HWND>(uintptr_t(0x777)), 0, 0, PM_REMOVE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(GetMessageA(&msg, reinterpret_cast<HWND>(uintptr_t(0x777)), 0, 0), -1);
}

TEST_F(LoopTest, QuitComesAfterPostedMessagesAndEndsGetMessage) {
    PostQuitMessage(3);
    PostMessageA(child, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_USER));
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));  // taken once only
}

TEST_F(LoopTest, PumpLeavesQuitForTheHostLoop) {
    PostQuitMessage(0);
    PostMessageA(child, WM_USER, 0, 0);
    EXPECT_EQ(QpmPumpMessages(), 1u);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
}

TEST_F(LoopTest, ManualClockWithNothingToDoReturnsFalse) {
    QPM_REQUIRES_HOST_EXTENSION("manual clock");
    SetTimer(child, 1, 500, nullptr);  // not due: GetMessageA does not wait for it
    MSG msg;
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(GetTickCount(), 10000u);
}

struct WaitLog {
    std::vector<DWORD> timeouts;
    HWND post = nullptr;
};

// A host's wait: record the timeout, let that much time pass, post once.
void HostWait(DWORD timeout, void* context) {
    auto* log = static_cast<WaitLog*>(context);
    log->timeouts.push_back(timeout);
    if (timeout != INFINITE) MakeTimerDue(timeout);
    if (log->post) PostMessageA(log->post, WM_USER + 9, 0, 0);
    log->post = nullptr;
}

TEST_F(LoopTest, WaitHandlerGetsTheTimeUntilTheNextTimer) {
    QPM_REQUIRES_HOST_EXTENSION("wait handler");
    WaitLog log;
    QpmSetWaitHandler(HostWait, &log);
    SetTimer(child, 4, 250, nullptr);
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_TIMER));
    EXPECT_EQ(msg.hwnd, child);
    EXPECT_EQ(msg.wParam, 4u);
    EXPECT_EQ(msg.lParam, 0);
    EXPECT_EQ(GetTickCount(), 10250u);
    KillTimer(child, 4);

    log.post = child;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_USER + 9));
    EXPECT_EQ(log.timeouts, (std::vector<DWORD>{250, INFINITE}));
}

// A window procedure that forgets BeginPaint would otherwise be sent
// WM_PAINT forever.
TEST_F(LoopTest, PaintThatIsNotValidatedIsValidatedByDispatch) {
    QPM_LAYER_CHOICE("Windows sends WM_PAINT again until the window is validated");
    Hook([](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_PAINT) return 0;  // no BeginPaint
        return std::nullopt;
    });
    InvalidateRect(child, nullptr, TRUE);
    EXPECT_EQ(QpmPumpMessages(), 1u);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

}  // namespace
}  // namespace usertest
