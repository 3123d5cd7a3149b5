// Pixels to half-block cells, and the escape sequences between pictures.
#include <gtest/gtest.h>

#include <regex>

#include "output/terminal_cells.h"

namespace {

// A BGRX picture whose pixel (x, y) has the colour given by `colour`.
struct Picture {
    int width, height;
    std::vector<unsigned char> bytes;
    Picture(int w, int h, const std::function<Rgb(int, int)>& colour)
        : width(w), height(h), bytes(size_t(w) * h * 4) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                Rgb c = colour(x, y);
                unsigned char* p = &bytes[(size_t(y) * w + x) * 4];
                p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = 0;
            }
    }
    QpmPixels pixels() const { return QpmPixels{width, height, width * 4, bytes.data()}; }
};

const char kBlock[] = "\xE2\x96\x80";

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(TerminalCells, OneCellPerColumnAndTwoRowsWhenThePageFits) {
    Picture picture(3, 5, [](int x, int y) { return Rgb{uint8_t(x), uint8_t(y), 7}; });
    CellGrid grid = SampleCells(picture.pixels(), 80, 24);
    ASSERT_EQ(grid.columns, 3);
    ASSERT_EQ(grid.rows, 3);
    EXPECT_EQ(grid.at(2, 1).top, (Rgb{2, 2, 7}));
    EXPECT_EQ(grid.at(2, 1).bottom, (Rgb{2, 3, 7}));
    // An odd pixel height leaves the last row's lower half black.
    EXPECT_EQ(grid.at(0, 2).top, (Rgb{0, 4, 7}));
    EXPECT_EQ(grid.at(0, 2).bottom, (Rgb{}));
}

TEST(TerminalCells, LargePagesAreScaledDownEvenly) {
    // 40x40 pixels, left half black, right half white, into 10 columns x 10 rows:
    // the scale is 4 both ways, so 10 columns and 5 rows.
    Picture picture(40, 40, [](int x, int) { return x < 20 ? Rgb{} : Rgb{255, 255, 255}; });
    CellGrid grid = SampleCells(picture.pixels(), 10, 10);
    EXPECT_EQ(grid.columns, 10);
    EXPECT_EQ(grid.rows, 5);
    EXPECT_EQ(grid.at(4, 0).top, (Rgb{}));
    EXPECT_EQ(grid.at(5, 4).bottom, (Rgb{255, 255, 255}));
    // A boundary inside a cell averages: 6 pixels over 4 columns of 3 black, 3 white.
    Picture stripes(6, 2, [](int x, int) { return x % 6 < 3 ? Rgb{} : Rgb{200, 100, 0}; });
    CellGrid one = SampleCells(stripes.pixels(), 1, 1);
    ASSERT_EQ(one.columns, 1);
    EXPECT_EQ(one.at(0, 0).top, (Rgb{100, 50, 0}));
    EXPECT_EQ(SampleCells(stripes.pixels(), 0, 5).cells.size(), 0u);
}

TEST(TerminalCells, FirstPictureWritesEveryCell) {
    Picture picture(2, 2, [](int x, int) { return x == 0 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}; });
    CellGrid grid = SampleCells(picture.pixels(), 80, 24);
    std::string out = RenderChanges(grid, nullptr);
    EXPECT_EQ(out, "\x1b[1;1H\x1b[38;2;255;0;0m\x1b[48;2;255;0;0m" + std::string(kBlock) +
                       "\x1b[38;2;0;0;255m\x1b[48;2;0;0;255m" + kBlock + "\x1b[0m");
}

TEST(TerminalCells, OnlyChangedCellsAreWritten) {
    auto frame = [](int shift) {
        return Picture(20, 4, [shift](int x, int) {
            return x == 10 - shift ? Rgb{0, 0, 0} : Rgb{250, 250, 250};
        });
    };
    Picture before = frame(0), after = frame(1);
    CellGrid a = SampleCells(before.pixels(), 80, 24), b = SampleCells(after.pixels(), 80, 24);
    std::string out = RenderChanges(b, &a);
    // Columns 9 and 10 changed, in both rows: four cells, two cursor moves.
    EXPECT_EQ(Count(out, kBlock), 4u);
    EXPECT_EQ(Count(out, "H"), 2u);
    EXPECT_NE(out.find("\x1b[1;10H"), std::string::npos);
    EXPECT_NE(out.find("\x1b[2;10H"), std::string::npos);
    // The same colours are not sent twice in a row.
    EXPECT_EQ(Count(out, "\x1b[38;2;250;250;250m"), 2u);
    EXPECT_EQ(RenderChanges(b, &b), "");
    // A picture of another size is written whole.
    CellGrid small = SampleCells(before.pixels(), 10, 24);
    EXPECT_EQ(Count(RenderChanges(b, &small), kBlock), size_t(b.columns * b.rows));
}

}  // namespace
