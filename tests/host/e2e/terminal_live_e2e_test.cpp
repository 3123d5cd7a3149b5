// qpmhost live in terminals of given kinds and sizes. On a pty of the
// test's own, with the graphics forced: the sixel image decodes (with
// libsixel's sixel2png) to the page at its own resolution within the
// palette's error, the kitty image carries the page's exact pixels, an
// iTerm2 image covers the cells the page needs, and a page larger than
// the screen is scaled down to fit; SIGTERM and SIGHUP end it as
// 128 + the signal. In tmux at 80 x 24: the symbols move
// and the terminal comes back whole, and the status line counts a slow
// transfer's bytes as they arrive.
#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <utility>

#include "host/e2e/http_server.h"
#include "host/e2e/page_moments.h"
#include "host/e2e/png_image.h"
#include "host/e2e/pty_process.h"
#include "host/e2e/qpmhost_process.h"
#include "host/e2e/tmux_session.h"

namespace {

const std::string kDemo = std::string(QPM_EXAMPLES_DIR) + "/demo.html";
constexpr int kMoments = 100;
// A pty of 100 x 40 cells of 10 x 20 pixels: the demo page fits it.
constexpr int kColumns = 100, kRows = 40, kCellWidth = 10, kCellHeight = 20;

// Runs the demo with `graphics` until its first image is complete, then quits with q.
std::string FirstImage(const std::string& graphics, const std::string& introducer,
                       const std::string& terminator, int columns = kColumns, int rows = kRows,
                       int cellWidth = kCellWidth, int cellHeight = kCellHeight) {
    PtyProcess run({kDemo, "--term-graphics", graphics}, {{"TERM", "xterm-256color"}}, columns,
                   rows, columns * cellWidth, rows * cellHeight);
    EXPECT_TRUE(run.started());
    auto complete = [&](const std::string& out) {
        const size_t start = out.find(introducer);
        return start != std::string::npos && out.find(terminator, start) != std::string::npos;
    };
    EXPECT_TRUE(run.ReadUntil(complete)) << run.errors();
    run.Type("q");
    EXPECT_EQ(run.Wait(), 0) << run.errors();
    const std::string& out = run.output();
    // The screen it entered is left again, the cursor shown.
    EXPECT_NE(out.rfind("\x1b[?25h\x1b[?1049l"), std::string::npos);
    const size_t start = out.find(introducer);
    if (start == std::string::npos) return "";
    const size_t end = out.find(terminator, start);
    return out.substr(start, end + terminator.size() - start);
}

std::string Base64Decode(const std::string& text) {
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        const char* at = strchr(alphabet, c);
        if (c == '\0' || at == nullptr) continue;
        bits = bits << 6 | unsigned(at - alphabet);
        if ((count += 6) >= 8) {
            count -= 8;
            out += char((bits >> count) & 0xFF);
        }
    }
    return out;
}

