// The picture and animation outputs as qpmhost uses them: what they
// refuse, and that a write failing anywhere in the file is reported and
// leaves the target as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/e2e/qpmhost_process.h"
#include "output/image_output.h"

namespace {

namespace fs = std::filesystem;

enum class Kind { kPng, kGif, kApng };

std::unique_ptr<PageOutput> MakeOutput(Kind kind, const std::string& path) {
    if (kind == Kind::kPng) return std::make_unique<PngOutput>(path);
    return std::make_unique<AnimationOutput>(
        path, kind == Kind::kGif ? AnimationOutput::Format::kGif : AnimationOutput::Format::kApng,
        100);
}

// A page of `width` x `height` with a block whose place moves with `step`.
struct Page {
    std::vector<unsigned char> bgrx;
    QpmPixels pixels{};
    Page(int width, int height, int step) : bgrx(size_t(width) * height * 4, 0xE0) {
        for (int y = 2; y < 6 && y < height; ++y)
            for (int x = step * 3; x < step * 3 + 5 && x < width; ++x)
                bgrx[(size_t(y) * width + x) * 4] = 0x40;
        pixels = {width, height, width * 4, bgrx.data()};
    }
};

// Shows the frames and closes: the result and its error.
bool WriteFrames(Kind kind, const std::string& path, const std::vector<SIZE>& sizes,
                 std::string* error) {
    std::unique_ptr<PageOutput> output = MakeOutput(kind, path);
    for (size_t i = 0; i < sizes.size(); ++i)
        output->Show(Page(sizes[i].cx, sizes[i].cy, int(i)).pixels);
    return output->Close(error);
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

const char* Name(Kind kind) {
    return kind == Kind::kPng ? "png" : kind == Kind::kGif ? "gif" : "apng";
}

TEST(ImageOutput, RefusalsNameTheTarget) {
    const std::string dir = MakeScratchDirectory();
    fs::create_directory(dir + "/folder");
    struct {
        std::string path;
        std::vector<SIZE> frames;
        std::string png, animation;  // the error, "" when it is written
    } rows[] = {
        {dir + "/none",
         {},
         "no picture of the page to write to " + dir + "/none",
         "no frames to write to " + dir + "/none"},
        {dir + "/empty",
         {{0, 0}},
         "the page has no pixels (0 x 0) to write to " + dir + "/empty",
         "the page has no pixels (0 x 0) to write to " + dir + "/empty"},
        {dir + "/folder",
         {{8, 8}},
         "cannot write " + dir + "/folder: it is a directory",
         "cannot write " + dir + "/folder: it is a directory"},
        // A page that changed its size: later frames take the first one's.
        {dir + "/resized", {{16, 8}, {20, 10}, {12, 6}}, "", ""},
    };
    for (Kind kind : {Kind::kPng, Kind::kGif, Kind::kApng})
        for (const auto& row : rows) {
            std::string error;
            const std::string& expected = kind == Kind::kPng ? row.png : row.animation;
            EXPECT_EQ(WriteFrames(kind, row.path, row.frames, &error), expected.empty())
                << Name(kind) << " " << row.path;
            EXPECT_EQ(error, expected) << Name(kind);
        }
    fs::remove_all(dir);
}

// The file size limit makes the write that crosses it fail (EFBIG): for
// every limit short of the whole file, the output fails with the reason,
// the old target stays and no staged file is left beside it.
TEST(ImageOutput, AWriteFailingAnywhereKeepsTheOldFile) {
    const std::string dir = MakeScratchDirectory();
    const std::string target = dir + "/page.out";
    const std::vector<SIZE> frames = {{24, 12}, {24, 12}, {24, 12}};
    rlimit unlimited{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    auto* previousHandler = signal(SIGXFSZ, SIG_IGN);
    for (Kind kind : {Kind::kPng, Kind::kGif, Kind::kApng}) {
        std::string error;
        ASSERT_TRUE(WriteFrames(kind, target, frames, &error)) << error;
        const rlim_t whole = rlim_t(fs::file_size(target));
        WriteTextFile(target, "old");
        int failures = 0;
        for (rlim_t limit = 0; limit < whole; limit += 1 + whole / 150) {
            rlimit capped = unlimited;
            capped.rlim_cur = limit;
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &capped), 0);
            const bool written = WriteFrames(kind, target, frames, &error);
            setrlimit(RLIMIT_FSIZE, &unlimited);
            EXPECT_FALSE(written) << Name(kind) << " limit " << limit;
            EXPECT_EQ(error, "cannot write " + target + ": File too large") << Name(kind) << limit;
            EXPECT_EQ(Contents(target), "old") << Name(kind) << " limit " << limit;
            EXPECT_EQ(EntriesIn(dir), 1) << Name(kind) << " limit " << limit;
            ++failures;
        }
        EXPECT_GT(failures, 10) << Name(kind);
    }
    signal(SIGXFSZ, previousHandler);
    fs::remove_all(dir);
}

}  // namespace
