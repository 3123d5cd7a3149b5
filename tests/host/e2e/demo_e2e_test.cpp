// The demo page run headless by the built qpmhost: what the PNG shows,
// how frames move, printing, and the ways a run can fail.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "host/e2e/gif_frames.h"
#include "host/e2e/png_image.h"
#include "host/e2e/qpmhost_process.h"
#include "page/colour.h"
#include "page/page.h"

namespace {

const std::string kDemo = std::string(QPM_EXAMPLES_DIR) + "/demo.html";

// What the demo page asks of each ticker, read from the page itself.
struct TickerLook {
    uint32_t text = 0, background = 0;
    bool border = false;
};

std::vector<TickerLook> DemoTickers() {
    Page page;
    std::string error;
    EXPECT_TRUE(LoadPageFile(kDemo, &page, &error)) << error;
    std::vector<TickerLook> looks;
    for (const PageBlock& block : page.blocks) {
        if (block.kind != BlockKind::kComponent) continue;
        TickerLook look;
        COLORREF c = 0;
        if (const std::string* v = block.element.Find("textcolor"); v && ParseColour(*v, &c))
            look.text = RgbOf(c);
        if (const std::string* v = block.element.Find("bgcolor"); v && ParseColour(*v, &c))
            look.background = RgbOf(c);
        look.border = block.element.Find("showborder") != nullptr;
        looks.push_back(look);
    }
    return looks;
}

struct Snapshot {
    ProcessResult run;
    PngImage image;
    std::vector<PlacedComponent> placed;
};

Snapshot RunDemo(const std::string& when, std::vector<std::string> extra = {}) {
    Snapshot s;
    const std::string png = MakeScratchDirectory() + "/demo.png";
    std::vector<std::string> args = {kDemo, "--png", png, "--after", when, "--verbose"};
    args.insert(args.end(), extra.begin(), extra.end());
    s.run = RunQpmhost(args);
    EXPECT_EQ(s.run.exitCode, 0) << s.run.err;
    EXPECT_TRUE(ReadPng(png, &s.image)) << png;
    s.placed = PlacedComponents(s.run.err);
    return s;
}

TEST(DemoPage, EveryTickerShowsItsTextInItsColours) {
    Snapshot s = RunDemo("3000");
    std::vector<TickerLook> looks = DemoTickers();
    ASSERT_EQ(looks.size(), 4u);
    ASSERT_EQ(s.placed.size(), 4u) << s.run.err;
    for (size_t i = 0; i < looks.size(); ++i) {
        const PlacedComponent& p = s.placed[i];
        ASSERT_LE(p.x + p.width, s.image.width);
        ASSERT_LE(p.y + p.height, s.image.height);
        EXPECT_GT(s.image.CountNear(p.x, p.y, p.width, p.height, looks[i].text), 30)
            << "no text in ticker " << i + 1;
        EXPECT_GT(s.image.Count(p.x, p.y, p.width, p.height, looks[i].background),
                  p.width * p.height / 3)
            << "ticker " << i + 1;
        if (looks[i].border) {
            // The sunken bevel: dark grey along the top and the left.
            EXPECT_EQ(s.image.Count(p.x, p.y, p.width - 1, 1, 0x808080), p.width - 1)
                << "ticker " << i + 1;
            EXPECT_EQ(s.image.Count(p.x, p.y, 1, p.height - 1, 0x808080), p.height - 1)
                << "ticker " << i + 1;
        } else {
            EXPECT_EQ(s.image.Count(p.x, p.y, p.width, p.height, 0x808080), 0)
                << "ticker " << i + 1;
        }
    }
    // The page around them, and the heading and paragraph above the first.
    EXPECT_EQ(s.image.At(2, 2), 0xF2F0E6u);
    EXPECT_GT(s.image.CountNear(0, 0, s.image.width, s.placed[0].y, 0x1A1A1A), 200);
}

// One tick (150 ms) later every ticker's text has moved 8 pixels left.
TEST(DemoPage, FramesOneTickApartAreShiftedByTheScroll) {
    Snapshot early = RunDemo("3000"), late = RunDemo("3150");
    ASSERT_EQ(early.placed.size(), 4u);
    for (const PlacedComponent& p : early.placed) {
        const int inset = 4;  // inside any bevel
        int compared = 0, mismatched = 0, changed = 0;
        for (int y = p.y + inset; y < p.y + p.height - inset; ++y) {
            for (int x = p.x + inset; x < p.x + p.width - inset - 8; ++x) {
                ++compared;
                if (late.image.At(x, y) != early.image.At(x + 8, y)) ++mismatched;
                if (late.image.At(x, y) != early.image.At(x, y)) ++changed;
            }
        }
        EXPECT_EQ(mismatched, 0) << "ticker #" << p.number << " did not move by 8 pixels";
        EXPECT_GT(changed, 20) << "ticker #" << p.number << " did not move at all";
        EXPECT_GT(compared, 1000);
    }
}

TEST(DemoPage, AnimationsHoldTheFramesInOrder) {
    const std::string dir = MakeScratchDirectory();
    ProcessResult apng =
        RunQpmhost({kDemo, "--apng", dir + "/a.png", "--after", "3000", "--frames", "3"});
    ASSERT_EQ(apng.exitCode, 0) << apng.err;
    // Viewers without APNG, libpng included, show the first frame: the page at 3000 ms.
    PngImage first;
    ASSERT_TRUE(ReadPng(dir + "/a.png", &first));
    Snapshot at3000 = RunDemo("3000");
    EXPECT_EQ(first.width, at3000.image.width);
    EXPECT_TRUE(first.pixels == at3000.image.pixels);

    ProcessResult gif =
        RunQpmhost({kDemo, "--gif", dir + "/a.gif", "--frames", "3", "--frame-ms", "100"});
    ASSERT_EQ(gif.exitCode, 0) << gif.err;
    GifMovie movie;
    std::string error;
    ASSERT_TRUE(ReadGif(dir + "/a.gif", &movie, &error)) << error;
    EXPECT_EQ(movie.width, first.width);
    EXPECT_EQ(movie.height, first.height);
    EXPECT_TRUE(movie.loops);
    // Three frames, each shown for 100 ms.
    ASSERT_EQ(movie.frames.size(), 3u);
    for (const GifFrame& frame : movie.frames) EXPECT_EQ(frame.delayHundredths, 10);
}

TEST(DemoPage, PrintingPutsEveryComponentInItsPlace) {
    const std::string dir = MakeScratchDirectory();
    ProcessResult run =
        RunQpmhost({kDemo, "--print", dir + "/print.png", "--after", "3000", "--verbose"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    PngImage printed;
    ASSERT_TRUE(ReadPng(dir + "/print.png", &printed));
    std::vector<PlacedComponent> placed = PlacedComponents(run.err);
    std::vector<TickerLook> looks = DemoTickers();
    ASSERT_EQ(placed.size(), looks.size());
    // Paper is white: neither the page's nor the tickers' backgrounds are printed.
    EXPECT_EQ(printed.At(2, 2), 0xFFFFFFu);
    for (size_t i = 0; i < placed.size(); ++i) {
        const PlacedComponent& p = placed[i];
        EXPECT_GT(printed.CountNear(p.x, p.y, p.width, p.height, looks[i].text), 30)
            << "ticker " << i + 1;
        if (looks[i].background != 0xFFFFFF) {
            EXPECT_EQ(printed.Count(p.x, p.y, p.width, p.height, looks[i].background), 0)
                << "ticker " << i + 1;
        }
        // Nothing of a component lands outside its place.
        EXPECT_EQ(printed.CountNear(p.x + p.width, p.y, printed.width - p.x - p.width, p.height,
                                    looks[i].text),
                  0);
    }
    EXPECT_GT(printed.CountNear(0, 0, printed.width, placed[0].y, 0x1A1A1A), 200);
}

TEST(Failures, ExitCodesNameTheCause) {
    const std::string dir = MakeScratchDirectory();
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string says;
    } cases[] = {
        {{"--bogus"}, 1, "unknown option --bogus"},
        {{dir + "/missing.html", "--null"},
         2,
         "cannot read page " + dir + "/missing.html: No such file"},
        {{"--component", dir + "/none.so", "--null"},
         3,
         "cannot load component library " + dir + "/none.so"},
        {{"--component", kDemo, "--null"}, 3, "cannot load component library " + kDemo},
        {{kDemo, "--png", dir + "/no/such/dir/x.png"},
         4,
         "cannot write " + dir + "/no/such/dir/x.png: No such file or directory"},
        // The child has no controlling terminal to show the page in.
        {{kDemo}, 4, "no terminal to show the page in"},
        {{"--component", "application/x-unheard-of", "--null"},
         3,
         "no component installed for type application/x-unheard-of"},
    };
    for (const Case& c : cases) {
        ProcessResult run = RunQpmhost(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.says << "\n" << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << "expected \"" << c.says << "\" in:\n"
                                                           << run.err;
    }
}

TEST(Failures, ATickerThatCannotStartLeavesTheOthersRunning) {
    const std::string dir = MakeScratchDirectory();
    // An empty TEXT makes the ticker refuse to start.
    WriteTextFile(
        dir + "/page.html",
        "<body><embed type='application/x-pellux-ticker' text=''>"
        "<embed type='application/x-pellux-ticker' text='still here' textcolor='#ff0000'></body>");
    ProcessResult run =
        RunQpmhost({dir + "/page.html", "--png", dir + "/p.png", "--after", "3000", "--verbose"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("component #1 (application/x-pellux-ticker): did not start"),
              std::string::npos)
        << run.err;
    PngImage image;
    ASSERT_TRUE(ReadPng(dir + "/p.png", &image));
    EXPECT_GT(image.CountNear(0, 0, image.width, image.height, 0xFF0000), 30);
}

}  // namespace
