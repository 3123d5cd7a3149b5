// PNG and animation files.
#include "output/image_output.h"

#include "output/apng_writer.h"
#include "output/gif_writer.h"
#include "output/png_file.h"

void PngOutput::Show(const QpmPixels& pixels) {
    shown_ = true;
    written_ = WritePngFile(pixels, path_, &error_);
}

bool PngOutput::Close(std::string* error) {
    if (!shown_)
        *error = "no picture of the page to write to " + path_;
    else if (!written_)
        *error = error_;
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
