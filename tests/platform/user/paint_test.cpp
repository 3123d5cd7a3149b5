// Update regions and BeginPaint/EndPaint bookkeeping. No pixels here:
// what is checked is which windows get WM_PAINT and WM_ERASEBKGND, with
// what rcPaint and fErase.
#include "user_fixture.h"

namespace usertest {
namespace {

class PaintTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        HoldTime(0);
        top = TopLevel("top", WS_VISIBLE);
        child = Child(top, "child", 1, 10, 10, 100, 50);
        QpmPumpMessages();
        Clear();
        // Windows paint through BeginPaint and note what it reports.
        Hook([this](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (m == WM_ERASEBKGND && eraseAnswer >= 0) return eraseAnswer;
            if (m != WM_PAINT) return std::nullopt;
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(h, &ps);
            EXPECT_TRUE(hdc);
            paints.push_back({h, ps.rcPaint, ps.fErase != FALSE});
            EndPaint(h, &ps);
            return 0;
        });
    }

    struct Paint {
        HWND hwnd;
        RECT rcPaint;
        bool fErase;
    };
    HWND top = nullptr, child = nullptr;
    std::vector<Paint> paints;
    int eraseAnswer = -1;  // -1: DefWindowProcA answers WM_ERASEBKGND
};

TEST_F(PaintTest, CreatedVisibleWindowsArePaintedParentFirst) {
    HWND again = TopLevel("again", WS_VISIBLE);
    HWND kid = Child(again, "kid", 1, 0, 0, 20, 20);
    Clear();
    EXPECT_EQ(QpmPumpMessages(), 2u);
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_EQ(paints[0].hwnd, again);
    EXPECT_EQ(paints[0].rcPaint, Rect(0, 0, 292, 173));
    EXPECT_EQ(paints[1].hwnd, kid);
    EXPECT_EQ(paints[1].rcPaint, Rect(0, 0, 20, 20));
    // BeginPaint asks for the background with the DC it returns. Windows
    // erased the top-level window already, when it was shown.
    EXPECT_SEQUENCE(Named("paint again",
                          {
                              {again, WM_PAINT, 0, 0},
                              {again, WM_ERASEBKGND, 0, 0, kAnyW | kOptional},
                          }) +
                        Named("paint kid",
                              {
                                  {kid, WM_PAINT, 0, 0},
                                  {kid, WM_NCPAINT, 0, 0, kAnyWL | kOptional},
                                  {kid, WM_ERASEBKGND, 0, 0, kAnyW},
                              }),
                    MessageLog::Get().Rows());
    msglog::Sequence erases = MessageLog::Get().Only({WM_ERASEBKGND});
    ASSERT_FALSE(erases.empty());
    EXPECT_NE(erases.back().wParam, 0u);
}

TEST_F(PaintTest, InvalidRectsAccumulateAndValidateRemoves) {
    RECT a = Rect(5, 5, 10, 10), b = Rect(30, 20, 40, 25);
    InvalidateRect(child, &a, FALSE);
    InvalidateRect(child, &b, FALSE);
    RECT part = Rect(30, 20, 40, 22);
    ValidateRect(child, &part);
    EXPECT_EQ(QpmPumpMessages(), 1u);
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(paints[0].rcPaint, Rect(5, 5, 40, 25));
    EXPECT_FALSE(paints[0].fErase);
    EXPECT_TRUE(MessageLog::Get().Only({WM_ERASEBKGND}).empty());  // nobody asked to erase

    // A rectangle outside the client area and a validated window: nothing.
    RECT outside = Rect(500, 500, 600, 600);
    InvalidateRect(child, &outside, TRUE);
    InvalidateRect(child, nullptr, TRUE);
    ValidateRect(child, nullptr);
    EXPECT_EQ(QpmPumpMessages(), 0u);
}

