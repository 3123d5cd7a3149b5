// DestroyWindow: the order of its messages over a tree, what works inside
// WM_DESTROY, what a destroyed handle answers, and procedures that destroy
// their own window or re-enter it while handling a message.
#include "time_control.h"
#include "user_fixture.h"

namespace usertest {
namespace {

class DestroyTest : public UserTest {
protected:
    // P2 (visible top-level) with children C2a (id 1, which has G) and C2b (id 2).
    void MakeTree() {
        p2 = TopLevel("P2", WS_VISIBLE);
        c2a = Child(p2, "C2a", 1, 0, 0, 50, 50);
        g = Child(c2a, "G", 3, 0, 0, 10, 10);
        c2b = Child(p2, "C2b", 2, 60, 0, 50, 50);
        ASSERT_TRUE(p2 && c2a && g && c2b);
    }

    void ExpectGone(HWND hwnd) {
        EXPECT_FALSE(IsWindow(hwnd));
        SetLastError(0xDEAD);
        EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
        SetLastError(0xDEAD);
        EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
        SetLastError(0xDEAD);
        EXPECT_EQ(GetParent(hwnd), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
        SetLastError(0xDEAD);
        EXPECT_EQ(GetWindowLongPtrA(hwnd, 0), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
        SetLastError(0xDEAD);
        EXPECT_FALSE(DestroyWindow(hwnd));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));  // Wine's answer
    }

