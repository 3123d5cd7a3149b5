// The animation writers, checked by reading back what they wrote: GIF
// with giflib's reader, APNG with the tests' own reader (zlib and the
// row filters); and the staged file they write into.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "host/e2e/apng_frames.h"
#include "host/e2e/gif_frames.h"
#include "host/e2e/qpmhost_process.h"
#include "output/apng_writer.h"
#include "output/gif_writer.h"
#include "output/staged_file.h"

namespace {

RgbImage Solid(int w, int h, uint32_t rgb) {
    RgbImage image;
    image.width = w;
    image.height = h;
    for (int i = 0; i < w * h; ++i)
        image.rgb.insert(image.rgb.end(), {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
    return image;
}

void Paint(RgbImage* image, int x0, int y0, int w, int h, uint32_t rgb) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            uint8_t* p = &image->rgb[(size_t(y) * image->width + x) * 3];
            p[0] = uint8_t(rgb >> 16), p[1] = uint8_t(rgb >> 8), p[2] = uint8_t(rgb);
        }
}

std::vector<uint32_t> Pixels(const RgbImage& image) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) pixels.push_back(image.At(x, y));
    return pixels;
}

// Three frames: a picture, the same with a block changed (in one of its
// colours), and no change.
std::vector<RgbImage> ThreeFrames() {
    RgbImage first = Solid(40, 30, 0xF2F0E6);
    Paint(&first, 5, 5, 10, 4, 0x003399);
    RgbImage second = first;
    Paint(&second, 20, 12, 6, 3, 0x003399);
    return {first, second, second};
}

template <typename Writer>
bool WriteAnimation(const std::string& path, const std::vector<RgbImage>& frames,
                    std::string* error) {
    StagedFile file(path);
    if (!file.Open(error)) return false;
    Writer writer(&file, 150);
    for (const RgbImage& frame : frames)
        if (!writer.AddFrame(frame, error)) return false;
    return writer.Finish(error) && file.Commit(error);
}

TEST(GifWriter, FramesReadBackExactlyWithOnlyTheChangesStored) {
    const std::string path = MakeScratchDirectory() + "/a.gif";
    std::string error;
    const std::vector<RgbImage> frames = ThreeFrames();
    ASSERT_TRUE(WriteAnimation<GifWriter>(path, frames, &error)) << error;
    GifMovie movie;
    ASSERT_TRUE(ReadGif(path, &movie, &error)) << error;
    EXPECT_EQ(movie.width, 40);
    EXPECT_EQ(movie.height, 30);
    EXPECT_TRUE(movie.loops);
    ASSERT_EQ(movie.frames.size(), 3u);
    for (size_t i = 0; i < frames.size(); ++i) {
        // Three colours fit any palette: the quantizer keeps them as they are.
        EXPECT_EQ(movie.frames[i].screen, Pixels(frames[i])) << "frame " << i;
        EXPECT_EQ(movie.frames[i].delayHundredths, 15);
        EXPECT_FALSE(movie.frames[i].localPalette);
    }
    // The second frame holds the changed block only; the third, nothing of note.
    EXPECT_EQ(movie.frames[0].width * movie.frames[0].height, 40 * 30);
    EXPECT_EQ(movie.frames[1].x, 20);
    EXPECT_EQ(movie.frames[1].y, 12);
    EXPECT_EQ(movie.frames[1].width * movie.frames[1].height, 6 * 3);
    EXPECT_EQ(movie.frames[2].width * movie.frames[2].height, 1);
}

// 4096 colours: more than a palette holds.
RgbImage Ramp() {
    RgbImage ramp = Solid(64, 64, 0);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            Paint(&ramp, x, y, 1, 1, uint32_t(x * 4) << 16 | uint32_t(y * 4) << 8 | 0x80);
    return ramp;
}

TEST(GifWriter, NewColoursJoinTheSharedPaletteWhileItHasRoom) {
    RgbImage greys = Solid(64, 64, 0);
    for (int x = 0; x < 64; ++x) Paint(&greys, x, 0, 1, 64, uint32_t(x * 4) * 0x010101);
    struct Case {
        const char* name;
        RgbImage first;
        bool ownPalette;  // for the second frame
    } cases[] = {{"64 greys leave room", greys, false}, {"4096 colours fill it", Ramp(), true}};
    for (const Case& c : cases) {
        // Then blocks in colours far from all of the first frame's.
        RgbImage second = c.first;
        Paint(&second, 8, 4, 8, 8, 0x0000FF);
        Paint(&second, 24, 4, 8, 8, 0xFF00FF);
        const std::string path = MakeScratchDirectory() + "/b.gif";
        std::string error;
        ASSERT_TRUE(WriteAnimation<GifWriter>(path, {c.first, second}, &error)) << error;
        GifMovie movie;
        ASSERT_TRUE(ReadGif(path, &movie, &error)) << error;
        ASSERT_EQ(movie.frames.size(), 2u);
        EXPECT_EQ(movie.globalColours, 256) << c.name;
        EXPECT_FALSE(movie.frames[0].localPalette) << c.name;
        EXPECT_EQ(movie.frames[1].localPalette, c.ownPalette) << c.name;
        // The new colours are exact either way, and so are the unchanged pixels.
        EXPECT_EQ(movie.frames[1].screen[size_t(8) * 64 + 12], 0x0000FFu) << c.name;
        EXPECT_EQ(movie.frames[1].screen[size_t(8) * 64 + 28], 0xFF00FFu) << c.name;
        EXPECT_EQ(movie.frames[1].screen[size_t(40) * 64 + 40],
                  movie.frames[0].screen[size_t(40) * 64 + 40])
            << c.name;
    }
    // The greys themselves are few enough to be kept exactly.
    GifMovie movie;
    std::string error;
    const std::string path = MakeScratchDirectory() + "/g.gif";
    ASSERT_TRUE(WriteAnimation<GifWriter>(path, {greys}, &error)) << error;
    ASSERT_TRUE(ReadGif(path, &movie, &error)) << error;
    EXPECT_EQ(movie.frames[0].screen, Pixels(greys));
}