TEST_F(PaintTest, EraseFlagAndTheClassBrush) {
    InvalidateRect(child, nullptr, TRUE);
    QpmPumpMessages();
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_TRUE(paints[0].fErase);  // no class brush: DefWindowProcA erased nothing

    HWND brushed = Make(kBrushClass, "brushed", WS_CHILD | WS_VISIBLE, 0, 0, 30, 30, top, 2);
    QpmPumpMessages();
    paints.clear();
    InvalidateRect(brushed, nullptr, TRUE);
    QpmPumpMessages();
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_FALSE(paints[0].fErase);
    EXPECT_EQ(SendMessageA(brushed, WM_ERASEBKGND, 0, 0), 1);
    EXPECT_EQ(SendMessageA(child, WM_ERASEBKGND, 0, 0), 0);

    eraseAnswer = 1;  // a procedure that erases itself
    paints.clear();
    InvalidateRect(child, nullptr, TRUE);
    QpmPumpMessages();
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_FALSE(paints[0].fErase);
}

TEST_F(PaintTest, ParentInvalidationReachesChildrenUnlessClipChildren) {
    RECT r = Rect(0, 0, 30, 30);  // overlaps the child at (10,10)
    InvalidateRect(top, &r, TRUE);
    QpmPumpMessages();
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_EQ(paints[1].hwnd, child);
    EXPECT_EQ(paints[1].rcPaint, Rect(0, 0, 20, 20));

    SetWindowLongA(top, GWL_STYLE, GetWindowLongA(top, GWL_STYLE) | WS_CLIPCHILDREN);
    paints.clear();
    InvalidateRect(top, &r, TRUE);
    QpmPumpMessages();
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(paints[0].hwnd, top);
}

TEST_F(PaintTest, HiddenWindowsCollectNothingUntilShown) {
    ShowWindow(child, SW_HIDE);
    QpmPumpMessages();  // the parent repaints where the child was
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(paints[0].hwnd, top);
    EXPECT_EQ(paints[0].rcPaint, Rect(10, 10, 110, 60));
    paints.clear();
    InvalidateRect(child, nullptr, TRUE);
    EXPECT_EQ(QpmPumpMessages(), 0u);
    ShowWindow(child, SW_SHOW);
    QpmPumpMessages();
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(paints[0].hwnd, child);
    EXPECT_EQ(paints[0].rcPaint, Rect(0, 0, 100, 50));
}

// Hiding a child erases the parent where the child was, at once, before
// the child hears WM_WINDOWPOSCHANGED; BeginPaint then sends no second
// WM_ERASEBKGND, and fErase says whether that early erase was done.
TEST_F(PaintTest, HidingAChildErasesTheParentAtOnce) {
    for (int answer : {0, 1}) {
        eraseAnswer = answer;
        ShowWindow(child, SW_SHOW);
        QpmPumpMessages();
        Clear();
        paints.clear();
        ShowWindow(child, SW_HIDE);
        EXPECT_SEQUENCE(Named("hide child", {{top, WM_ERASEBKGND, 0, 0, kAnyW},
                                             {child, WM_WINDOWPOSCHANGED, 0, 0, kAnyL}}),
                        MessageLog::Get().Only({WM_ERASEBKGND, WM_WINDOWPOSCHANGED}))
            << "answer " << answer;
        Clear();
        QpmPumpMessages();
        ASSERT_EQ(paints.size(), 1u);
        EXPECT_EQ(paints[0].rcPaint, Rect(10, 10, 110, 60));
        EXPECT_EQ(paints[0].fErase, answer == 0) << "answer " << answer;
        EXPECT_TRUE(MessageLog::Get().Only({WM_ERASEBKGND}).empty());
    }
}

// The early erase draws only where the child was.
TEST_F(PaintTest, TheEarlyEraseIsClippedToTheUncoveredArea) {
    // White first: what nothing painted is not white on Windows.
    HDC dc = GetDC(top);
    RECT all = Rect(0, 0, 292, 173);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(top, dc);
    Hook([](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m != WM_ERASEBKGND) return std::nullopt;
        RECT all = Rect(-1000, -1000, 1000, 1000);
        FillRect(reinterpret_cast<HDC>(w), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return 1;
    });
    ShowWindow(child, SW_HIDE);
    QpmPixels pixels{};
    ASSERT_TRUE(QpmGetWindowPixels(top, &pixels));
    auto black = [&](int x, int y) { return pixels.bgrx[y * pixels.stride + x * 4] == 0; };
    EXPECT_TRUE(black(10, 10));
    EXPECT_TRUE(black(109, 59));
    EXPECT_FALSE(black(9, 10));
    EXPECT_FALSE(black(110, 59));
    EXPECT_FALSE(black(10, 60));
}

