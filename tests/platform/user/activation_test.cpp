// Activation: showing a top-level window activates it, hiding or
// destroying the active one passes the activation on, SetFocus activates
// the top-level window of its target. The sequences are Wine's, less
// WM_QUERYNEWPALETTE, WM_IME_SETCONTEXT, WM_GETTEXT, WM_NCPAINT and the
// early WM_ERASEBKGND of a window being shown, which the layer does not
// send (no palettes, input methods or non-client painting).
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
    static std::vector<Row> Activation() {
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
    EXPECT_TRUE(msglog::SameSequence(
        {
            {a, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
            {a, WM_ACTIVATEAPP, TRUE, 0},  // every top-level window hears it
            {b, WM_ACTIVATEAPP, TRUE, 0},
            {a, WM_NCACTIVATE, TRUE, 0},
            {a, WM_ACTIVATE, WA_ACTIVE, 0},
            {a, WM_SETFOCUS, 0, 0},
            {a, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
            {b, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
            {a, WM_NCACTIVATE, FALSE, L(b)},
            {a, WM_ACTIVATE, WA_INACTIVE, L(b)},
            {b, WM_NCACTIVATE, TRUE, L(a)},
            {b, WM_ACTIVATE, WA_ACTIVE, L(a)},
            {a, WM_KILLFOCUS, WPARAM(b), 0},
            {b, WM_SETFOCUS, WPARAM(a), 0},
            {b, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
        },
        Activation()));
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(GetFocus(), b);

    // Created visible: the same, during creation.
    Clear();
    HWND c = Overlapped("C", WS_VISIBLE);
    EXPECT_TRUE(msglog::SameSequence(
        {
            {c, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
            {b, WM_NCACTIVATE, FALSE, L(c)},
            {b, WM_ACTIVATE, WA_INACTIVE, L(c)},
            {c, WM_NCACTIVATE, TRUE, L(b)},
            {c, WM_ACTIVATE, WA_ACTIVE, L(b)},
            {b, WM_KILLFOCUS, WPARAM(c), 0},
            {c, WM_SETFOCUS, WPARAM(b), 0},
            {c, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
        },
        Activation()));
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
    EXPECT_MESSAGES({
        {c, WM_SHOWWINDOW, FALSE, 0},
        {c, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
        {c, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
        {c, WM_NCACTIVATE, FALSE, L(b)},
        {c, WM_ACTIVATE, WA_INACTIVE, L(b)},
        {b, WM_NCACTIVATE, TRUE, L(c)},
        {b, WM_ACTIVATE, WA_ACTIVE, L(c)},
        {c, WM_KILLFOCUS, WPARAM(b), 0},
        {b, WM_SETFOCUS, WPARAM(c), 0},
    });
    EXPECT_EQ(GetActiveWindow(), b);

    ShowWindow(a, SW_HIDE);  // not active: nothing moves
    EXPECT_EQ(GetActiveWindow(), b);
    Clear();
    ShowWindow(b, SW_HIDE);
    EXPECT_MESSAGES({
        {b, WM_SHOWWINDOW, FALSE, 0},
        {b, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
        {b, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
        {b, WM_NCACTIVATE, FALSE, 0},
        {b, WM_ACTIVATE, WA_INACTIVE, 0},
        {b, WM_ACTIVATEAPP, FALSE, 0},
        {a, WM_ACTIVATEAPP, FALSE, 0},  // then the other top-level windows, oldest first
        {c, WM_ACTIVATEAPP, FALSE, 0},
        {b, WM_KILLFOCUS, 0, 0},
    });
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
    EXPECT_MESSAGES({
        {p, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
        {p, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
        {p, WM_NCACTIVATE, FALSE, L(o)},
        {p, WM_ACTIVATE, WA_INACTIVE, L(o)},
        {o, WM_NCACTIVATE, TRUE, L(p)},
        {o, WM_ACTIVATE, WA_ACTIVE, L(p)},
        {p, WM_KILLFOCUS, WPARAM(o), 0},
        {o, WM_SETFOCUS, WPARAM(p), 0},
        {p, WM_DESTROY, 0, 0},
        {p, WM_NCDESTROY, 0, 0},
    });
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
    EXPECT_MESSAGES({
        {o, WM_NCACTIVATE, FALSE, L(q)},
        {o, WM_ACTIVATE, WA_INACTIVE, L(q)},
        {q, WM_NCACTIVATE, TRUE, L(o)},
        {q, WM_ACTIVATE, WA_ACTIVE, L(o)},
        {o, WM_KILLFOCUS, WPARAM(q), 0},
        {q, WM_SETFOCUS, WPARAM(o), 0},
        {q, WM_KILLFOCUS, WPARAM(k), 0},
        {k, WM_SETFOCUS, WPARAM(q), 0},
    });
    EXPECT_EQ(GetActiveWindow(), q);
    EXPECT_EQ(GetFocus(), k);

    // Destroying the active window with the focus in its child: the
    // activation goes to O, which takes the focus from the child.
    Clear();
    DestroyWindow(q);
    EXPECT_TRUE(msglog::SameSequence(
        {
            {q, WM_NCACTIVATE, FALSE, L(o)},
            {q, WM_ACTIVATE, WA_INACTIVE, L(o)},
            {o, WM_NCACTIVATE, TRUE, L(q)},
            {o, WM_ACTIVATE, WA_ACTIVE, L(q)},
            {k, WM_KILLFOCUS, WPARAM(o), 0},
            {o, WM_SETFOCUS, WPARAM(k), 0},
        },
        MessageLog::Get().Only(
            {WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS})));
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