TEST(ApngWriter, FramesReadBackExactlyWithTheCountWrittenAtTheEnd) {
    const std::string path = MakeScratchDirectory() + "/a.png";
    std::string error;
    const std::vector<RgbImage> frames = ThreeFrames();
    ASSERT_TRUE(WriteAnimation<ApngWriter>(path, frames, &error)) << error;
    ApngInfo info;
    std::vector<std::vector<uint32_t>> read;
    ASSERT_TRUE(ForEachApngFrame(
        path, &info, [&](int, const std::vector<uint32_t>& picture) { read.push_back(picture); },
        &error))
        << error;
    EXPECT_EQ(info.width, 40);
    EXPECT_EQ(info.frames, 3u);
    EXPECT_EQ(info.plays, 0u);
    ASSERT_EQ(read.size(), 3u);
    for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(read[i], Pixels(frames[i])) << i;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

TEST(StagedFile, TheTargetChangesOnlyWhenTheFileIsWhole) {
    const std::string dir = MakeScratchDirectory();
    const std::string target = dir + "/out.bin";
    WriteTextFile(target, "old");
    {
        // Abandoned: the target keeps its content, nothing is left beside it.
        StagedFile file(target);
        std::string error;
        ASSERT_TRUE(file.Open(&error)) << error;
        EXPECT_TRUE(file.Write("new", 3));
    }
    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_EQ(system(("test $(ls -A " + dir + " | wc -l) -eq 1").c_str()), 0);

    StagedFile file(target);
    std::string error;
    ASSERT_TRUE(file.Open(&error)) << error;
    EXPECT_TRUE(file.Write("header+body", 11));
    EXPECT_TRUE(file.WriteAt(0, "HEADER", 6));
    EXPECT_FALSE(file.WriteAt(8, "beyond", 6));  // past the end: refused, and the file fails
    EXPECT_FALSE(file.Commit(&error));
    EXPECT_NE(error.find("cannot write " + target), std::string::npos) << error;
    EXPECT_EQ(ReadAll(target), "old");
}

// Renaming over a device, a FIFO or a directory would put a file in its
// place: such targets are refused, and stay what they were.
TEST(StagedFile, TargetsThatAreNoRegularFilesAreRefused) {
    const std::string dir = MakeScratchDirectory();
    ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {"/dev/null", "it is a device or socket, not a regular file"},
        {dir + "/fifo", "it is a FIFO, not a regular file"},
        {dir, "it is a directory"}};
    for (const auto& [target, why] : cases) {
        StagedFile file(target);
        std::string error;
        EXPECT_FALSE(file.Open(&error)) << target;
        EXPECT_EQ(error, "cannot write " + target + ": " + why);
    }
    struct stat st {};
    EXPECT_TRUE(stat((dir + "/fifo").c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_EQ(EntriesIn(dir), 1);
}

TEST(StagedFile, ASymlinkAtTheTargetIsReplacedNotFollowed) {
    const std::string dir = MakeScratchDirectory();
    WriteTextFile(dir + "/elsewhere", "keep me");
    ASSERT_EQ(symlink((dir + "/elsewhere").c_str(), (dir + "/out.gif").c_str()), 0);
    const mode_t mask = umask(022);
    StagedFile file(dir + "/out.gif");
    std::string error;
    ASSERT_TRUE(file.Open(&error)) << error;
    EXPECT_TRUE(file.Write("GIF", 3));
    EXPECT_TRUE(file.Commit(&error)) << error;
    umask(mask);
    EXPECT_EQ(ReadAll(dir + "/elsewhere"), "keep me");
    struct stat st {};
    ASSERT_EQ(lstat((dir + "/out.gif").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_EQ(ReadAll(dir + "/out.gif"), "GIF");

    StagedFile nowhere(dir + "/no/such/dir/x.gif");
    EXPECT_FALSE(nowhere.Open(&error));
    EXPECT_EQ(error, "cannot write " + dir + "/no/such/dir/x.gif: No such file or directory");
}

}  // namespace

namespace {

TEST(Frames, APageThatChangedSizeIsFittedToTheFirstFrame) {
    RgbImage image = Solid(3, 2, 0x070809);
    RgbImage wider = FitImage(image, 4, 1);
    EXPECT_EQ(wider.rgb, (std::vector<uint8_t>{7, 8, 9, 7, 8, 9, 7, 8, 9, 0, 0, 0}));
    RgbImage smaller = FitImage(image, 1, 3);
    EXPECT_EQ(smaller.rgb, (std::vector<uint8_t>{7, 8, 9, 7, 8, 9, 0, 0, 0}));
}

TEST(Frames, TheChangedRectangleBoundsEveryChange) {
    RgbImage before = Solid(10, 8, 0x101010);
    EXPECT_TRUE(ChangedRect(before, before).Empty());
    RgbImage after = before;
    Paint(&after, 2, 6, 1, 1, 0x202020);
    Paint(&after, 7, 3, 2, 1, 0x202020);
    const PixelRect rect = ChangedRect(before, after);
    EXPECT_EQ(rect.x, 2);
    EXPECT_EQ(rect.y, 3);
    EXPECT_EQ(rect.width, 7);
    EXPECT_EQ(rect.height, 4);
}

}  // namespace
