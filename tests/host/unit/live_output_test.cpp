// The live outputs' parts that need no terminal or display: how running
// transfers are described, which graphics chafa finds in an environment,
// and which cells of symbols are drawn again.
#include <gtest/gtest.h>

#include <qpm_platform.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "output/terminal_cells.h"
#include "output/terminal_picture.h"
#include "output/transfer_status.h"

namespace {

TEST(TransferStatus, NameBytesTotalAndRate) {
    struct Case {
        TransferStatus transfer;
        const char* text;
    } cases[] = {
        {{"http://127.0.0.1:8080/news/headlines.txt?x=1#top", 0, -1, 0}, "headlines.txt 0 B"},
        {{"file:///home/me/page/feed.txt", 950, 950, 0.1}, "feed.txt 950 B of 950 B"},
        {{"http://example.org/", 3250, 10000, 2.5}, "example.org 3.25 kB of 10.0 kB, 1.30 kB/s"},
        {{"https://example.org/a/b/", 12'345'678, -1, 4.0}, "b 12.3 MB, 3.09 MB/s"},
        {{"http://h/big", 999'600, 5'000'000'000, 1.0}, "big 1.00 MB of 5.00 GB, 1.00 MB/s"},
    };
    for (const Case& c : cases) EXPECT_EQ(DescribeTransfer(c.transfer), c.text);
    EXPECT_EQ(DescribeTransfers({cases[0].transfer, cases[1].transfer}),
              "headlines.txt 0 B; feed.txt 950 B of 950 B");
    EXPECT_EQ(DescribeTransfers({}), "");
}

TEST(TerminalPicture, ChafaTellsTheGraphicsFromTheEnvironment) {
    struct Case {
        std::vector<const char*> environment;
        TerminalGraphics graphics;
    } cases[] = {
        {{"TERM=xterm-256color"}, TerminalGraphics::kSymbols},
        {{"TERM=xterm-kitty"}, TerminalGraphics::kKitty},
        {{"TERM=foot"}, TerminalGraphics::kSixel},
        {{"TERM=xterm-256color", "TERM_PROGRAM=iTerm.app"}, TerminalGraphics::kIterm},
        {{"TERM=linux"}, TerminalGraphics::kSymbols},
    };
    for (Case& c : cases) {
        c.environment.push_back(nullptr);
        TerminalPicture picture(TerminalGraphics::kAuto, c.environment.data());
        EXPECT_EQ(picture.graphics(), c.graphics) << c.environment[0];
    }
    const char* kitty[] = {"TERM=xterm-kitty", nullptr};
    EXPECT_EQ(TerminalPicture(TerminalGraphics::kSymbols, kitty).graphics(),
              TerminalGraphics::kSymbols);
}

// A picture of a page: white, with a dark block that can move.
class Page {
public:
    Page(int width, int height) : width_(width), height_(height) {
        bytes_.assign(size_t(width) * height * 4, 0xFF);
    }
    void Block(int x0, int y0, int w, int h, unsigned char blue = 0x20, unsigned char green = 0x20,
               unsigned char red = 0x20) {
        const unsigned char colour[3] = {blue, green, red};
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                for (int c = 0; c < 3; ++c) bytes_[(size_t(y) * width_ + x) * 4 + c] = colour[c];
    }
    QpmPixels pixels() {
        QpmPixels p{};
        p.width = width_;
        p.height = height_;
        p.stride = width_ * 4;
        p.bgrx = bytes_.data();
        return p;
    }

private:
    int width_, height_;
    std::vector<unsigned char> bytes_;
};

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Where the bytes move the cursor to: row and column of each ESC [ r ; c H.
std::vector<std::pair<int, int>> CursorMoves(const std::string& bytes) {
    std::vector<std::pair<int, int>> moves;
    for (size_t at = bytes.find("\x1b["); at != std::string::npos;
         at = bytes.find("\x1b[", at + 1)) {
        int row = 0, column = 0, length = 0;
        if (sscanf(bytes.c_str() + at, "\x1b[%d;%dH%n", &row, &column, &length) == 2 && length > 0)
            moves.emplace_back(row, column);
    }
    return moves;
}

TEST(TerminalPicture, SymbolsRedrawOnlyTheCellsThatChanged) {
    const char* environment[] = {"TERM=xterm-256color", nullptr};
    TerminalPicture picture(TerminalGraphics::kSymbols, environment);
    const TerminalArea area{40, 12, 0, 0};
    Page page(160, 96);
    page.Block(10, 10, 20, 20);
    bool cleared = true;
    const std::string first = picture.Render(page.pixels(), area, &cleared);
    EXPECT_FALSE(cleared);
    // The page's shape in default cells of 10 x 20: 40 columns, 12 rows.
    EXPECT_EQ(Count(first, "H"), 12u);
    EXPECT_NE(first.find("\x1b[12;1H"), std::string::npos);
    EXPECT_NE(first.find("38;2;"), std::string::npos);
    EXPECT_EQ(picture.Render(page.pixels(), area, &cleared), "");
    // A block further down and to the right changes some cells of some
    // rows (columns 26 to 30 of 40, give or take the cell its scaled edge
    // blurs into): only those are drawn.
    page.Block(100, 70, 20, 20);
    const std::string changed = picture.Render(page.pixels(), area, &cleared);
    const std::vector<std::pair<int, int>> moves = CursorMoves(changed);
    EXPECT_GT(moves.size(), 0u);
    for (const auto& [row, column] : moves) {
        EXPECT_GE(row, 8) << changed;
        EXPECT_GE(column, 25) << changed;
        EXPECT_LE(column, 31) << changed;
    }
    // A smaller screen: another size of picture, drawn after a clear.
    const std::string smaller = picture.Render(page.pixels(), TerminalArea{20, 6, 0, 0}, &cleared);
    EXPECT_TRUE(cleared);
    EXPECT_EQ(smaller.find("\x1b[2J"), smaller.find("\x1b[0m\x1b[2J") + 4);
    // Forgotten (the screen was cleared): everything again, without a clear of its own.
    picture.Forget();
    EXPECT_EQ(Count(picture.Render(page.pixels(), TerminalArea{20, 6, 0, 0}, &cleared), ";1H"), 6u);
    EXPECT_FALSE(cleared);
}

// What a terminal shows after `bytes`: after each cursor move, the cells
// drawn there, by row and column (each as its rendition's escape and glyph).
using Screen = std::map<std::pair<int, int>, std::pair<std::string, std::string>>;

bool Draw(const std::string& bytes, Screen* screen) {
    struct Move {
        size_t at, end;
        int row, column;
    };
    std::vector<Move> moves;
    for (size_t at = bytes.find("\x1b["); at != std::string::npos;
         at = bytes.find("\x1b[", at + 1)) {
        int row = 0, column = 0, length = 0;
        if (sscanf(bytes.c_str() + at, "\x1b[%d;%dH%n", &row, &column, &length) == 2 && length > 0)
            moves.push_back({at, at + size_t(length), row, column});
    }
    for (size_t i = 0; i < moves.size(); ++i) {
        const size_t end = i + 1 < moves.size() ? moves[i + 1].at : bytes.size();
        std::vector<TerminalCell> cells;
        if (!SplitCells(bytes.substr(moves[i].end, end - moves[i].end), &cells)) return false;
        for (size_t k = 0; k < cells.size(); ++k)
            (*screen)[{moves[i].row, moves[i].column + int(k)}] = {
                RenditionEscape(cells[k].rendition), cells[k].glyph};
    }
    return true;
}

TEST(TerminalPicture, ChangedCellsAddUpToTheWholePicture) {
    const char* environment[] = {"TERM=xterm-256color", nullptr};
    TerminalPicture drawn(TerminalGraphics::kSymbols, environment);
    const TerminalArea area{40, 12, 0, 0};
    Page page(160, 96);
    Screen screen;
    bool cleared = false;
    unsigned seed = 7;
    const auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    for (int frame = 0; frame < 40; ++frame) {
        const int x = int(next(150)), y = int(next(90));
        page.Block(x, y, 1 + int(next(160 - x)) % 30, 1 + int(next(96 - y)) % 20,
                   (unsigned char)next(256), (unsigned char)next(256), (unsigned char)next(256));
        ASSERT_TRUE(Draw(drawn.Render(page.pixels(), area, &cleared), &screen));
        // The same page drawn whole on a screen of its own.
        TerminalPicture whole(TerminalGraphics::kSymbols, environment);
        Screen expected;
        ASSERT_TRUE(Draw(whole.Render(page.pixels(), area, &cleared), &expected));
        ASSERT_EQ(screen, expected) << "frame " << frame;
    }
}

}  // namespace
