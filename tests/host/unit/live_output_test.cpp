// The live outputs' parts that need no terminal or display: how running
// transfers are described, which graphics chafa finds in an environment,
// and which rows of symbols are drawn again.
#include <gtest/gtest.h>

#include <qpm_platform.h>

#include <string>
#include <vector>

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
    void Block(int x0, int y0, int w, int h) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                for (int c = 0; c < 3; ++c) bytes_[(size_t(y) * width_ + x) * 4 + c] = 0x20;
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

TEST(TerminalPicture, SymbolsRedrawOnlyTheRowsThatChanged) {
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
    // A block further down changes some rows, not all.
    page.Block(100, 70, 20, 20);
    const std::string changed = picture.Render(page.pixels(), area, &cleared);
    EXPECT_GT(Count(changed, ";1H"), 0u);
    EXPECT_LT(Count(changed, ";1H"), 12u);
    EXPECT_EQ(changed.find("\x1b[1;1H"), std::string::npos);
    // A smaller screen: another size of picture, drawn after a clear.
    const std::string smaller = picture.Render(page.pixels(), TerminalArea{20, 6, 0, 0}, &cleared);
    EXPECT_TRUE(cleared);
    EXPECT_EQ(smaller.find("\x1b[2J"), smaller.find("\x1b[0m\x1b[2J") + 4);
    // Forgotten (the screen was cleared): everything again, without a clear of its own.
    picture.Forget();
    EXPECT_EQ(Count(picture.Render(page.pixels(), TerminalArea{20, 6, 0, 0}, &cleared), ";1H"), 6u);
    EXPECT_FALSE(cleared);
}

}  // namespace