TEST(TerminalGraphics, SixelDecodesToThePageWithinThePalettesError) {
    if (system("command -v sixel2png >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "sixel2png is not installed (Debian package libsixel-bin)";
    PageMoments moments;
    std::string error;
    ASSERT_TRUE(moments.Make(kDemo, kMoments, &error)) << error;
    // Cells 9 pixels wide: rows of an odd number of pixels, which chafa
    // once drew sheared.
    const int cellWidth = 9;
    const std::string sixel =
        FirstImage("sixel", "\x1bP", "\x1b\\", kColumns, kRows, cellWidth, 18);
    ASSERT_FALSE(sixel.empty());
    const std::string dir = MakeScratchDirectory();
    WriteTextFile(dir + "/page.six", sixel);
    ASSERT_EQ(system(("sixel2png -i " + dir + "/page.six -o " + dir + "/page.png").c_str()), 0);
    PngImage image;
    ASSERT_TRUE(ReadPng(dir + "/page.png", &image));
    // Whole cells wide, whole six-pixel bands high, no more than the page needs.
    EXPECT_EQ(image.width, (moments.width() + cellWidth - 1) / cellWidth * cellWidth);
    EXPECT_EQ(image.height, (moments.height() + 5) / 6 * 6);
    // 256 colours for anti-aliased text: the pixels exact but for the
    // palette's rounding to whole percents, a few a shade off (and a
    // rare anti-aliasing shade further: chafa picks its palette from a
    // sample of the pixels).
    PageMoments::Difference d = moments.Compare(image.pixels, image.width, 1, 16);
    EXPECT_LT(d.mean, 3.0) << d.beyond << " beyond, worst " << d.worst;
    EXPECT_LT(d.beyond, moments.width() * moments.height() / 50);
}

TEST(TerminalGraphics, KittyCarriesThePagesExactPixels) {
    PageMoments moments;
    std::string error;
    ASSERT_TRUE(moments.Make(kDemo, kMoments, &error)) << error;
    const std::string image = FirstImage("kitty", "\x1b_Ga=T", "\x1b_Gm=0\x1b\\");
    std::smatch header;
    const std::regex control(R"(a=T,f=32,s=(\d+),v=(\d+),c=(\d+),r=(\d+))");
    ASSERT_TRUE(std::regex_search(image, header, control)) << image.substr(0, 80);
    const int width = std::stoi(header[1]), height = std::stoi(header[2]);
    EXPECT_EQ(std::stoi(header[3]) * kCellWidth, width);
    EXPECT_EQ(std::stoi(header[4]) * kCellHeight, height);
    // The RGBA pixels in chunks "\e_Gm=1;BASE64\e\\", each encoded on its
    // own, the last one "\e_Gm=0\e\\".
    std::string rgba;
    const std::regex chunk("\x1b_Gm=[01];([^\x1b]*)");
    for (auto it = std::sregex_iterator(image.begin(), image.end(), chunk);
         it != std::sregex_iterator(); ++it)
        rgba += Base64Decode((*it)[1]);
    ASSERT_EQ(rgba.size(), size_t(width) * height * 4);
    std::vector<uint32_t> pixels;
    for (size_t i = 0; i < rgba.size(); i += 4)
        pixels.push_back(uint32_t(uint8_t(rgba[i])) << 16 | uint32_t(uint8_t(rgba[i + 1])) << 8 |
                         uint8_t(rgba[i + 2]));
    EXPECT_EQ(moments.Compare(pixels, width, 1, 0).worst, 0);
}

TEST(TerminalGraphics, ImagesCoverTheCellsThePageNeedsOrTheScreenHas) {
    struct Case {
        const char* graphics;
        int columns, rows;
        std::string introducer, terminator;
        const char* size;  // as the protocol states it
    } cases[] = {
        {"iterm", kColumns, kRows, "\x1b]1337;File=", ":", "width=48;height=14"},
        {"kitty", kColumns, kRows, "\x1b_Ga=T", "\x1b\\", "s=480,v=280,c=48,r=14"},
        // 30 x 12 cells hold 300 x 200 pixels above the status line and a
        // free row: the 472 x 277 page is scaled down to 300 x 176.
        {"kitty", 30, 12, "\x1b_Ga=T", "\x1b\\", "s=300,v=180,c=30,r=9"},
        {"sixel", 30, 12, "\x1bP", "#", "\"1;1;300;180"},
    };
    for (const Case& c : cases) {
        const std::string image =
            FirstImage(c.graphics, c.introducer, c.terminator, c.columns, c.rows);
        EXPECT_NE(image.find(c.size), std::string::npos)
            << c.graphics << " at " << c.columns << "x" << c.rows << ": " << image.substr(0, 60);
    }
}

// SIGTERM and SIGHUP end a live run in order (the terminal given back)
// with the exit code of a program such a signal ends.
TEST(TerminalSignals, EndTheRunWith128PlusTheSignal) {
    for (const auto& [signal, code] : {std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
        PtyProcess run({kDemo}, {{"TERM", "xterm-256color"}}, 80, 24, 800, 480);
        ASSERT_TRUE(run.started());
        ASSERT_TRUE(run.ReadUntil([](const std::string& out) {
            return out.find("\x1b[?1049h") != std::string::npos;
        })) << run.errors();
        kill(run.pid(), signal);
        EXPECT_EQ(run.Wait(), code) << signal << ": " << run.errors();
        EXPECT_GT(run.output().rfind("\x1b[?1049l"), run.output().find("\x1b[?1049h")) << signal;
    }
}

// A tmux pane running a plain shell, for qpmhost as a user starts it.
class TmuxRun : public ::testing::Test {
protected:
    void Open(int columns, int rows) {
        if (!TmuxSession::Available()) GTEST_SKIP() << "tmux is not installed";
        session = std::make_unique<TmuxSession>(columns, rows);
        ASSERT_TRUE(session->started());
        dir = MakeScratchDirectory();
    }
    // qpmhost in the pane, between two snapshots of the terminal's settings.
    void Start(const std::string& arguments) {
        std::string environment;
        if (const char* lsan = getenv("LSAN_OPTIONS"))
            environment = "LSAN_OPTIONS=" + ShellQuote(lsan) + " ";
        session->Type("mkdir -p " + dir + "/win; stty -g > " + dir + "/before; " + environment +
                      QPMHOST_PATH + " --windows-dir " + dir + "/win " + arguments + " 2>" + dir +
                      "/stderr; echo EXIT=$?; stty -g > " + dir + "/after");
    }
    bool Ended() { return session->Screen().find("\nEXIT=") != std::string::npos; }
    std::string File(const char* name) {
        FILE* file = fopen((dir + "/" + name).c_str(), "r");
        if (file == nullptr) return "(missing)";
        std::string text;
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
        fclose(file);
        return text;
    }
    std::string StatusLine() {
        const std::string screen = session->Screen();
        const size_t end = screen.find_last_not_of('\n');
        return screen.substr(screen.rfind('\n', end) + 1, end - screen.rfind('\n', end));
    }

    std::unique_ptr<TmuxSession> session;
    std::string dir;
};

TEST_F(TmuxRun, SymbolsAt80x24MoveAndTheTerminalComesBack) {
    Open(80, 24);
    Start(kDemo);
    ASSERT_TRUE(session->WaitFor([&] {
        return session->Format("#{alternate_on}") == "1" &&
               session->Screen().find("q or Ctrl-C quits") != std::string::npos &&
               session->Screen(true).find("38;2;") != std::string::npos;
    })) << session->Screen();
    const std::string first = session->Screen(true);
    // Symbols, not only half blocks: quadrants, eighths and the like.
    const std::string screen = session->Screen();
    int symbols = 0;
    for (const char* symbol : {"\xE2\x96\x98", "\xE2\x96\x9D", "\xE2\x96\x81", "\xE2\x96\x8F",
                               "\xE2\x96\x82", "\xE2\x96\x8E", "\xE2\x96\x96", "\xE2\x96\x97"})
        symbols += screen.find(symbol) != std::string::npos;
    EXPECT_GE(symbols, 2) << screen;
    EXPECT_TRUE(session->WaitFor([&] { return session->Screen(true) != first; }, 10));
    session->Keys("q");
    ASSERT_TRUE(session->WaitFor([&] { return Ended(); })) << session->Screen();
    EXPECT_NE(session->Screen().find("\nEXIT=0"), std::string::npos) << session->Screen();
    EXPECT_EQ(session->Format("#{alternate_on}"), "0");
    EXPECT_EQ(session->Format("#{cursor_flag}"), "1");
    EXPECT_TRUE(session->WaitFor([&] { return File("after") != "(missing)"; }, 10));
    EXPECT_EQ(File("before"), File("after"));
}

// The byte count of "slow.txt N unit of 6.00 kB" on the status line, or -1.
long CountOnStatusLine(const std::string& line) {
    std::smatch m;
    if (!std::regex_search(line, m, std::regex(R"(slow\.txt ([0-9.]+) (B|kB) of 6\.00 kB)")))
        return -1;
    return long(std::stod(m[1]) * (m[2] == "kB" ? 1000 : 1) + 0.5);
}

TEST_F(TmuxRun, TheStatusLineCountsASlowTransfersBytes) {
    TestHttpServer server;
    server.Serve("/slow.txt", {200, std::string(6000, 'x'), -1, 2000});
    ASSERT_TRUE(server.Start());
    Open(120, 30);
    const std::string page = dir + "/page.html";
    WriteTextFile(page, "<title>Slow</title><embed type='application/x-pellux-ticker' src='" +
                            server.Url("/slow.txt") + "'>");
    Start(page + " --verbose");
    const std::string logged = "transfer " + server.Url("/slow.txt") + ": slow.txt ";
    // Each piece the server lets go shows as a larger count.
    std::vector<long> counts;
    for (int piece = 0; piece < 3; ++piece) {
        long shown = -1;
        ASSERT_TRUE(session->WaitFor([&] {
            shown = CountOnStatusLine(StatusLine());
            return shown == piece * 2000;
        })) << "piece "
            << piece << ": " << StatusLine();
        counts.push_back(shown);
        if (piece == 0) {
            // --verbose logs the same on stderr, about once a second.
            EXPECT_TRUE(session->WaitFor([&] {
                return File("stderr").find(logged + "0 B of 6.00 kB") != std::string::npos;
            })) << File("stderr");
        }
        server.Release();
    }
    EXPECT_EQ(counts, (std::vector<long>{0, 2000, 4000}));
    // Done: the transfer leaves the status line.
    ASSERT_TRUE(session->WaitFor([&] {
        return StatusLine().find("Slow | q or Ctrl-C quits") != std::string::npos;
    })) << StatusLine();
    session->Keys("q");
    ASSERT_TRUE(session->WaitFor([&] { return Ended(); })) << session->Screen();
}

}  // namespace
