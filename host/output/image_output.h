// The headless displays, whose files are written beside their targets
// and renamed over them when whole (StagedFile): a PNG of one picture, an animation of several
// (GIF or APNG), or nothing at all.
#pragma once

#include <memory>
#include <string>

#include "output/animation_writer.h"
#include "output/page_output.h"
#include "output/rgb_image.h"
#include "output/staged_file.h"

class PngOutput : public PageOutput {
public:
    explicit PngOutput(std::string path) : path_(std::move(path)) {}
    bool Open(int, int, const std::string&, std::string*) override { return true; }
    void Show(const QpmPixels& pixels) override;
    bool Close(std::string* error) override;

private:
    std::string path_;
    bool shown_ = false, written_ = false;
    std::string error_;
};

// Each frame is encoded and written as it is shown, into a fresh file
// beside the target that replaces the target when the animation is whole.
class AnimationOutput : public PageOutput {
public:
    enum class Format { kGif, kApng };
    AnimationOutput(std::string path, Format format, int frameMs)
        : file_(std::move(path)), format_(format), frameMs_(frameMs) {}
    bool Open(int, int, const std::string&, std::string*) override { return true; }
    // Every frame gets the first one's size, should the page have changed its own.
    void Show(const QpmPixels& pixels) override;
    bool Close(std::string* error) override;

private:
    bool Begin();

    StagedFile file_;
    Format format_;
    int frameMs_;
    std::unique_ptr<AnimationWriter> writer_;
    int width_ = 0, height_ = 0;
    bool failed_ = false;
    std::string error_;
};

class NullOutput : public PageOutput {
public:
    bool Open(int, int, const std::string&, std::string*) override { return true; }
    void Show(const QpmPixels&) override {}
    bool Close(std::string*) override { return true; }
};