// Windows copies the pixels of a moved child, and keeps those of a child
// that a resize of its parent leaves in place; the layer has the child
// paint them again.
TEST_F(PaintTest, MovingAChildRepaintsWhatItUncovered) {
    MoveWindow(child, 50, 60, 100, 50, TRUE);
    Clear();
    QpmPumpMessages();
    EXPECT_MESSAGES(Named("uncovered", {{top, WM_PAINT, 0, 0}, {top, WM_ERASEBKGND, 0, 0, kAnyW}}) +
                    Named("moved child", {{child, WM_PAINT, 0, 0, kOptional},
                                          {child, WM_ERASEBKGND, 0, 0, kAnyW | kOptional}}));
    ASSERT_FALSE(paints.empty());
    EXPECT_EQ(paints[0].hwnd, top);
    EXPECT_EQ(paints[0].rcPaint, Rect(10, 10, 110, 60));  // where the child was
    paints.clear();
    MoveWindow(child, 0, 0, 10, 10, FALSE);  // no repaint asked
    EXPECT_EQ(QpmPumpMessages(), 0u);
}

TEST_F(PaintTest, ResizingTheTopLevelRepaintsIt) {
    MoveWindow(top, 0, 0, 400, 300, TRUE);
    Clear();
    QpmPumpMessages();
    // Windows erased it at once, inside MoveWindow.
    EXPECT_MESSAGES(
        Named("resized", {{top, WM_PAINT, 0, 0}, {top, WM_ERASEBKGND, 0, 0, kAnyW | kOptional}}) +
        Named("child kept", {{child, WM_PAINT, 0, 0, kOptional},
                             {child, WM_ERASEBKGND, 0, 0, kAnyW | kOptional}}));
    ASSERT_FALSE(paints.empty());
    EXPECT_EQ(paints[0].rcPaint, Rect(0, 0, 392, 273));
    EXPECT_TRUE(paints[0].fErase);
    paints.clear();
    MoveWindow(top, 20, 20, 400, 300, TRUE);  // moving a top-level keeps its pixels
    EXPECT_EQ(QpmPumpMessages(), 0u);
}

TEST_F(PaintTest, UpdateWindowPaintsAtOnceParentsFirst) {
    InvalidateRect(top, nullptr, FALSE);
    EXPECT_TRUE(UpdateWindow(top));
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_EQ(paints[0].hwnd, top);
    EXPECT_EQ(paints[1].hwnd, child);
    Clear();
    EXPECT_TRUE(UpdateWindow(top));  // nothing invalid: no WM_PAINT
    EXPECT_TRUE(MessageLog::Get().Rows().empty());
}

TEST_F(PaintTest, UpdateWindowOfANonWindowFails) {
    QPM_LAYER_CHOICE("Windows documents a failure as 0; Wine answers TRUE");
    SetLastError(0xDEAD);
    EXPECT_FALSE(UpdateWindow(reinterpret_cast<HWND>(uintptr_t(0x999))));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(PaintTest, BeginPaintOutsideWmPaintGetsAnEmptyRect) {
    PAINTSTRUCT ps;
    ASSERT_TRUE(BeginPaint(child, &ps));
    EXPECT_EQ(ps.rcPaint, Rect(0, 0, 0, 0));
    EXPECT_TRUE(EndPaint(child, &ps));
    HDC dc = GetDC(child);
    EXPECT_TRUE(dc);
    EXPECT_EQ(ReleaseDC(child, dc), 1);
    SetLastError(0xDEAD);
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(uintptr_t(0x999))), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

}  // namespace
}  // namespace usertest
