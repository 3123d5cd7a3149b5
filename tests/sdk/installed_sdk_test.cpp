// The installed SDK, used as an outside author uses it: the example
// component built against the installed package (by build_example.sh)
// exports what its exports.txt lists and nothing else, as the installed
// ticker does, and runs through the installed qpmhost, which finds its
// known types in the install tree.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "host/e2e/png_image.h"
#include "host/e2e/qpmhost_process.h"

namespace {

const std::string kPrefix = QPM_SDK_PREFIX;
const std::string kInstalledHost = kPrefix + "/bin/qpmhost";

// The names an exports.txt lists, as an ELF library carries them
// ("_Name@N" is exported as "Name").
std::set<std::string> ListedExports(const std::string& path) {
    std::set<std::string> names;
    std::ifstream in(path);
    for (std::string name; in >> name;) {
        const size_t at = name.find('@');
        if (name[0] == '_' && at != std::string::npos) name = name.substr(1, at - 1);
        names.insert(name);
    }
    return names;
}

// The symbols a library defines in its dynamic symbol table.
std::set<std::string> DefinedDynamicSymbols(const std::string& library) {
    ProcessResult nm =
        RunProgram(QPM_NM, {"--dynamic", "--defined-only", "--format=posix", library});
    EXPECT_EQ(nm.exitCode, 0) << nm.err;
    std::set<std::string> names;
    std::istringstream lines(nm.out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) names.insert(line.substr(0, line.find(' ')));
    return names;
}

TEST(InstalledSdk, ComponentLibrariesExportExactlyTheirListedEntryPoints) {
    struct Case {
        const char* name;
        std::string library, exportsList;
    };
    const Case cases[] = {
        {"the example, built against the package", QPM_EXAMPLE_LIBRARY, QPM_EXAMPLE_EXPORTS},
        {"the installed ticker", kPrefix + "/lib/qpm/libpellux.so", QPM_TICKER_EXPORTS},
        {"the installed installer", kPrefix + "/lib/qpm/libvarnoq.so", QPM_INSTALLER_EXPORTS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::set<std::string> listed = ListedExports(c.exportsList);
        ASSERT_FALSE(listed.empty()) << c.exportsList;
        EXPECT_EQ(DefinedDynamicSymbols(c.library), listed) << c.library;
    }
}

// The example on a one-element page, run two ways: named on the command
// line, and as a type installed in DRX.REG that a page embeds.
TEST(InstalledSdk, TheInstalledHostRunsTheExampleAndItPaintsItsBars) {
    const uint32_t colours[] = {0xFFCC00, 0x3366FF, 0x00AA44, 0x000000};
    const std::string list = "#ffcc00, #3366ff,#00aa44 #000000";
    const std::string dir = MakeScratchDirectory();
    WriteTextFile(dir + "/DRX.REG",
                  "[DRX-Win32]\napplication/x-colour-bars=" QPM_EXAMPLE_LIBRARY "\n");
    WriteTextFile(dir + "/page.html",
                  "<html><body><embed type=\"application/x-colour-bars\" "
                  "colours=\"" +
                      list + "\"></body></html>");
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"--component", {"--component", QPM_EXAMPLE_LIBRARY, "--attr", "COLOURS=" + list}},
        {"a page", {dir + "/page.html", "--windows-dir", dir}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string png = dir + "/bars.png";
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"--png", png, "--verbose"});
        ProcessResult run = RunProgram(kInstalledHost, arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        PngImage image;
        ASSERT_TRUE(ReadPng(png, &image)) << png;
        const std::vector<PlacedComponent> placed = PlacedComponents(run.err);
        ASSERT_EQ(placed.size(), 1u) << run.err;
        const PlacedComponent& p = placed[0];
        // Its own size: 40 pixels a bar and a 2-pixel frame on either side.
        EXPECT_EQ(p.width, 4 * 40 + 4);
        EXPECT_EQ(p.height, 40);
        ASSERT_LE(p.x + p.width, image.width);
        ASSERT_LE(p.y + p.height, image.height);

        // Each bar fills its 40 x 36 pixels inside the frame, in the listed order.
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(image.Count(p.x + 2 + 40 * i, p.y + 2, 40, 36, colours[i]), 40 * 36)
                << "bar " << i + 1;
        // The raised frame: dark grey along the bottom and the right, no bar colour on top.
        EXPECT_EQ(image.Count(p.x + 1, p.y + p.height - 1, p.width - 1, 1, 0x808080), p.width - 1);
        EXPECT_EQ(image.Count(p.x + p.width - 1, p.y + 1, 1, p.height - 1, 0x808080), p.height - 1);
        for (uint32_t colour : colours)
            EXPECT_EQ(image.Count(p.x, p.y, p.width, 2, colour), 0) << std::hex << colour;
        remove(png.c_str());
    }
}

TEST(InstalledSdk, TheInstalledHostFindsItsKnownTypesInTheInstallTree) {
    const std::string png = MakeScratchDirectory() + "/ticker.png";
    ProcessResult run = RunProgram(
        kInstalledHost, {"--component", "application/x-pellux-ticker", "--attr", "TEXT=Installed",
                         "--png", png, "--after", "3000", "--verbose"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("runs in " + kPrefix + "/lib/qpm/libpellux.so (known type)"),
              std::string::npos)
        << run.err;
}

}  // namespace
