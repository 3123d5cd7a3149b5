// DCs on windows: a child draws into its top-level's surface at its
// offset and only inside its own pixels; WS_CLIPCHILDREN keeps a parent
// off its children; BeginPaint limits drawing to the update rectangle;
// a DC held past its window's destruction draws nothing.
#include <gtest/gtest.h>
#include <qpm_platform.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gdi_test_util.h"

namespace {

constexpr const char* kClass = "QpmGdiTestWindow";

// Paints the whole client black on WM_PAINT, so only the update
// rectangle shows it.
LRESULT CALLBACK PaintBlackProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(hwnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT all{-1000, -1000, 1000, 1000};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EndPaint(hwnd, &ps);
    return 0;
}

class WindowDCTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PaintBlackProc;
        wc.lpszClassName = kClass;
        RegisterClassA(&wc);  // already there when an earlier test made it
    }
    void TearDown() override {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            if (IsWindow(*it)) DestroyWindow(*it);
    }

    // A borderless top-level: its client area is the whole window.
    HWND TopLevel(int w, int h, DWORD style = 0) {
        return Keep(CreateWindowExA(0, kClass, "top", WS_POPUP | WS_VISIBLE | style, 0, 0, w, h,
                                    nullptr, nullptr, nullptr, nullptr));
    }
    HWND Child(HWND parent, int x, int y, int w, int h, DWORD style = 0) {
        return Keep(CreateWindowExA(0, kClass, "child", WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                                    parent, nullptr, nullptr, nullptr));
    }

    // Fills everything a window's DC can reach.
    static void FillAll(HWND hwnd, int stockBrush) {
        HDC dc = GetDC(hwnd);
        RECT all{-1000, -1000, 1000, 1000};
        EXPECT_EQ(FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(stockBrush))), 1);
        EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
    }

    // The top-level surface as string art ('#' black, 'D' grey, '.' white).
    static std::vector<std::string> Surface(HWND top) {
        QpmPixels pixels{};
        EXPECT_TRUE(QpmGetWindowPixels(top, &pixels));
        std::vector<std::string> rows;
        for (int y = 0; y < pixels.height; ++y) {
            std::string row;
            for (int x = 0; x < pixels.width; ++x) {
                const unsigned char* p = pixels.bgrx + y * pixels.stride + x * 4;
                row += p[0] == 0 ? '#' : p[0] == 0x80 ? 'D' : p[0] == 0xFF ? '.' : '?';
            }
            rows.push_back(row);
        }
        return rows;
    }

private:
    HWND Keep(HWND hwnd) {
        EXPECT_NE(hwnd, nullptr);
        made_.push_back(hwnd);
        return hwnd;
    }
    std::vector<HWND> made_;
};

std::string Side(const std::vector<std::string>& expected, const std::vector<std::string>& actual) {
    std::string out = "\n  expected / actual\n";
    for (size_t y = 0; y < std::max(expected.size(), actual.size()); ++y) {
        out += "  " + (y < expected.size() ? expected[y] : "") + "   " +
               (y < actual.size() ? actual[y] : "") + "\n";
    }
    return out;
}

#define EXPECT_SURFACE(top, ...)                     \
    do {                                             \
        std::vector<std::string> want = __VA_ARGS__; \
        std::vector<std::string> got = Surface(top); \
        EXPECT_EQ(got, want) << Side(want, got);     \
    } while (0)

TEST_F(WindowDCTest, AChildDrawsOnlyInsideItsRectangle) {
    QPM_DIFFERS_FROM_WIN32(
        "the pixels of a window nothing painted are not white on Windows (black under Wine)");
    HWND top = TopLevel(12, 7, WS_CLIPCHILDREN);
    HWND child = Child(top, 3, 2, 4, 3);
    FillAll(child, BLACK_BRUSH);
    EXPECT_SURFACE(top, {"............",  //
                         "............",  //
                         "...####.....",  //
                         "...####.....",  //
                         "...####.....",  //
                         "............",  //
                         "............"});
    HDC dc = GetDC(child);  // client coordinates: (0,0) is the child's corner
    EXPECT_EQ(GetPixel(dc, 0, 0), 0u);
    EXPECT_EQ(GetPixel(dc, 4, 0), CLR_INVALID);
    ReleaseDC(child, dc);
}

