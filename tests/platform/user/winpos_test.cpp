// MoveWindow and ShowWindow: their message sequences and the geometry
// they leave.
#include "user_fixture.h"

namespace usertest {
namespace {

class MoveTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        parent = TopLevel("parent");
        child = Child(parent, "child", 1, 10, 20, 100, 50);
        Clear();
    }
    HWND parent = nullptr, child = nullptr;
};

TEST_F(MoveTest, SizeChangeAtTheSamePosition) {
    EXPECT_TRUE(MoveWindow(child, 10, 20, 150, 60, TRUE));
    EXPECT_MESSAGES(Named("resize", {
                                        {child, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
                                        {child, WM_NCCALCSIZE, 1, 0, kAnyL},
                                        {child, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
                                        {child, WM_SIZE, SIZE_RESTORED, 0x003C0096},
                                    }));
    // The same rectangle again stops after WM_WINDOWPOSCHANGING.
    Clear();
    EXPECT_TRUE(MoveWindow(child, 10, 20, 150, 60, TRUE));
    EXPECT_MESSAGES(Named("same rect", {{child, WM_WINDOWPOSCHANGING, 0, 0, kAnyL}}));
}

TEST_F(MoveTest, PositionOnlyWidthOnlyAndBoth) {
    MoveWindow(child, 30, 40, 100, 50, TRUE);
    EXPECT_MESSAGES(Named("move", {
                                      {child, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
                                      {child, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
                                      {child, WM_MOVE, 0, 0x0028001E},
                                  }));
    Clear();
    MoveWindow(child, 30, 40, 80, 50, TRUE);
    EXPECT_MESSAGES(Named("resize", {
                                        {child, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
                                        {child, WM_NCCALCSIZE, 1, 0, kAnyL},
                                        {child, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
                                        {child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(80, 50)},
                                    }));
    Clear();
    MoveWindow(child, 1, 2, 3, 4, FALSE);
    EXPECT_SEQUENCE(Named("move and resize", {{child, WM_MOVE, 0, MAKELPARAM(1, 2)},
                                              {child, WM_SIZE, 0, MAKELPARAM(3, 4)}}),
                    MessageLog::Get().Only({WM_MOVE, WM_SIZE}));
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r, Rect(5, 25, 8, 29));  // parent's client origin is (4,23)
}

TEST_F(MoveTest, NegativeSizeIsClampedToZero) {
    MoveWindow(child, 10, 20, -5, -5, TRUE);
    EXPECT_SEQUENCE(Named("clamped", {{child, WM_SIZE, SIZE_RESTORED, 0}}),
                    MessageLog::Get().Only({WM_SIZE, WM_MOVE}));
    RECT r;
    GetClientRect(child, &r);
    EXPECT_EQ(r, Rect(0, 0, 0, 0));
}

TEST_F(MoveTest, SizeAndMoveComeFromDefWindowProc) {
    Hook([](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_WINDOWPOSCHANGED) return 0;
        return std::nullopt;
    });
    MoveWindow(child, 0, 0, 70, 70, TRUE);
    EXPECT_TRUE(MessageLog::Get().Only({WM_SIZE, WM_MOVE}).empty());
    RECT r;
    GetClientRect(child, &r);
    EXPECT_EQ(r, Rect(0, 0, 70, 70));  // the change happened all the same
}

TEST_F(MoveTest, ChangingMayEditTheWindowPos) {
    Hook([](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(l)->cx = 33;
        return std::nullopt;
    });
    MoveWindow(child, 10, 20, 120, 50, TRUE);
    RECT r;
    GetClientRect(child, &r);
    EXPECT_EQ(r, Rect(0, 0, 33, 50));
}

TEST_F(MoveTest, HiddenTopLevelAsksMinMaxInfo) {
    MoveWindow(parent, 0, 0, 320, 240, TRUE);
    EXPECT_MESSAGES(
        Named("min max info", {
                                  {parent, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
                                  {parent, WM_GETMINMAXINFO, 0, 0, kAnyL},
                                  {parent, WM_NCCALCSIZE, 1, 0, kAnyL},
                                  {parent, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
                                  {parent, WM_SIZE, SIZE_RESTORED, MAKELPARAM(312, 213)},
                              }));
}

// A procedure's minimum tracking size holds against MoveWindow.
TEST_F(MoveTest, MinMaxInfoLimitsTheSize) {
    Hook([](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_GETMINMAXINFO) {
            POINT* points = reinterpret_cast<POINT*>(l);  // ptMinTrackSize is the fourth
            points[3] = POINT{200, 150};
            return 0;
        }
        return std::nullopt;
    });
    MoveWindow(parent, 0, 0, 50, 50, TRUE);
    RECT r;
    GetWindowRect(parent, &r);
    EXPECT_EQ(r, Rect(0, 0, 200, 150));
}

TEST_F(MoveTest, MaximizeFirstTimeSendsSizeTwiceThenMinimizeAndRestore) {
    ShowWindow(parent, SW_SHOWMAXIMIZED);
    EXPECT_SEQUENCE(Named("maximize",
                          {
                              {parent, WM_MOVE, 0, MAKELPARAM(0, 19)},
                              {parent, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1024, 749)},
                              {parent, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1024, 749)},
                              {parent, WM_MOVE, 0, MAKELPARAM(0, 19)},
                          }),
                    MessageLog::Get().Only({WM_SIZE, WM_MOVE}));
    EXPECT_TRUE(IsWindowVisible(parent));
    EXPECT_TRUE(MessageLog::Get().Only({WM_SHOWWINDOW}).empty());

    // WM_MOVE's lParam is a LONG widened with its sign: on 64-bit
    // (-32000,-32000) is 0xFFFFFFFF83008300, not MAKELPARAM's 0x83008300.
    Clear();
    ShowWindow(parent, SW_MINIMIZE);
    EXPECT_SEQUENCE(Named("minimize",
                          {
                              {parent, WM_MOVE, 0, LPARAM(MAKELONG(-32000, -32000))},
                              {parent, WM_SIZE, SIZE_MINIMIZED, 0},
                          }),
                    MessageLog::Get().Only({WM_SIZE, WM_MOVE}));

    Clear();
    ShowWindow(parent, SW_RESTORE);  // it was maximized before
    EXPECT_SEQUENCE(Named("restore maximized",
                          {
                              {parent, WM_MOVE, 0, MAKELPARAM(0, 19)},
                              {parent, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1024, 749)},
                          }),
                    MessageLog::Get().Only({WM_SIZE, WM_MOVE}));

    Clear();
    ShowWindow(parent, SW_RESTORE);
    EXPECT_SEQUENCE(Named("restore",
                          {
                              {parent, WM_MOVE, 0, MAKELPARAM(4, 23)},
                              {parent, WM_SIZE, SIZE_RESTORED, MAKELPARAM(292, 173)},
                          }),
                    MessageLog::Get().Only({WM_SIZE, WM_MOVE}));
    RECT r;
    GetWindowRect(parent, &r);
    EXPECT_EQ(r, Rect(0, 0, 300, 200));
}

TEST_F(MoveTest, ShowAndHideAChild) {
    ShowWindow(parent, SW_SHOW);
    Clear();
    EXPECT_TRUE(ShowWindow(child, SW_HIDE));
    EXPECT_MESSAGES(Named("hide child",
                          {
                              {child, WM_SHOWWINDOW, 0, 0},
                              {child, WM_WINDOWPOSCHANGING, 0, 0, kAnyL},
                              {parent, WM_ERASEBKGND, 0, 0, kAnyW},  // where the child was, at once
                              {child, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
                          }));
    EXPECT_FALSE(IsWindowVisible(child));
    Clear();
    EXPECT_FALSE(ShowWindow(child, SW_HIDE));  // already hidden: nothing
    EXPECT_TRUE(MessageLog::Get().Rows().empty());

    // In a hidden parent only the style changes.
    ShowWindow(parent, SW_HIDE);
    Clear();
    EXPECT_FALSE(ShowWindow(child, SW_SHOWNA));
    EXPECT_MESSAGES(Named("show in hidden parent", {{child, WM_SHOWWINDOW, 1, 0}}));
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(IsWindowVisible(child));
    ShowWindow(parent, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(child));
}

}  // namespace
}  // namespace usertest
