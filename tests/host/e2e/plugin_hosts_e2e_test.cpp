// One page run three ways by the built qpmhost: as the QPM host it is,
// as the Netscape browser (--npapi) and as an alternate host
// (--alt-host). A ticker with its text inline (commas and '%' in it)
// and one streamed over HTTP, in the colours a plug-in instance has:
// each shows the same pixels all three ways.
#include <gtest/gtest.h>

#include <map>

#include "host/e2e/http_server.h"
#include "host/e2e/png_image.h"
#include "host/e2e/qpmhost_process.h"

namespace {

// Longer than one NPP_WriteReady's 2048 bytes: pushed in two writes.
const std::string kStreamed =
    "Streamed, in two writes: 50% of it, then the rest " + std::string(2950, '.');

struct HostRun {
    ProcessResult process;
    PngImage image;
    std::vector<PlacedComponent> placed;
};

class PluginHosts : public ::testing::Test {
protected:
    void SetUp() override {
        server.Serve("/news.txt", {200, kStreamed, -1});
        ASSERT_TRUE(server.Start());
        const std::string ticker =
            "<embed type='application/x-pellux-ticker' width='400' height='20' size='16' "
            "bgcolor='#c0c0c0' textcolor='#000000' ";
        WriteTextFile(dir + "/page.html",
                      "<body>\n" + ticker + "text='Inline, with commas, 100% and %41 kept'>\n" +
                          ticker + "src='" + server.Url("/news.txt") + "'>\n</body>");
    }
    HostRun RunAs(const std::string& how) {
        HostRun run;
        std::vector<std::string> args = {dir + "/page.html", "--png", dir + "/page" + how + ".png",
                                         "--after",          "1500",  "--verbose"};
        if (!how.empty()) args.push_back(how);
        run.process = RunQpmhost(args);
        EXPECT_EQ(run.process.exitCode, 0) << how << run.process.err;
        EXPECT_TRUE(ReadPng(dir + "/page" + how + ".png", &run.image)) << how;
        run.placed = PlacedComponents(run.process.err);
        return run;
    }
    static std::vector<uint32_t> Region(const HostRun& run, size_t i) {
        std::vector<uint32_t> pixels;
        if (i >= run.placed.size()) return pixels;
        const PlacedComponent& p = run.placed[i];
        for (int y = p.y; y < p.y + p.height; ++y)
            for (int x = p.x; x < p.x + p.width; ++x) pixels.push_back(run.image.At(x, y));
        return pixels;
    }

    TestHttpServer server;
    std::string dir = MakeScratchDirectory();
};

// Each way shows the same pixels, and says with --verbose what it did.
TEST_F(PluginHosts, TheSameTextPixelsAllThreeWays) {
    const HostRun plain = RunAs("");
    ASSERT_EQ(plain.placed.size(), 2u) << plain.process.err;
    for (size_t i = 0; i < 2; ++i) {
        const PlacedComponent& p = plain.placed[i];
        EXPECT_GT(plain.image.CountNear(p.x, p.y, p.width, p.height, 0x000000), 40) << i;
    }
    const std::map<std::string, std::vector<std::string>> calls = {
        {"--npapi",
         {"NP_GetEntryPoints = 0, NP_Initialize = 0", "#2 (application/x-pellux-ticker) <- NPP_New",
          "NPP_SetWindow(400x20) = 0", "offset 0, 2048 bytes) = 2048",
          "offset 2048, 952 bytes) = 952", "reason 0) = 0",
          "#1 (application/x-pellux-ticker) <- NPP_Destroy = 0", "NP_Shutdown = 0"}},
        {"--alt-host",
         {"DRXGetVersion = 258",
          "SUBTYPE width=400,height=20,size=16,bgcolor=#c0c0c0,"
          "textcolor=#000000,text=Inline%2C with commas%2C 100%25 and %2541 kept"}}};
    for (const auto& [how, said] : calls) {
        const HostRun run = RunAs(how);
        for (size_t i = 0; i < 2; ++i)
            EXPECT_EQ(Region(run, i), Region(plain, i)) << how << " #" << i + 1;
        for (const std::string& line : said)
            EXPECT_NE(run.process.err.find(line), std::string::npos) << line << "\n"
                                                                     << run.process.err;
    }
}

}  // namespace
