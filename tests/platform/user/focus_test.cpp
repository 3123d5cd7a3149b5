// SetFocus/GetFocus and where the focus goes when its window is hidden.
#include "user_fixture.h"

namespace usertest {
namespace {

class FocusTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        top = TopLevel("top", WS_VISIBLE);
        a = Child(top, "a", 1, 0, 0, 10, 10);
        b = Child(top, "b", 2, 20, 0, 10, 10);
        Clear();
    }
    HWND top = nullptr, a = nullptr, b = nullptr;
};

TEST_F(FocusTest, KillFocusThenSetFocusEachNamingTheOther) {
    HWND focusDuringKill = nullptr;
    Hook([&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_KILLFOCUS) focusDuringKill = GetFocus();
        return std::nullopt;
    });
    // The top-level window got the focus when it was shown (activated).
    EXPECT_EQ(SetFocus(a), top);
    EXPECT_EQ(SetFocus(b), a);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(SetFocus(b), b);  // no change, no messages
    EXPECT_EQ(SetFocus(nullptr), b);
    EXPECT_MESSAGES(FocusMoves(top, a) + FocusMoves(a, b) + FocusMoves(b, nullptr));
    EXPECT_EQ(focusDuringKill, nullptr);  // the focus had already moved on

    SetLastError(0xDEAD);
    EXPECT_EQ(SetFocus(reinterpret_cast<HWND>(uintptr_t(0x999))), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(FocusTest, HidingGivesTheFocusToTheParent) {
    SetFocus(a);
    Clear();
    ShowWindow(a, SW_HIDE);
    EXPECT_EQ(GetFocus(), top);
    EXPECT_SEQUENCE(FocusMoves(a, top), MessageLog::Get().Only({WM_KILLFOCUS, WM_SETFOCUS}));
}

}  // namespace
}  // namespace usertest
