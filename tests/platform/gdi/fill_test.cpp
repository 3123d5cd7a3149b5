// FillRect, FrameRect and Rectangle, with the pixel grids GDI produces,
// including the window/viewport origins and the inverted rectangle.
#include <gtest/gtest.h>
#include <windows.h>

#include "gdi_test_util.h"

namespace {

using gdi_test::GridIs;
using gdi_test::MemoryDC;

HBRUSH Black() { return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)); }

TEST(FillRect, LeavesOutTheRightAndBottomEdges) {
    MemoryDC m(8, 5);
    RECT r{2, 1, 5, 4};
    EXPECT_EQ(FillRect(m.dc(), &r, Black()), 1);
    EXPECT_TRUE(GridIs(m.dc(), {"........",  //
                                "..###...",  //
                                "..###...",  //
                                "..###...",  //
                                "........"}));
}

TEST(FillRect, FollowsTheWindowOrigin) {
    MemoryDC m(8, 4);
    EXPECT_TRUE(SetWindowOrgEx(m.dc(), 2, 1, nullptr));
    RECT r{2, 1, 5, 3};
    FillRect(m.dc(), &r, Black());
    SetWindowOrgEx(m.dc(), 0, 0, nullptr);
    EXPECT_TRUE(GridIs(m.dc(), {"###.....",  //
                                "###.....",  //
                                "........",  //
                                "........"}));
}

TEST(FillRect, NegativeWindowOriginAndViewportOriginMoveRight) {
    MemoryDC m(6, 5);
    SetWindowOrgEx(m.dc(), -2, -1, nullptr);
    RECT r{0, 0, 3, 2};
    FillRect(m.dc(), &r, Black());
    SetWindowOrgEx(m.dc(), 0, 0, nullptr);
    EXPECT_TRUE(GridIs(m.dc(), {"......",  //
                                "..###.",  //
                                "..###.",  //
                                "......",  //
                                "......"}));

    MemoryDC v(6, 5);
    SetViewportOrgEx(v.dc(), 3, 2, nullptr);
    RECT s{0, 0, 2, 2};
    FillRect(v.dc(), &s, Black());
    EXPECT_EQ(GetPixel(v.dc(), 0, 0), 0u);  // GetPixel is logical too
    SetViewportOrgEx(v.dc(), 0, 0, nullptr);
    EXPECT_TRUE(GridIs(v.dc(), {"......",  //
                                "......",  //
                                "...##.",  //
                                "...##.",  //
                                "......"}));
}

// An inverted rectangle keeps its excluded edges where they were given:
// (5,4,2,1) fills x 3..5, y 2..4, not the pixels of (2,1,5,4).
TEST(FillRect, InvertedRectangleIsFilledFromTheOtherSide) {
    MemoryDC m(7, 6);
    RECT r{5, 4, 2, 1};
    EXPECT_EQ(FillRect(m.dc(), &r, Black()), 1);
    EXPECT_TRUE(GridIs(m.dc(), {".......",  //
                                ".......",  //
                                "...###.",  //
                                "...###.",  //
                                "...###.",  //
                                "......."}));
}

TEST(FillRect, RefusesBadArgumentsAndClipsToTheBitmap) {
    MemoryDC m(4, 3);
    RECT r{-5, -5, 100, 2};
    EXPECT_EQ(FillRect(m.dc(), nullptr, Black()), 0);
    EXPECT_EQ(FillRect(m.dc(), &r, nullptr), 0);
    EXPECT_EQ(FillRect(nullptr, &r, Black()), 0);
    EXPECT_EQ(FillRect(m.dc(), &r, Black()), 1);
    EXPECT_TRUE(GridIs(m.dc(), {"####",  //
                                "####",  //
                                "...."}));
}

TEST(FrameAndRectangle, OnePixelOutlinesAreIdentical) {
    const std::vector<std::string> expected = {"........",  //
                                               ".#####..",  //
                                               ".#...#..",  //
                                               ".#...#..",  //
                                               ".#####.."};
    MemoryDC frame(8, 5);
    RECT r{1, 1, 6, 5};
    EXPECT_EQ(FrameRect(frame.dc(), &r, Black()), 1);
    EXPECT_TRUE(GridIs(frame.dc(), expected));

    MemoryDC rect(8, 5);
    SelectObject(rect.dc(), GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(Rectangle(rect.dc(), 1, 1, 6, 5));
    EXPECT_TRUE(GridIs(rect.dc(), expected));
}

TEST(Rectangle, FillsInsideThePenWithTheBrush) {
    MemoryDC m(7, 5);
    HBRUSH grey = CreateSolidBrush(0x808080);
    HPEN black = CreatePen(PS_SOLID, 1, 0);
    SelectObject(m.dc(), grey);
    SelectObject(m.dc(), black);
    Rectangle(m.dc(), 0, 0, 6, 5);
    EXPECT_TRUE(GridIs(m.dc(),
                       {"######.",  //
                        "#DDDD#.",  //
                        "#DDDD#.",  //
                        "#DDDD#.",  //
                        "######."},
                       {{0, '#'}, {0xFFFFFF, '.'}, {0x808080, 'D'}}));
    SelectObject(m.dc(), GetStockObject(NULL_PEN));
    m.Fill(0xFFFFFF);
    Rectangle(m.dc(), 1, 1, 5, 4);  // no pen: one pixel smaller each way
    EXPECT_TRUE(GridIs(m.dc(),
                       {".......",  //
                        ".DDD...",  //
                        ".DDD...",  //
                        ".......",  //
                        "......."},
                       {{0, '#'}, {0xFFFFFF, '.'}, {0x808080, 'D'}}));
    SelectObject(m.dc(), GetStockObject(BLACK_PEN));
    SelectObject(m.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(grey);
    DeleteObject(black);
}

}  // namespace
