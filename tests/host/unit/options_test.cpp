// The command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options.h"

namespace {

struct Parsed {
    bool ok;
    HostOptions options;
    std::string error;
};

Parsed Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "qpmhost");
    Parsed p;
    p.ok = ParseOptions(int(args.size()), args.data(), &p.options, &p.error);
    return p;
}

TEST(Options, PageAloneRunsInTheTerminal) {
    Parsed p = Parse({"demo.html"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.page, "demo.html");
    EXPECT_EQ(p.options.output, OutputMode::kTerminal);
    EXPECT_FALSE(p.options.Headless());
    EXPECT_EQ(p.options.consent, ConsentAnswer::kAsk);
    EXPECT_EQ(p.options.hosting, HostingMode::kComponent);
    EXPECT_EQ(Parse({"--npapi", "demo.html"}).options.hosting, HostingMode::kNpapi);
    EXPECT_EQ(Parse({"demo.html", "--alt-host"}).options.hosting, HostingMode::kAltHost);
}

TEST(Options, HeadlessOutputs) {
    Parsed png = Parse({"demo.html", "--png", "/tmp/x.png", "--after", "3000"});
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.options.output, OutputMode::kPng);
    EXPECT_EQ(png.options.pngPath, "/tmp/x.png");
    EXPECT_EQ(png.options.afterMs, 3000);
    EXPECT_TRUE(png.options.Headless());

    Parsed gif = Parse({"--frames", "5", "--gif", "a.gif", "--frame-ms", "100", "demo.html"});
    ASSERT_TRUE(gif.ok) << gif.error;
    EXPECT_EQ(gif.options.output, OutputMode::kAnimation);
    EXPECT_EQ(gif.options.frames, 5);
    EXPECT_EQ(gif.options.frameMs, 100);

    Parsed print = Parse({"demo.html", "--print", "p.png", "--after", "10"});
    ASSERT_TRUE(print.ok) << print.error;
    EXPECT_EQ(print.options.output, OutputMode::kNull);
    EXPECT_EQ(print.options.printPath, "p.png");
}

TEST(Options, LiveOutputsAndTheTerminalsGraphics) {
    struct Case {
        std::vector<const char*> args;
        OutputMode output;
        TerminalGraphics graphics;
    } cases[] = {
        {{"a.html", "--window"}, OutputMode::kWindow, TerminalGraphics::kAuto},
        {{"a.html", "--x11"}, OutputMode::kWindow, TerminalGraphics::kAuto},
        {{"a.html", "--x11", "--window"}, OutputMode::kWindow, TerminalGraphics::kAuto},
        {{"a.html", "--terminal"}, OutputMode::kTerminal, TerminalGraphics::kAuto},
        {{"a.html", "--term-graphics", "sixel"}, OutputMode::kTerminal, TerminalGraphics::kSixel},
        {{"--term-graphics", "kitty", "--terminal", "a.html"},
         OutputMode::kTerminal,
         TerminalGraphics::kKitty},
        {{"a.html", "--term-graphics", "iterm"}, OutputMode::kTerminal, TerminalGraphics::kIterm},
        {{"a.html", "--term-graphics", "symbols"},
         OutputMode::kTerminal,
         TerminalGraphics::kSymbols},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(c.args);
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_EQ(p.options.output, c.output) << c.args[1];
        EXPECT_EQ(p.options.terminalGraphics, c.graphics) << c.args[1];
        EXPECT_FALSE(p.options.Headless());
    }
}

TEST(Options, OneComponentWithAttributes) {
    Parsed p = Parse({"--component", "libpellux.so", "--attr", "TEXT=a=b c", "--attr", "SIZE=20",
                      "--width", "300", "--height", "40", "--yes", "--verbose"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.component, "libpellux.so");
    ASSERT_EQ(p.options.attributes.size(), 2u);
    EXPECT_EQ(p.options.attributes[0].first, "TEXT");
    EXPECT_EQ(p.options.attributes[0].second, "a=b c");
    EXPECT_EQ(p.options.width, 300);
    EXPECT_EQ(p.options.height, 40);
    EXPECT_EQ(p.options.consent, ConsentAnswer::kYes);
    EXPECT_TRUE(p.options.verbose);
}

TEST(Options, MistakesAreNamed) {
    struct Case {
        std::vector<const char*> args;
        const char* says;
    } cases[] = {
        {{}, "give a page"},
        {{"a.html", "--component", "x.so"}, "not both"},
        {{"a.html", "b.html"}, "only one page"},
        {{"a.html", "--png"}, "--png needs a value"},
        {{"a.html", "--after", "soon", "--png", "x"}, "--after wants a whole number"},
        {{"a.html", "--frames", "0", "--gif", "x"}, "--frames wants"},
        {{"a.html", "--png", "x", "--x11"}, "cannot be combined"},
        {{"a.html", "--window", "--terminal"}, "--terminal cannot be combined with --window"},
        {{"a.html", "--term-graphics", "ascii"}, "wants kitty, sixel, iterm or symbols"},
        {{"a.html", "--term-graphics", "sixel", "--window"}, "belongs with the terminal"},
        {{"a.html", "--term-graphics", "sixel", "--png", "x"}, "belongs with the terminal"},
        {{"a.html", "--gif", "x", "--apng", "y"}, "cannot be combined"},
        {{"a.html", "--frames", "3"}, "--frames needs --gif"},
        {{"a.html", "--after", "100"}, "--after needs"},
        {{"a.html", "--x11", "--print", "p.png"}, "--print works headless"},
        {{"a.html", "--attr", "X=1"}, "--attr belongs with --component"},
        {{"--component", "x.so", "--attr", "=1"}, "NAME=VALUE"},
        {{"a.html", "--colour"}, "unknown option --colour"},
        {{"a.html", "--npapi", "--alt-host"}, "--alt-host cannot be combined with --npapi"},
        {{"a.html", "--uninstall", "application/x-foo"}, "--uninstall TYPE runs on its own"},
        {{"--uninstall", "application/x-foo", "--png", "x"}, "--uninstall TYPE runs on its own"},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(c.args);
        EXPECT_FALSE(p.ok) << c.says;
        EXPECT_NE(p.error.find(c.says), std::string::npos)
            << "expected \"" << c.says << "\" in: " << p.error;
    }
}

TEST(Options, HelpNeedsNothingElse) {
    Parsed p = Parse({"--help"});
    EXPECT_TRUE(p.ok);
    EXPECT_TRUE(p.options.help);
    EXPECT_NE(std::string(UsageText()).find("Exit codes"), std::string::npos);
}

}  // namespace
