// The headless displays: a PNG of one picture, an animation of several
// (GIF or APNG), or nothing at all.
#pragma once

#include <string>
#include <vector>

#include "output/page_output.h"
#include "output/rgb_image.h"

class PngOutput : public PageOutput {
public:
    explicit PngOutput(std::string path) : path_(std::move(path)) {}
    bool Open(int, int, const std::string&, std::string*) override { return true; }
    void Show(const QpmPixels& pixels) override;
    bool Close(std::string* error) override;

private:
    std::string path_;
    bool shown_ = false, written_ = false;
    std::string reason_;
};

class AnimationOutput : public PageOutput {
public:
    enum class Format { kGif, kApng };
    AnimationOutput(std::string path, Format format, int frameMs)
        : path_(std::move(path)), format_(format), frameMs_(frameMs) {}
    bool Open(int, int, const std::string&, std::string*) override { return true; }
    // Every frame gets the first one's size, should the page have changed its own.
    void Show(const QpmPixels& pixels) override;
    bool Close(std::string* error) override;

private:
    std::string path_;
    Format format_;
    int frameMs_;
    std::vector<RgbImage> frames_;
};

class NullOutput : public PageOutput {
public:
    bool Open(int, int, const std::string&, std::string*) override { return true; }
    void Show(const QpmPixels&) override {}
    bool Close(std::string*) override { return true; }
};

// Writes bytes to a file; false with `error` naming the file and the cause.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);
