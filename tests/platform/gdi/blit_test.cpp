// BitBlt between memory DCs: offsets, clipping to both surfaces,
// overlapping moves within one bitmap, and the raster operations.
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

// Four source and destination pixels through each operation (the
// results are Wine's).
TEST(BitBlt, RasterOperationsCombineSourceAndDestinationPerPixel) {
    const COLORREF source[4] = {0x000000, 0xFFFFFF, 0x0F0F0F, 0x123456};
    const COLORREF dest[4] = {0xFFFFFF, 0x000000, 0x00FF0F, 0x654321};
    struct {
        const char* name;
        DWORD rop;
        COLORREF result[4];
    } cases[] = {
        {"SRCCOPY", SRCCOPY, {0x000000, 0xFFFFFF, 0x0F0F0F, 0x123456}},
        {"SRCPAINT", SRCPAINT, {0xFFFFFF, 0xFFFFFF, 0x0FFF0F, 0x777777}},
        {"SRCAND", SRCAND, {0x000000, 0x000000, 0x000F0F, 0x000000}},
        {"SRCINVERT", SRCINVERT, {0xFFFFFF, 0xFFFFFF, 0x0FF000, 0x777777}},
        {"SRCERASE", SRCERASE, {0x000000, 0xFFFFFF, 0x0F0000, 0x123456}},
        {"NOTSRCCOPY", NOTSRCCOPY, {0xFFFFFF, 0x000000, 0xF0F0F0, 0xEDCBA9}},
        {"NOTSRCERASE", NOTSRCERASE, {0x000000, 0x000000, 0xF000F0, 0x888888}},
        {"DSTINVERT", DSTINVERT, {0x000000, 0xFFFFFF, 0xFF00F0, 0x9ABCDE}},
        {"BLACKNESS", BLACKNESS, {0x000000, 0x000000, 0x000000, 0x000000}},
        {"WHITENESS", WHITENESS, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
        {"MERGEPAINT", 0x00BB0226, {0xFFFFFF, 0x000000, 0xF0FFFF, 0xEDCBA9}},
        {"code byte only", 0xFFCC0020, {0x000000, 0xFFFFFF, 0x0F0F0F, 0x123456}},
    };
    MemoryDC src(4, 1), dst(4, 1);
    for (const auto& c : cases) {
        for (int i = 0; i < 4; ++i) {
            SetPixel(src.dc(), i, 0, source[i]);
            SetPixel(dst.dc(), i, 0, dest[i]);
        }
        EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 4, 1, src.dc(), 0, 0, c.rop)) << c.name;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(GetPixel(dst.dc(), i, 0), c.result[i]) << c.name << " pixel " << i;
    }
}

// An operation without the source needs no source DC and is not clipped
// to the source; one with it is.
TEST(BitBlt, OperationsWithoutASourceIgnoreIt) {
    MemoryDC src(4, 1, 0x0000FF), dst(4, 1, 0x00FF00);
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 2, 1, nullptr, 0, 0, BLACKNESS));
    EXPECT_TRUE(BitBlt(dst.dc(), 3, 0, 1, 1, nullptr, 0, 0, WHITENESS));
    EXPECT_TRUE(BitBlt(dst.dc(), 2, 0, 1, 1, nullptr, 0, 0, DSTINVERT));
    EXPECT_TRUE(GridIs(dst.dc(), {"##?."}, {{0x000000, '#'}, {0xFFFFFF, '.'}}));
    EXPECT_EQ(GetPixel(dst.dc(), 2, 0), 0xFF00FFu);

    dst.Fill(0x00FF00);
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 4, 1, src.dc(), 2, 0, DSTINVERT));
    EXPECT_TRUE(GridIs(dst.dc(), {"iiii"}, {{0xFF00FF, 'i'}}));
    dst.Fill(0x00FF00);
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 4, 1, src.dc(), 2, 0, SRCPAINT));
    EXPECT_TRUE(GridIs(dst.dc(), {"yygg"}, {{0x00FFFF, 'y'}, {0x00FF00, 'g'}}));
}

TEST(BitBlt, RefusesBadDCs) {
    MemoryDC src(2, 2), dst(2, 2);
    EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 2, 2, nullptr, 0, 0, SRCPAINT));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 2, src.dc(), 0, 0, SRCCOPY));
}

// The layer's BitBlt has no brush patterns: an operation that uses one
// is refused rather than guessed at.
TEST(BitBlt, RefusesOperationsWithThePattern) {
    QPM_DIFFERS_FROM_WIN32("Windows carries out the pattern operations (PATCOPY) too");
    MemoryDC src(2, 2), dst(2, 2);
    const DWORD patCopy = 0x00F00021;
    SetLastError(0xDEAD);
    EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 2, 2, src.dc(), 0, 0, patCopy));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