    HWND p2 = nullptr, c2a = nullptr, g = nullptr, c2b = nullptr;
};

TEST_F(DestroyTest, TreeOrderAndWhatWorksInsideWmDestroy) {
    MakeTree();
    SetFocus(p2);
    LRESULT sentToP2 = 0, sentToC2a = 0, sentFromC2a = 0;
    BOOL posted = FALSE;
    Hook([&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER + 50) return 1050;
        if (m == WM_USER + 51) return 1051;
        if (m == WM_USER + 53) return 1053;
        if (m != WM_DESTROY) return std::nullopt;
        if (h == p2) {
            EXPECT_TRUE(IsWindow(p2));
            EXPECT_TRUE(IsWindow(c2a));
            EXPECT_EQ(GetParent(c2a), p2);
            EXPECT_FALSE(IsWindowVisible(p2));
            sentToP2 = SendMessageA(p2, WM_USER + 50, 0, 0);
            sentToC2a = SendMessageA(c2a, WM_USER + 51, 0, 0);
            posted = PostMessageA(p2, WM_USER + 52, 0, 0);
        } else if (h == c2a) {
            EXPECT_TRUE(IsWindow(p2));
            EXPECT_EQ(GetParent(c2a), p2);
            sentFromC2a = SendMessageA(p2, WM_USER + 53, 0, 0);
        }
        return 0;
    });
    // P2 is the active window and no other is shown: the activation goes
    // to none.
    ASSERT_EQ(GetActiveWindow(), p2);
    Clear();
    EXPECT_TRUE(DestroyWindow(p2));
    EXPECT_MESSAGES(Named("hide P2",
                          {
                              {p2, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
                              {p2, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
                          }) +
                    Deactivate(p2, nullptr) + ActivateApp({p2}, FALSE) + FocusMoves(p2, nullptr) +
                    Named("destroy tree", {
                                              {p2, WM_DESTROY, 0, 0},
                                              {p2, WM_USER + 50, 0, 0},
                                              {c2a, WM_USER + 51, 0, 0},
                                              {c2a, WM_DESTROY, 0, 0},
                                              {p2, WM_USER + 53, 0, 0},
                                              {g, WM_DESTROY, 0, 0},
                                              {c2b, WM_DESTROY, 0, 0},
                                              {g, WM_NCDESTROY, 0, 0},
                                              {c2a, WM_NCDESTROY, 0, 0},
                                              {c2b, WM_NCDESTROY, 0, 0},
                                              {p2, WM_NCDESTROY, 0, 0},
                                          }));
    EXPECT_EQ(sentToP2, 1050);
    EXPECT_EQ(sentToC2a, 1051);
    EXPECT_EQ(sentFromC2a, 1053);
    EXPECT_TRUE(posted);

    // The message posted during WM_DESTROY is never delivered.
    Clear();
    EXPECT_EQ(QpmPumpMessages(), 0u);
    EXPECT_TRUE(MessageLog::Get().Rows().empty());
    for (HWND h : {p2, c2a, g, c2b}) ExpectGone(h);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(DestroyTest, ChildTellsItsParentAndHidesFirst) {
    MakeTree();
    Clear();
    EXPECT_TRUE(DestroyWindow(c2b));
    EXPECT_MESSAGES(Named("destroy child", {
                                               {p2, WM_PARENTNOTIFY, 0x00020002, L(c2b)},
                                               {c2b, WM_SHOWWINDOW, 0, 0},
                                               {c2b, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
                                               {p2, WM_ERASEBKGND, 0, 0, kAnyW},
                                               {c2b, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
                                               {c2b, WM_DESTROY, 0, 0},
                                               {c2b, WM_NCDESTROY, 0, 0},
                                           }));
    ExpectGone(c2b);
    EXPECT_EQ(GetWindow(c2a, GW_HWNDNEXT), nullptr);
}

TEST_F(DestroyTest, TimersAndPostedMessagesGoWithTheWindow) {
    HoldTime(5000);
    MakeTree();
    SetTimer(g, 1, 100, nullptr);
    PostMessageA(g, WM_USER + 1, 0, 0);
    PostMessageA(c2b, WM_USER + 2, 0, 0);
    DestroyWindow(c2a);
    Clear();
    RunTimersFor(300);
    // Only the message for the surviving window arrives.
    EXPECT_SEQUENCE(Named("survivor", {{c2b, WM_USER + 2, 0, 0}}),
                    MessageLog::Get().Only({WM_TIMER, WM_USER + 1, WM_USER + 2}));
    SetLastError(0xDEAD);
    EXPECT_FALSE(KillTimer(g, 1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));  // the window is gone, not the id
}

// The installer destroys its component's window from its own WM_DESTROY:
// the child is destroyed completely there, and only once.
TEST_F(DestroyTest, ParentDestroysAChildInsideItsWmDestroy) {
    MakeTree();
    Hook([&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_DESTROY && h == p2) {
            EXPECT_TRUE(DestroyWindow(c2a));
        }
        return std::nullopt;
    });
    Clear();
    DestroyWindow(p2);
    EXPECT_SEQUENCE(Named("destroy in destroy",
                          {
                              {p2, WM_DESTROY, 0, 0},
                              {p2, WM_PARENTNOTIFY, 0x00010002, L(c2a)},
                              {c2a, WM_DESTROY, 0, 0},
                              {g, WM_DESTROY, 0, 0},
                              {g, WM_NCDESTROY, 0, 0},
                              {c2a, WM_NCDESTROY, 0, 0},
                              {c2b, WM_DESTROY, 0, 0},
                              {c2b, WM_NCDESTROY, 0, 0},
                              {p2, WM_NCDESTROY, 0, 0},
                          }),
                    MessageLog::Get().Only({WM_DESTROY, WM_NCDESTROY, WM_PARENTNOTIFY}));
}

TEST_F(DestroyTest, ProcedureDestroysItsOwnWindowWhileHandlingAMessage) {
    HWND top = TopLevel("top", WS_VISIBLE);
    int ncdestroys = 0;
    Hook([&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_NCDESTROY) ++ncdestroys;
        if (m != WM_USER + 1) return std::nullopt;
        EXPECT_TRUE(DestroyWindow(h));
        // The frame goes on with a handle that is no longer a window.
        EXPECT_FALSE(IsWindow(h));
        SetLastError(0xDEAD);
        EXPECT_EQ(GetWindowLongPtrA(h, 0), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
        EXPECT_EQ(SendMessageA(h, WM_USER + 2, 0, 0), 0);
        return 77;
    });
    EXPECT_EQ(SendMessageA(top, WM_USER + 1, 0, 0), 77);
    EXPECT_EQ(ncdestroys, 1);
    EXPECT_FALSE(IsWindow(top));

    // The same through the message loop.
    HWND other = TopLevel("other");
    PostMessageA(other, WM_USER + 1, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessageA(&msg), 77);
    EXPECT_FALSE(IsWindow(other));
    EXPECT_EQ(ncdestroys, 2);
}

// Recursion 40 deep into one window, which the innermost frame destroys;
// every outer frame returns normally and the window is freed once.
TEST_F(DestroyTest, RecursiveSendsToItselfThenDestroyInTheDeepestFrame) {
    HWND top = TopLevel("top");
    HWND child = Child(top, "child", 1, 0, 0, 20, 20);
    int ncdestroys = 0;
    Hook([&](HWND h, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_NCDESTROY) ++ncdestroys;
        if (m != WM_USER + 3) return std::nullopt;
        if (w == 0) {
            DestroyWindow(top);
            return 0;
        }
        LRESULT inner = SendMessageA(h, WM_USER + 3, w - 1, 0);
        return IsWindow(h) ? -1000 : inner + 1;
    });
    EXPECT_EQ(SendMessageA(child, WM_USER + 3, 40, 0), 40);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(top));
    EXPECT_EQ(ncdestroys, 2);
}

TEST_F(DestroyTest, ChildDestroysItsParentFromInsideAMessage) {
    MakeTree();
    Hook([&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m != WM_USER + 4) return std::nullopt;
        DestroyWindow(p2);
        SetLastError(0xDEAD);
        EXPECT_EQ(GetParent(h), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
        return 4;
    });
    EXPECT_EQ(SendMessageA(g, WM_USER + 4, 0, 0), 4);
    for (HWND h : {p2, c2a, g, c2b}) EXPECT_FALSE(IsWindow(h));
}

TEST_F(DestroyTest, DestroyInsideWmCreateFailsTheCreation) {
    HWND top = TopLevel("top");
    Hook([](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_CREATE) DestroyWindow(h);
        return std::nullopt;
    });
    Clear();
    SetLastError(0xDEAD);
    EXPECT_EQ(Child(top, "child", 1, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));  // Wine's answer
    EXPECT_MESSAGES(Named("destroy in create", {
                                                   {nullptr, WM_NCCREATE, 0, 0, kAnyL},
                                                   {nullptr, WM_NCCALCSIZE, 0, 0, kAnyL},
                                                   {nullptr, WM_CREATE, 0, 0, kAnyL},
                                                   {top, WM_PARENTNOTIFY, 0x00010002, 0, kAnyL},
                                                   {nullptr, WM_DESTROY, 0, 0},
                                                   {nullptr, WM_NCDESTROY, 0, 0},
                                               }));
    EXPECT_EQ(GetWindow(top, GW_CHILD), nullptr);
}

TEST_F(DestroyTest, WmCloseThroughDefWindowProcDestroys) {
    HWND top = TopLevel("top");
    EXPECT_EQ(SendMessageA(top, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(top));
}

}  // namespace
}  // namespace usertest
