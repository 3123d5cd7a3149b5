// The demo page in a window on an X server of the test's own (Xvfb): the
// window holds exactly the page's pixels at some moment of its run (the
// moments made headless), at 96 dots per inch and doubled at 192; it is
// titled after the page (and the transfers running); closing it or
// pressing q or Escape ends the run. Without a display the run ends at
// once and says why.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <map>

#include "host/e2e/http_server.h"
#include "host/e2e/page_moments.h"
#include "host/e2e/pty_process.h"
#include "host/e2e/qpmhost_process.h"
#include "host/e2e/xvfb_display.h"

namespace {

const std::string kDemo = std::string(QPM_EXAMPLES_DIR) + "/demo.html";
// The page's own background, in its top-left corner once the page is drawn.
constexpr uint32_t kPageBackground = 0xF2F0E6;
// Moments enough for the seconds a window takes to appear, even under the sanitizers.
constexpr int kMoments = 100;

TEST(Window, ShowsExactlyThePagesPixelsAtWholeScales) {
    if (!XvfbDisplay::Available()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
    PageMoments moments;
    std::string error;
    ASSERT_TRUE(moments.Make(kDemo, kMoments, &error)) << error;

    struct Case {
        int dpi, scale;
        bool closeWithQ;  // else as a window manager closes it
    } cases[] = {{96, 1, false}, {192, 2, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE("at " + std::to_string(c.dpi) + " dpi");
        XvfbDisplay display(c.dpi);
        ASSERT_TRUE(display.started()) << "Xvfb did not start";
        PtyProcess run({kDemo, "--window"}, {{"DISPLAY", display.name()}}, 80, 24, 0, 0);
        ASSERT_TRUE(run.started());
        XvfbDisplay::Window window;
        ASSERT_TRUE(display.WaitForWindow(&window)) << run.errors();
        EXPECT_EQ(window.width, moments.width() * c.scale);
        EXPECT_EQ(window.height, moments.height() * c.scale);
        EXPECT_EQ(window.title, "QPM ticker demo");
        // The window may appear before its first picture.
        EXPECT_TRUE(display.WaitUntil(&window, [](const XvfbDisplay::Window& w) {
            return !w.pixels.empty() && w.pixels[0] == kPageBackground;
        }));
        PageMoments::Difference d = moments.Compare(window.pixels, window.width, c.scale, 0);
        EXPECT_EQ(d.worst, 0) << d.beyond << " pixels differ";
        for (int moment : d.moments) EXPECT_GE(moment, 0);

        if (c.closeWithQ)
            EXPECT_TRUE(display.PressKey(window, XK_q));
        else
            EXPECT_TRUE(display.AskToClose(window));
        EXPECT_EQ(run.Wait(), 0) << run.errors();
    }
}

TEST(Window, TheTitleNamesATransferWhileItRuns) {
    if (!XvfbDisplay::Available()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
    TestHttpServer server;
    server.Serve("/slow.txt", {200, std::string(3000, 'x'), -1, 1000});
    ASSERT_TRUE(server.Start());
    const std::string dir = MakeScratchDirectory();
    WriteTextFile(dir + "/page.html",
                  "<title>Slow</title><embed type='application/x-pellux-ticker' src='" +
                      server.Url("/slow.txt") + "'>");
    XvfbDisplay display;
    ASSERT_TRUE(display.started()) << "Xvfb did not start";
    PtyProcess run({dir + "/page.html", "--window"}, {{"DISPLAY", display.name()}}, 80, 24, 0, 0);
    XvfbDisplay::Window window;
    ASSERT_TRUE(display.WaitForWindow(&window)) << run.errors();
    // The count, then (once a fifth of a second has passed) the rate.
    auto titleStarts = [&](const std::string& start) {
        return display.WaitUntil(
            &window, [&](const XvfbDisplay::Window& w) { return w.title.rfind(start, 0) == 0; });
    };
    EXPECT_TRUE(titleStarts("Slow - slow.txt 0 B of 3.00 kB")) << window.title;
    server.Release();
    EXPECT_TRUE(titleStarts("Slow - slow.txt 1.00 kB of 3.00 kB")) << window.title;
    server.Release();
    server.Release();
    // Done: the page's title alone.
    EXPECT_TRUE(display.WaitUntil(&window, [](const XvfbDisplay::Window& w) {
        return w.title == "Slow";
    })) << window.title;
    EXPECT_TRUE(display.PressKey(window, XK_Escape));
    EXPECT_EQ(run.Wait(), 0) << run.errors();
}

TEST(Window, WithoutADisplayTheRunSaysSoAndEnds) {
    struct Case {
        std::map<std::string, std::string> environment;  // empty values count as unset
        const char* says;
    } cases[] = {
        {{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}},
         "no display to open a window on ($WAYLAND_DISPLAY and $DISPLAY are not set)"},
        {{{"DISPLAY", ":no-such-display"}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}},
         "cannot open a window: "},
    };
    for (const Case& c : cases) {
        ProcessResult run = RunQpmhost({kDemo, "--window"}, c.environment);
        EXPECT_EQ(run.exitCode, 4) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("use --terminal, --png FILE or --null"), std::string::npos);
    }
}

}  // namespace