TEST_F(WindowDCTest, ClipChildrenKeepsTheParentOffItsChild) {
    QPM_DIFFERS_FROM_WIN32(
        "the pixels of a window nothing painted are not white on Windows (black under Wine)");
    HWND top = TopLevel(10, 5, WS_CLIPCHILDREN);
    Child(top, 2, 1, 3, 2);
    FillAll(top, GRAY_BRUSH);
    EXPECT_SURFACE(top, {"DDDDDDDDDD",  //
                         "DD...DDDDD",  //
                         "DD...DDDDD",  //
                         "DDDDDDDDDD",  //
                         "DDDDDDDDDD"});
    HWND plain = TopLevel(6, 3);  // without WS_CLIPCHILDREN the parent covers it
    Child(plain, 1, 1, 2, 1);
    FillAll(plain, GRAY_BRUSH);
    EXPECT_SURFACE(plain, {"DDDDDD", "DDDDDD", "DDDDDD"});
}

// A component inside an installer inside a host: each level clips the
// next, and a grandchild hanging past its parent is cut at the parent.
TEST_F(WindowDCTest, AGrandchildIsClippedByEveryAncestor) {
    QPM_DIFFERS_FROM_WIN32(
        "the pixels of a window nothing painted are not white on Windows (black under Wine)");
    HWND host = TopLevel(16, 9, WS_CLIPCHILDREN);
    HWND installer = Child(host, 2, 1, 10, 6, WS_CLIPCHILDREN);
    HWND component = Child(installer, 6, 3, 8, 8);
    FillAll(host, GRAY_BRUSH);
    FillAll(component, BLACK_BRUSH);
    EXPECT_SURFACE(host, {"DDDDDDDDDDDDDDDD",  //
                          "DD..........DDDD",  //
                          "DD..........DDDD",  //
                          "DD..........DDDD",  //
                          "DD......####DDDD",  //
                          "DD......####DDDD",  //
                          "DD......####DDDD",  //
                          "DDDDDDDDDDDDDDDD",  //
                          "DDDDDDDDDDDDDDDD"});
    FillAll(installer, GRAY_BRUSH);            // the installer stays off the component
    EXPECT_SURFACE(host, {"DDDDDDDDDDDDDDDD",  //
                          "DDDDDDDDDDDDDDDD",  //
                          "DDDDDDDDDDDDDDDD",  //
                          "DDDDDDDDDDDDDDDD",  //
                          "DDDDDDDD####DDDD",  //
                          "DDDDDDDD####DDDD",  //
                          "DDDDDDDD####DDDD",  //
                          "DDDDDDDDDDDDDDDD",  //
                          "DDDDDDDDDDDDDDDD"});
}

TEST_F(WindowDCTest, BeginPaintDrawsOnlyInTheUpdateRectangle) {
    QPM_DIFFERS_FROM_WIN32(
        "the pixels of a window nothing painted are not white on Windows (black under Wine)");
    HWND top = TopLevel(8, 5);
    ValidateRect(top, nullptr);
    RECT dirty{2, 1, 5, 3};
    InvalidateRect(top, &dirty, FALSE);
    UpdateWindow(top);                // PaintBlackProc fills "everything"
    EXPECT_SURFACE(top, {"........",  //
                         "..###...",  //
                         "..###...",  //
                         "........",  //
                         "........"});
}

