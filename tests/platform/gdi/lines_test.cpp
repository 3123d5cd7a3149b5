// MoveToEx/LineTo/Polyline: the exact pixels GDI sets for one-pixel
// lines (start included, end excluded), wide round-capped pens, the
// bevel and outline figures components draw.
#include <gtest/gtest.h>
#include <windows.h>

#include "gdi_test_util.h"

namespace {

using gdi_test::Describe;
using gdi_test::GridIs;
using gdi_test::MemoryDC;
using gdi_test::PixelsNot;

struct LineCase {
    POINT from, to;
    std::vector<POINT> expected;
};

std::vector<POINT> Drawn(const LineCase& c, int penWidth = 1) {
    MemoryDC m(12, 10);
    HPEN pen = CreatePen(PS_SOLID, penWidth, 0);
    HGDIOBJ old = SelectObject(m.dc(), pen);
    MoveToEx(m.dc(), c.from.x, c.from.y, nullptr);
    EXPECT_TRUE(LineTo(m.dc(), c.to.x, c.to.y));
    SelectObject(m.dc(), old);
    DeleteObject(pen);
    return PixelsNot(m.dc(), 12, 10, 0xFFFFFF);
}

TEST(LineTo, SetsTheStartButNotTheEndPoint) {
    const LineCase cases[] = {
        {{1, 1}, {6, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}},
        {{6, 1}, {1, 1}, {{2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}},
        {{1, 1}, {1, 6}, {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}}},
        {{1, 6}, {1, 1}, {{1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}}},
        {{1, 1}, {6, 6}, {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}},
        {{6, 6}, {1, 1}, {{2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}}},
        {{1, 6}, {6, 1}, {{1, 6}, {2, 5}, {3, 4}, {4, 3}, {5, 2}}},
        {{0, 0}, {8, 3}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}, {7, 3}}},
        {{8, 3}, {0, 0}, {{1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}, {7, 3}, {8, 3}}},
        {{0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {{4, 2}, {0, 0}, {{1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {{0, 0}, {2, 4}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        {{2, 4}, {0, 0}, {{0, 1}, {1, 2}, {1, 3}, {2, 4}}},
        {{0, 0}, {1, 0}, {{0, 0}}},
        {{3, 3}, {3, 3}, {}},
        {{-2, 2}, {3, 2}, {{0, 2}, {1, 2}, {2, 2}}},
    };
    for (const LineCase& c : cases) {
        EXPECT_EQ(Describe(Drawn(c)), Describe(c.expected))
            << "line (" << c.from.x << "," << c.from.y << ")->(" << c.to.x << "," << c.to.y << ")";
    }
}

TEST(LineTo, WidthZeroDrawsLikeWidthOne) {
    LineCase c{{0, 0}, {8, 3}, {}};
    EXPECT_EQ(Describe(Drawn(c, 0)), Describe(Drawn(c, 1)));
}

TEST(LineTo, AWidePenHasRoundCapsPastBothEnds) {
    MemoryDC m(10, 6);
    HPEN pen = CreatePen(PS_SOLID, 3, 0);
    SelectObject(m.dc(), pen);
    MoveToEx(m.dc(), 2, 3, nullptr);
    LineTo(m.dc(), 7, 3);
    SelectObject(m.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
    EXPECT_TRUE(GridIs(m.dc(), {"..........",  //
                                "..........",  //
                                "..######..",  //
                                ".########.",  //
                                "..######..",  //
                                ".........."}));
}

TEST(LineTo, ANullPenDrawsNothingButMoves) {
    MemoryDC m(6, 6);
    SelectObject(m.dc(), GetStockObject(NULL_PEN));
    MoveToEx(m.dc(), 0, 0, nullptr);
    EXPECT_TRUE(LineTo(m.dc(), 5, 5));
    EXPECT_TRUE(PixelsNot(m.dc(), 6, 6, 0xFFFFFF).empty());
    POINT at;
    MoveToEx(m.dc(), 0, 0, &at);
    EXPECT_EQ(at.x, 5);
    EXPECT_EQ(at.y, 5);
}

TEST(LineTo, HugeCoordinatesDrawTheVisiblePart) {
    MemoryDC m(5, 3);
    MoveToEx(m.dc(), -2000000000, 1, nullptr);
    LineTo(m.dc(), 2000000000, 1);
    EXPECT_TRUE(GridIs(m.dc(), {".....",  //
                                "#####",  //
                                "....."}));
}

TEST(MoveToEx, TracksTheCurrentPosition) {
    MemoryDC m(12, 8);
    POINT prev{-1, -1};
    MoveToEx(m.dc(), 3, 4, nullptr);
    EXPECT_TRUE(MoveToEx(m.dc(), 5, 6, &prev));
    EXPECT_EQ(prev.x, 3);
    EXPECT_EQ(prev.y, 4);
    LineTo(m.dc(), 9, 6);
    HPEN pen = CreatePen(PS_SOLID, 1, 0x0000FF);
    SelectObject(m.dc(), pen);  // does not move the position
    MoveToEx(m.dc(), 0, 0, &prev);
    EXPECT_EQ(prev.x, 9);
    EXPECT_EQ(prev.y, 6);
    SelectObject(m.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
    EXPECT_FALSE(MoveToEx(nullptr, 0, 0, nullptr));
    EXPECT_FALSE(LineTo(nullptr, 1, 1));
}

// Dark top/left, light bottom/right, two pixels deep, as a component
// draws a sunken frame.
TEST(Lines, TwoPixelBevel) {
    MemoryDC m(20, 12);
    HPEN dark = CreatePen(PS_SOLID, 1, 0x808080);
    HPEN light = CreatePen(PS_SOLID, 1, 0xC0C0C0);
    RECT r{0, 0, 20, 12};
    for (int i = 0; i < 2; ++i) {
        SelectObject(m.dc(), dark);
        MoveToEx(m.dc(), r.right - 1 - i, r.top + i, nullptr);
        LineTo(m.dc(), r.left + i, r.top + i);
        LineTo(m.dc(), r.left + i, r.bottom - 1 - i);
        SelectObject(m.dc(), light);
        LineTo(m.dc(), r.right - 1 - i, r.bottom - 1 - i);
        LineTo(m.dc(), r.right - 1 - i, r.top + i);
    }
    SelectObject(m.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(dark);
    DeleteObject(light);
    std::vector<std::string> expected = {"DDDDDDDDDDDDDDDDDDDD", "DDDDDDDDDDDDDDDDDDDL"};
    for (int y = 2; y <= 9; ++y) expected.push_back("DD................LL");
    expected.push_back("DLLLLLLLLLLLLLLLLLLL");
    expected.push_back("LLLLLLLLLLLLLLLLLLLL");
    EXPECT_TRUE(GridIs(m.dc(), expected, {{0x808080, 'D'}, {0xC0C0C0, 'L'}, {0xFFFFFF, '.'}}));
}

std::vector<std::string> OutlineGrid() {
    std::vector<std::string> rows = {"#####################."};
    for (int y = 1; y <= 11; ++y) rows.push_back("#...................#.");
    rows.push_back("#####################.");
    rows.push_back("......................");
    return rows;
}

// The closed path covers 21x13 pixels: one more each way than
// Rectangle(0,0,20,12).
TEST(Lines, ClosedOutlineCoversItsEndPoints) {
    MemoryDC m(22, 14);
    MoveToEx(m.dc(), 0, 0, nullptr);
    LineTo(m.dc(), 20, 0);
    LineTo(m.dc(), 20, 12);
    LineTo(m.dc(), 0, 12);
    LineTo(m.dc(), 0, 0);
    EXPECT_TRUE(GridIs(m.dc(), OutlineGrid()));
    EXPECT_EQ(PixelsNot(m.dc(), 22, 14, 0xFFFFFF).size(), 64u);
}

TEST(Polyline, SetsTheSamePixelsAsLineToWithoutMoving) {
    MemoryDC m(22, 14);
    MoveToEx(m.dc(), 7, 7, nullptr);
    const POINT path[] = {{0, 0}, {20, 0}, {20, 12}, {0, 12}, {0, 0}};
    EXPECT_TRUE(Polyline(m.dc(), path, 5));
    EXPECT_TRUE(GridIs(m.dc(), OutlineGrid()));
    POINT at;
    MoveToEx(m.dc(), 0, 0, &at);
    EXPECT_EQ(at.x, 7);
    EXPECT_EQ(at.y, 7);
    EXPECT_FALSE(Polyline(m.dc(), path, 1));
    EXPECT_FALSE(Polyline(m.dc(), nullptr, 5));
}

}  // namespace
