// Tickers whose text comes over HTTP from a server of the test's own:
// a whole stream, one the server cuts short, and one that is not found.
#include <gtest/gtest.h>

#include "host/e2e/http_server.h"
#include "host/e2e/png_image.h"
#include "host/e2e/qpmhost_process.h"

namespace {

const std::string kArrived = "Only this much arrived before the server hung up";

std::string Ticker(const std::string& source) {
    return "<embed type='application/x-pellux-ticker' size='18' textcolor='#c00000' "
           "bgcolor='#ffffff' " +
           source + ">\n";
}

class StreamPage : public ::testing::Test {
protected:
    TestHttpServer server;
    std::string dir = MakeScratchDirectory();
    ProcessResult run;
    PngImage image;
    std::vector<PlacedComponent> placed;

    void SetUp() override {
        server.Serve("/whole.txt", {200, "The whole\nstream\tarrived.", -1});
        // Content-Length promises far more than is sent before the close.
        server.Serve("/cut.txt", {200, kArrived + std::string(4000, 'X'), long(kArrived.size())});
        ASSERT_TRUE(server.Start());
        WriteTextFile(dir + "/page.html",
                      "<body>\n" + Ticker("src='" + server.Url("/whole.txt") + "'") +
                          Ticker("src='" + server.Url("/cut.txt") + "'") +
                          Ticker("text='" + kArrived + "'") +
                          Ticker("src='" + server.Url("/missing.txt") + "'") + "</body>");
        run = RunQpmhost(
            {dir + "/page.html", "--png", dir + "/page.png", "--after", "1500", "--verbose"});
        ASSERT_TRUE(ReadPng(dir + "/page.png", &image)) << run.err;
        placed = PlacedComponents(run.err);
        ASSERT_EQ(placed.size(), 4u) << run.err;
    }

    std::vector<uint32_t> Region(const PlacedComponent& p) const {
        std::vector<uint32_t> pixels;
        for (int y = p.y; y < p.y + p.height; ++y)
            for (int x = p.x; x < p.x + p.width; ++x) pixels.push_back(image.At(x, y));
        return pixels;
    }
};

TEST_F(StreamPage, AWholeStreamIsShown) {
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const PlacedComponent& p = placed[0];
    EXPECT_GT(image.CountNear(p.x, p.y, p.width, p.height, 0xC00000), 30);
    EXPECT_NE(run.err.find("fetched " + server.Url("/whole.txt")), std::string::npos) << run.err;
    std::vector<std::string> requests = server.Requests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "GET /whole.txt HTTP/1.1"), 1);
}

TEST_F(StreamPage, AStreamCutShortShowsWhatArrived) {
    // Exactly what the same text given inline shows, pixel for pixel.
    EXPECT_EQ(Region(placed[1]), Region(placed[2]));
    EXPECT_GT(
        image.CountNear(placed[1].x, placed[1].y, placed[1].width, placed[1].height, 0xC00000), 30);
    // The failure reached the component as 1040 with curl's "partial file".
    EXPECT_NE(run.err.find("QPMM_STREAMFAILED handle=2 code=18"), std::string::npos) << run.err;
}

TEST_F(StreamPage, ANotFoundStreamFailsWith404AndShowsNothing) {
    EXPECT_NE(run.err.find("QPMM_STREAMFAILED handle=3 code=404"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("cannot fetch " + server.Url("/missing.txt")), std::string::npos)
        << run.err;
    const PlacedComponent& p = placed[3];
    EXPECT_EQ(image.Count(p.x, p.y, p.width, p.height, 0xFFFFFF), p.width * p.height);
}

}  // namespace
