// Rows of symbols taken apart into cells, and the redrawing of the cells
// that changed.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "output/terminal_cells.h"

namespace {

TEST(TerminalCells, SplitKeepsEachCellsRendition) {
    struct Case {
        const char* printed;
        std::vector<std::pair<std::string, std::string>> cells;  // rendition's escape, glyph
    } cases[] = {
        {"\x1b[38;2;1;2;3;48;2;4;5;6mAB\x1b[0m",
         {{"\x1b[0;38;2;1;2;3;48;2;4;5;6m", "A"}, {"\x1b[0;38;2;1;2;3;48;2;4;5;6m", "B"}}},
        {"\x1b[7m\x1b[38;5;9mX\x1b[27mY", {{"\x1b[0;7;38;5;9m", "X"}, {"\x1b[0;38;5;9m", "Y"}}},
        {"\x1b[1;31mA\x1b[22;39;44mB\x1b[mC",
         {{"\x1b[0;1;31m", "A"}, {"\x1b[0;44m", "B"}, {"\x1b[0m", "C"}}},
        {"\xe2\x96\x80 ", {{"\x1b[0m", "\xe2\x96\x80"}, {"\x1b[0m", " "}}},
        {"", {}},
    };
    for (const Case& c : cases) {
        std::vector<TerminalCell> cells;
        EXPECT_TRUE(SplitCells(c.printed, &cells)) << c.printed;
        std::vector<std::pair<std::string, std::string>> got;
        for (const TerminalCell& cell : cells)
            got.emplace_back(RenditionEscape(cell.rendition), cell.glyph);
        EXPECT_EQ(got, c.cells) << c.printed;
    }
}

TEST(TerminalCells, RenditionEscapeSetsOnlyWhatDiffers) {
    Rendition plain, red, redOnBlue, inverse;
    red.foreground = "31";
    redOnBlue.foreground = "31";
    redOnBlue.background = "48;2;0;0;255";
    inverse.attributes = 1u << 7;
    struct Case {
        const Rendition &from, &to;
        const char* escape;
    } cases[] = {
        {red, red, ""},
        {plain, red, "\x1b[31m"},
        {red, plain, "\x1b[39m"},
        {plain, redOnBlue, "\x1b[31;48;2;0;0;255m"},
        {redOnBlue, red, "\x1b[49m"},
        {inverse, red, "\x1b[0;31m"},
        {red, inverse, "\x1b[0;7m"},
    };
    for (const Case& c : cases) EXPECT_EQ(RenditionEscape(c.from, c.to), c.escape);
}

TEST(TerminalCells, SplitRefusesWhatItCannotRedrawInParts) {
    for (const char* printed : {"A\x1b[2KB", "\x1b]0;title\x07", "\x1b[38;2;1mA", "\x1b[53mA",
                                "A\xe2\x96", "A\nB", "\x1b[?25lA"}) {
        std::vector<TerminalCell> cells;
        EXPECT_FALSE(SplitCells(printed, &cells)) << printed;
    }
}

std::vector<TerminalCell> Row(const std::string& glyphs) {
    std::vector<TerminalCell> row;
    Rendition plain, inverse;
    inverse.attributes = 1u << 7;
    for (char g : glyphs) row.push_back({g == 'x' ? inverse : plain, std::string(1, g)});
    return row;
}

TEST(TerminalCells, RedrawOnlyTheChangedRuns) {
    struct Case {
        std::string before, after, bytes;
    } cases[] = {
        {"abcdefgh", "abcdefgh", ""},
        {"abcdefgh", "abcdZfgh", "\x1b[3;5H\x1b[0mZ\x1b[0m"},
        // A short gap is drawn over, a long one moved over.
        {"abcdefgh", "aZcdZfgh", "\x1b[3;2H\x1b[0mZcdZ\x1b[0m"},
        {"abcdefghijkl", "Zbcdefghijkx", "\x1b[3;1H\x1b[0mZ\x1b[3;12H\x1b[0;7mx\x1b[0m"},
        {"", "ax", "\x1b[3;1H\x1b[0ma\x1b[0;7mx\x1b[0m"},
        {"abc", "ab", "\x1b[3;1H\x1b[0mab\x1b[0m"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RedrawChangedCells(3, Row(c.before), Row(c.after)), c.bytes) << c.after;
}

}  // namespace
