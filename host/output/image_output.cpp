// PNG and animation files.
#include "output/image_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "output/apng_writer.h"
#include "output/gif_writer.h"

void PngOutput::Show(const QpmPixels& pixels) {
    shown_ = true;
    written_ = QpmWritePng(&pixels, path_.c_str()) != FALSE;
    if (written_) return;
    // The layer says only that it failed; the directory says why, mostly.
    const size_t slash = path_.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : path_.substr(0, slash + 1);
    if (access(directory.c_str(), W_OK) != 0) reason_ = strerror(errno);
}

bool PngOutput::Close(std::string* error) {
    if (!shown_)
        *error = "no picture of the page to write to " + path_;
    else if (!written_)
        *error = "cannot write " + path_ + (reason_.empty() ? "" : ": " + reason_);
    return shown_ && written_;
}

bool AnimationOutput::Begin() {
    if (!file_.Open(&error_)) return false;
    if (format_ == Format::kGif)
        writer_ = std::make_unique<GifWriter>(&file_, frameMs_);
    else
        writer_ = std::make_unique<ApngWriter>(&file_, frameMs_);
    return true;
}

void AnimationOutput::Show(const QpmPixels& pixels) {
    if (failed_) return;
    if (pixels.width <= 0 || pixels.height <= 0) {
        error_ = "the page has no pixels (" + std::to_string(pixels.width) + " x " +
                 std::to_string(pixels.height) + ") to write to " + file_.path();
        failed_ = true;
        return;
    }
    if (!writer_ && !Begin()) {
        failed_ = true;
        return;
    }
    RgbImage frame = ImageFromPixels(pixels);
    if (width_ == 0) {
        width_ = frame.width;
        height_ = frame.height;
    } else if (frame.width != width_ || frame.height != height_) {
        frame = FitImage(frame, width_, height_);
    }
    if (!writer_->AddFrame(frame, &error_)) failed_ = true;
}

bool AnimationOutput::Close(std::string* error) {
    if (!failed_ && !writer_) error_ = "no frames to write to " + file_.path();
    if (failed_ || !writer_ || !writer_->Finish(&error_) || !file_.Commit(&error_)) {
        *error = error_;
        return false;
    }
    return true;
}