// A DC held past its window's destruction is dead: every call on it
// fails without touching the last error, draws nothing, and ReleaseDC
// answers 0 (the window gave the DC up when it died).
TEST_F(WindowDCTest, ADCOutlivingItsWindowDrawsNothing) {
    HWND top = TopLevel(6, 4);
    HWND child = Child(top, 1, 1, 3, 2);
    FillAll(top, WHITE_BRUSH);  // unpainted pixels are not white everywhere
    HDC childDc = GetDC(child);
    HDC topDc = GetDC(top);
    DestroyWindow(child);
    RECT all{-100, -100, 100, 100};
    FillRect(childDc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetLastError(0xDEAD);
    EXPECT_FALSE(TextOutA(childDc, 0, 0, "gone", 4));
    EXPECT_FALSE(MoveToEx(childDc, 0, 0, nullptr));
    EXPECT_FALSE(LineTo(childDc, 2, 2));
    EXPECT_EQ(SetPixel(childDc, 0, 0, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(childDc, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetBkMode(childDc, TRANSPARENT), 0);
    EXPECT_EQ(GetLastError(), 0xDEADu);
    EXPECT_EQ(GetObjectType(childDc), DWORD(OBJ_DC));  // the handle lives until released
    EXPECT_SURFACE(top, {"......", "......", "......", "......"});

    DestroyWindow(top);  // its surface goes; the DC must not reach it
    FillRect(topDc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_FALSE(LineTo(topDc, 5, 5));
    EXPECT_FALSE(TextOutA(topDc, 0, 0, "gone", 4));
    EXPECT_EQ(ReleaseDC(nullptr, childDc), 0);
    EXPECT_EQ(ReleaseDC(nullptr, topDc), 0);
}

// Wine's FillRect answers 1 for any DC, even a handle that is no DC at
// all; the layer answers 0 when it cannot draw, as Windows documents a
// failure, the same as every other drawing call on a dead DC.
TEST_F(WindowDCTest, FillRectOnADeadDCFails) {
    QPM_DIFFERS_FROM_WIN32("Wine's FillRect answers 1 whatever the DC");
    HWND top = TopLevel(4, 4);
    HDC dc = GetDC(top);
    DestroyWindow(top);
    RECT all{0, 0, 4, 4};
    EXPECT_EQ(FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
    EXPECT_EQ(GetObjectType(dc), 0u);  // freed by the ReleaseDC all the same
}

TEST_F(WindowDCTest, HiddenWindowsDrawNothing) {
    QPM_DIFFERS_FROM_WIN32(
        "the pixels of a window nothing painted are not white on Windows (black under Wine)");
    HWND top = TopLevel(5, 3);
    HWND child = Child(top, 1, 1, 2, 1);
    ShowWindow(child, SW_HIDE);
    FillAll(child, BLACK_BRUSH);
    EXPECT_SURFACE(top, {".....", ".....", "....."});
}

TEST_F(WindowDCTest, WindowPixelsAndVersionFollowDrawing) {
    QPM_REQUIRES_HOST_EXTENSION("surface version count");
    HWND top = TopLevel(40, 20);
    QpmPixels pixels{};
    ASSERT_TRUE(QpmGetWindowPixels(top, &pixels));
    EXPECT_EQ(pixels.width, 40);
    EXPECT_EQ(pixels.height, 20);
    EXPECT_EQ(pixels.stride, 160);
    DWORD before = QpmGetWindowSurfaceVersion(top);
    HDC dc = GetDC(top);
    GetPixel(dc, 1, 1);
    EXPECT_EQ(QpmGetWindowSurfaceVersion(top), before);  // reading changes nothing
    SetPixel(dc, 1, 1, 0);
    DWORD afterPixel = QpmGetWindowSurfaceVersion(top);
    EXPECT_NE(afterPixel, before);
    TextOutA(dc, 0, 0, "x", 1);
    EXPECT_NE(QpmGetWindowSurfaceVersion(top), afterPixel);
    QpmPixels viaDc{};
    ASSERT_TRUE(QpmGetDCPixels(dc, &viaDc));
    EXPECT_EQ(viaDc.bgrx, pixels.bgrx);
    ReleaseDC(top, dc);
    EXPECT_FALSE(QpmGetWindowPixels(nullptr, &pixels));
    EXPECT_EQ(QpmGetWindowSurfaceVersion(reinterpret_cast<HWND>(0x777)), 0u);
}

// A filled band and a line of text in a window, written as a PNG for a
// person to look at (/tmp/qpm_gdi_demo.png).
TEST_F(WindowDCTest, WritesAWindowAsPng) {
    QPM_DIFFERS_FROM_WIN32(
        "the pixels of a window nothing painted are not white on Windows (black under Wine)");
    HWND top = TopLevel(240, 60);
    HWND child = Child(top, 10, 10, 220, 40);
    HDC dc = GetDC(child);
    RECT band{0, 0, 220, 40};
    HBRUSH navy = CreateSolidBrush(RGB(0x20, 0x30, 0x80));
    FillRect(dc, &band, navy);
    LOGFONTA log = gdi_test::Font("Arial", -16, FW_BOLD);
    HFONT font = CreateFontIndirectA(&log);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xFF, 0xE0, 0x40));
    RECT text = band;
    DrawTextA(dc, "Hello from the drawing half", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteObject(navy);
    ReleaseDC(child, dc);
    QpmPixels pixels{};
    ASSERT_TRUE(QpmGetWindowPixels(top, &pixels));
    EXPECT_TRUE(QpmWritePng(&pixels, "/tmp/qpm_gdi_demo.png"));
    // The band is inside the child's rectangle only.
    const unsigned char* corner = pixels.bgrx;
    const unsigned char* inside = pixels.bgrx + 12 * pixels.stride + 12 * 4;
    EXPECT_EQ(corner[0], 0xFF);
    EXPECT_EQ(inside[0], 0x80);
}

}  // namespace
