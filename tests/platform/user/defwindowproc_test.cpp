// DefWindowProcA's answers, and window text through it.
#include <cstring>

#include "user_fixture.h"

namespace usertest {
namespace {

using DefProcTest = UserTest;

TEST_F(DefProcTest, UnknownMessagesGiveZero) {
    HWND w = Make(kClass, "Probe", WS_POPUP, 0, 0, 10, 10);
    for (UINT m : {0x400u, 0x401u, 0x500u, 0x7FFFu, 0x8000u, 0xBFFFu, 0xC000u, 0xFFFFu,
                   UINT(WM_SETCURSOR), UINT(WM_PAINT)})
        EXPECT_EQ(DefWindowProcA(w, m, 1, 2), 0) << std::hex << m;
    EXPECT_EQ(DefWindowProcA(w, WM_GETTEXTLENGTH, 0, 0), 5);
}

TEST_F(DefProcTest, WindowTextGoesThroughMessages) {
    HWND w = Make(kClass, "Probe", WS_POPUP, 0, 0, 10, 10);
    Clear();
    EXPECT_TRUE(SetWindowTextA(w, "Hello"));
    char buf[16] = "xxxxxxxxxxxxxxx";
    EXPECT_EQ(GetWindowTextA(w, buf, 3), 2);  // the size counts the NUL
    EXPECT_STREQ(buf, "He");
    EXPECT_EQ(GetWindowTextA(w, buf, sizeof buf), 5);
    EXPECT_STREQ(buf, "Hello");
    EXPECT_EQ(GetWindowTextA(w, buf, 0), 0);
    EXPECT_MESSAGES(Named("text", {
                                      {w, WM_SETTEXT, 0, 0, kAnyL},
                                      {w, WM_GETTEXT, 3, 0, kAnyL},
                                      {w, WM_GETTEXT, 16, 0, kAnyL},
                                  }));

    // A procedure that answers WM_GETTEXT itself is believed.
    Hook([](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m != WM_GETTEXT) return std::nullopt;
        strcpy(reinterpret_cast<char*>(l), "own");
        return 3;
    });
    EXPECT_EQ(GetWindowTextA(w, buf, sizeof buf), 3);
    EXPECT_STREQ(buf, "own");
    EXPECT_TRUE(SetWindowTextA(w, nullptr));
    EXPECT_EQ(DefWindowProcA(w, WM_GETTEXTLENGTH, 0, 0), 0);
}

}  // namespace
}  // namespace usertest
