// The demo page's animations as qpmhost writes them: each GIF frame,
// read back with giflib, is the page at that moment (the lossless APNG's
// frame, whose first frame is the PNG of that moment) within the colour
// quantizer's error; the frames after the first keep to the shared
// palette and hold only what changed; and memory does not grow with the
// number of frames, which are encoded as they are made.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "host/e2e/apng_frames.h"
#include "host/e2e/gif_frames.h"
#include "host/e2e/png_image.h"
#include "host/e2e/qpmhost_process.h"

namespace {

const std::string kDemo = std::string(QPM_EXAMPLES_DIR) + "/demo.html";

int ChannelDifference(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

TEST(Animation, GifFramesAreThePageAtTheirMomentsWithinTheQuantizersError) {
    const std::string dir = MakeScratchDirectory();
    const std::vector<std::string> moments = {"--after", "3000", "--frames", "12"};
    std::vector<std::string> gifArgs = {kDemo, "--gif", dir + "/a.gif"};
    std::vector<std::string> apngArgs = {kDemo, "--apng", dir + "/a.png"};
    gifArgs.insert(gifArgs.end(), moments.begin(), moments.end());
    apngArgs.insert(apngArgs.end(), moments.begin(), moments.end());
    ASSERT_EQ(RunQpmhost(gifArgs).exitCode, 0);
    ASSERT_EQ(RunQpmhost(apngArgs).exitCode, 0);
    ProcessResult png = RunQpmhost({kDemo, "--png", dir + "/p.png", "--after", "3000"});
    ASSERT_EQ(png.exitCode, 0) << png.err;

    GifMovie movie;
    std::string error;
    ASSERT_TRUE(ReadGif(dir + "/a.gif", &movie, &error)) << error;
    ASSERT_EQ(movie.frames.size(), 12u);
    std::vector<std::vector<uint32_t>> exact;
    ApngInfo info;
    ASSERT_TRUE(ForEachApngFrame(
        dir + "/a.png", &info,
        [&](int, const std::vector<uint32_t>& picture) { exact.push_back(picture); }, &error))
        << error;
    ASSERT_EQ(exact.size(), 12u);
    PngImage still;
    ASSERT_TRUE(ReadPng(dir + "/p.png", &still));
    EXPECT_EQ(exact[0], still.pixels);

    const size_t pixels = size_t(movie.width) * movie.height;
    for (size_t i = 0; i < movie.frames.size(); ++i) {
        const GifFrame& frame = movie.frames[i];
        ASSERT_EQ(frame.screen.size(), exact[i].size());
        long sum = 0, beyond = 0;
        for (size_t p = 0; p < pixels; ++p) {
            const int d = ChannelDifference(frame.screen[p], exact[i][p]);
            sum += d;
            beyond += d > 24;
        }
        // Flat colours exact, anti-aliased shades near: a small mean, few far.
        EXPECT_LT(double(sum) / double(pixels), 1.0) << "frame " << i;
        EXPECT_LT(beyond, long(pixels / 200)) << "frame " << i;
        EXPECT_EQ(frame.delayHundredths, 15);
        if (i == 0) continue;
        // The page's colours stay those of the first frame: one palette.
        EXPECT_FALSE(frame.localPalette) << "frame " << i;
        // Only the tickers move: heading and paragraph are not stored again.
        EXPECT_GT(frame.y, 100) << "frame " << i;
    }
}

TEST(Animation, MemoryDoesNotGrowWithTheNumberOfFrames) {
    const std::string dir = MakeScratchDirectory();
    struct Case {
        const char* option;
        const char* file;
    } cases[] = {{"--gif", "/m.gif"}, {"--apng", "/m.png"}};
    // AddressSanitizer keeps freed memory aside for a while: not here.
    const char* asan = getenv("ASAN_OPTIONS");
    const std::map<std::string, std::string> environment = {
        {"ASAN_OPTIONS", std::string(asan ? asan : "") + ":quarantine_size_mb=0"}};
    for (const Case& c : cases) {
        // 200 frames of this page held in memory would take 75 MB.
        ProcessResult few =
            RunQpmhost({kDemo, c.option, dir + c.file, "--frames", "10"}, environment);
        ProcessResult many =
            RunQpmhost({kDemo, c.option, dir + c.file, "--frames", "200"}, environment);
        ASSERT_EQ(few.exitCode, 0) << few.err;
        ASSERT_EQ(many.exitCode, 0) << many.err;
        EXPECT_LT(many.peakKilobytes, few.peakKilobytes + 30000)
            << c.option << ": " << few.peakKilobytes << " kB for 10 frames, " << many.peakKilobytes
            << " kB for 200";
    }
}

TEST(Animation, AFailedRunLeavesTheTargetAlone) {
    const std::string dir = MakeScratchDirectory();
    WriteTextFile(dir + "/keep.gif", "an older animation");
    // No component library: nothing to show, and only that is said.
    ProcessResult run = RunQpmhost({"--component", dir + "/none.so", "--gif", dir + "/keep.gif"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "qpmhost: component #1 (<embed>): cannot load component library " + dir +
                           "/none.so: No such file or directory\n");
    FILE* file = fopen((dir + "/keep.gif").c_str(), "r");
    ASSERT_NE(file, nullptr);
    char text[64] = "";
    fgets(text, sizeof text, file);
    fclose(file);
    EXPECT_STREQ(text, "an older animation");
    EXPECT_EQ(system(("test $(ls -A " + dir + " | wc -l) -eq 1").c_str()), 0);
}

}  // namespace
