// Activation: showing a top-level window activates it, hiding or
// destroying the active one passes the activation on, SetFocus activates
// the top-level window of its target.
#include "user_fixture.h"

namespace usertest {
namespace {

class ActivationTest : public UserTest {
protected:
    HWND Overlapped(const char* name, DWORD extra = 0, HWND owner = nullptr) {
        return Make(kClass, name, WS_OVERLAPPEDWINDOW | extra, 0, 0, 100, 100, owner);
    }
    HWND Popup(const char* name, DWORD extra = 0, HWND owner = nullptr) {
        return Make(kClass, name, WS_POPUP | extra, 0, 0, 50, 50, owner);
    }

    // The rows of activation, focus and position messages only.
    static Sequence Activation() {
        return MessageLog::Get().Only({WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS,
                                       WM_KILLFOCUS, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED});
    }
};

TEST_F(ActivationTest, ShowingATopLevelWindowActivatesIt) {
    HWND a = Overlapped("A");
    HWND b = Popup("B");
    Clear();
    ShowWindow(a, SW_SHOW);  // nothing was active: the application is activated
    ShowWindow(b, SW_SHOW);
    // Every top-level window hears WM_ACTIVATEAPP.
    EXPECT_SEQUENCE(Named("show A", {{a, WM_WINDOWPOSCHANGING, 0, 0, kAnyL}}) +
                        ActivateFirst(a, {b}) + FocusMoves(nullptr, a) +
                        Named("show A", {{a, WM_WINDOWPOSCHANGED, 0, 0, kAnyL}}) +
                        Named("show B", {{b, WM_WINDOWPOSCHANGING, 0, 0, kAnyL}}) +
                        Deactivate(a, b) + Activate(b, a) + FocusMoves(a, b) +
                        Named("show B", {{b, WM_WINDOWPOSCHANGED, 0, 0, kAnyL}}),
                    Activation());
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(GetFocus(), b);

    // Created visible: the same, during creation.
    Clear();
    HWND c = Overlapped("C", WS_VISIBLE);
    EXPECT_SEQUENCE(Named("create C", {{c, WM_WINDOWPOSCHANGING, 0, 0, kAnyL}}) + Deactivate(b, c) +
                        Activate(c, b) + FocusMoves(b, c) +
                        Named("create C", {{c, WM_WINDOWPOSCHANGED, 0, 0, kAnyL}}),
                    Activation());
    EXPECT_EQ(GetActiveWindow(), c);
}

TEST_F(ActivationTest, SomeShowsAndEveryChildLeaveTheActivationAlone) {
    HWND a = Overlapped("A", WS_VISIBLE);
    HWND quiet = Popup("quiet");
    HWND quieter = Popup("quieter");
    HWND child = Make(kClass, "child", WS_CHILD, 0, 0, 10, 10, a, 1);
    Clear();
    ShowWindow(quiet, SW_SHOWNA);
    ShowWindow(quieter, SW_SHOWNOACTIVATE);
    ShowWindow(child, SW_SHOW);
    EXPECT_TRUE(MessageLog::Get().Only({WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE}).empty());
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);
    EXPECT_TRUE(IsWindowVisible(quiet));
    EXPECT_TRUE(IsWindowVisible(quieter));
}

// The next shown top-level window in Z order takes over; with none left
// the application is deactivated and the focus goes.
TEST_F(ActivationTest, HidingTheActiveWindowActivatesTheNextShownOne) {
    HWND a = Overlapped("A", WS_VISIBLE);
    HWND b = Popup("B", WS_VISIBLE);
    HWND c = Overlapped("C", WS_VISIBLE);
    ASSERT_EQ(GetActiveWindow(), c);
    Clear();
    ShowWindow(c, SW_HIDE);
    EXPECT_MESSAGES(Named("hide C",
                          {
                              {c, WM_SHOWWINDOW, FALSE, 0},
                              {c, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
                              {c, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
                          }) +
                    Deactivate(c, b) + Activate(b, c) + FocusMoves(c, b));
    EXPECT_EQ(GetActiveWindow(), b);

    ShowWindow(a, SW_HIDE);  // not active: nothing moves
    EXPECT_EQ(GetActiveWindow(), b);
    Clear();
    ShowWindow(b, SW_HIDE);
    // WM_ACTIVATEAPP goes to B, then to the other top-level windows, oldest first.
    EXPECT_MESSAGES(Named("hide B",
                          {
                              {b, WM_SHOWWINDOW, FALSE, 0},
                              {b, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
                              {b, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
                          }) +
                    Deactivate(b, nullptr) + ActivateApp({b, a, c}, FALSE) +
                    FocusMoves(b, nullptr));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

// An owned window hands the activation to its owner, even when another
// window lies above the owner.
TEST_F(ActivationTest, DestroyingTheActiveWindowActivatesItsOwnerFirst) {
    HWND o = Overlapped("O", WS_VISIBLE);
    Overlapped("Q", WS_VISIBLE);
    HWND p = Popup("P", WS_VISIBLE, o);
    ASSERT_EQ(GetActiveWindow(), p);
    Clear();
    DestroyWindow(p);
    EXPECT_MESSAGES(Named("hide P",
                          {
                              {p, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
                              {p, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
                          }) +
                    Deactivate(p, o) + Activate(o, p) + FocusMoves(p, o) +
                    Named("destroy P", {{p, WM_DESTROY, 0, 0}, {p, WM_NCDESTROY, 0, 0}}));
    EXPECT_EQ(GetActiveWindow(), o);
}

// SetFocus on a window of another top-level window activates that first,
// which gives it the focus on the way; SetFocus returns it.
TEST_F(ActivationTest, SetFocusActivatesTheTopLevelWindowFirst) {
    HWND q = Overlapped("Q", WS_VISIBLE);
    HWND k = Make(kClass, "k", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, q, 1);
    HWND o = Overlapped("O", WS_VISIBLE);
    Clear();
    EXPECT_EQ(SetFocus(k), q);
    EXPECT_MESSAGES(Deactivate(o, q) + Activate(q, o) + FocusMoves(o, q) + FocusMoves(q, k));
    EXPECT_EQ(GetActiveWindow(), q);
    EXPECT_EQ(GetFocus(), k);

    // Destroying the active window with the focus in its child: the
    // activation goes to O, which takes the focus from the child.
    Clear();
    DestroyWindow(q);
    EXPECT_SEQUENCE(Deactivate(q, o) + Activate(o, q) + FocusMoves(k, o),
                    MessageLog::Get().Only(
                        {WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS}));
    EXPECT_EQ(GetFocus(), o);
}

// A window destroyed while it is being activated hands the activation
// back; nothing reaches the dead window.
TEST_F(ActivationTest, AWindowDestroyedWhileBeingActivated) {
    HWND a = Overlapped("A", WS_VISIBLE);
    HWND b = Popup("B");
    Hook([&](HWND h, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (h == b && m == WM_NCACTIVATE && w) DestroyWindow(b);
        return std::nullopt;
    });
    ShowWindow(b, SW_SHOW);
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);
}

}  // namespace
}  // namespace usertest
