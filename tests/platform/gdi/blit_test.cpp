// BitBlt SRCCOPY between memory DCs: offsets, clipping to both
// surfaces, overlapping moves within one bitmap.
#include <gtest/gtest.h>
#include <windows.h>

#include "gdi_test_util.h"

namespace {

using gdi_test::GridIs;
using gdi_test::MemoryDC;

// A 4x3 source: a black column at x=0 and a black row at y=2.
void PaintSource(MemoryDC& src) {
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RECT column{0, 0, 1, 3}, row{0, 2, 4, 3};
    FillRect(src.dc(), &column, black);
    FillRect(src.dc(), &row, black);
}

TEST(BitBlt, CopiesABlockToAnOffset) {
    MemoryDC src(4, 3), dst(7, 5);
    PaintSource(src);
    EXPECT_TRUE(BitBlt(dst.dc(), 2, 1, 4, 3, src.dc(), 0, 0, SRCCOPY));
    EXPECT_TRUE(GridIs(dst.dc(), {".......",  //
                                  "..#....",  //
                                  "..#....",  //
                                  "..####.",  //
                                  "......."}));
}

TEST(BitBlt, ClipsToTheSourceAndTheDestination) {
    MemoryDC src(4, 3), dst(5, 4);
    PaintSource(src);
    // Source origin (-1,-1): the first row and column come from outside
    // the source and are not copied; the right part falls off dst.
    EXPECT_TRUE(BitBlt(dst.dc(), 2, 0, 10, 10, src.dc(), -1, -1, SRCCOPY));
    EXPECT_TRUE(GridIs(dst.dc(), {".....",  //
                                  "...#.",  //
                                  "...#.",  //
                                  "...##"}));
}

TEST(BitBlt, FollowsTheOriginsOfBothDCs) {
    MemoryDC src(4, 3), dst(6, 4);
    PaintSource(src);
    SetWindowOrgEx(src.dc(), 1, 0, nullptr);  // logical (1,0) is the black column
    SetViewportOrgEx(dst.dc(), 1, 1, nullptr);
    BitBlt(dst.dc(), 0, 0, 2, 3, src.dc(), 1, 0, SRCCOPY);
    SetViewportOrgEx(dst.dc(), 0, 0, nullptr);
    EXPECT_TRUE(GridIs(dst.dc(), {"......",  //
                                  ".#....",  //
                                  ".#....",  //
                                  ".##..."}));
}

TEST(BitBlt, OverlappingMoveWithinOneBitmapReadsTheOldPixels) {
    MemoryDC m(6, 1);
    SetPixel(m.dc(), 0, 0, 0);
    SetPixel(m.dc(), 2, 0, 0);
    EXPECT_TRUE(BitBlt(m.dc(), 1, 0, 4, 1, m.dc(), 0, 0, SRCCOPY));
    EXPECT_TRUE(GridIs(m.dc(), {"##.#.."}));
}

TEST(BitBlt, RefusesOtherOperationsAndBadDCs) {
    MemoryDC src(2, 2), dst(2, 2);
    EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 2, 2, src.dc(), 0, 0, 0x00EE0086));
    EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 2, src.dc(), 0, 0, SRCCOPY));
}

}  // namespace
