// PNG and animation files.
#include "output/image_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "output/apng_encoder.h"
#include "output/gif_encoder.h"

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string* error) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot write " + path + ": " + strerror(errno);
        return false;
    }
    const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int saved = errno;
    if (fclose(file) != 0 || !written) {
        *error = "cannot write " + path + ": " + strerror(written ? errno : saved);
        return false;
    }
    return true;
}

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

void AnimationOutput::Show(const QpmPixels& pixels) {
    RgbImage frame = ImageFromPixels(pixels);
    if (!frames_.empty() && (frame.width != frames_[0].width || frame.height != frames_[0].height))
        frame = FitImage(frame, frames_[0].width, frames_[0].height);
    frames_.push_back(std::move(frame));
}

bool AnimationOutput::Close(std::string* error) {
    if (frames_.empty()) {
        *error = "no frames to write to " + path_;
        return false;
    }
    std::vector<uint8_t> bytes =
        format_ == Format::kGif ? EncodeGif(frames_, frameMs_) : EncodeApng(frames_, frameMs_);
    if (bytes.empty()) {
        *error = "cannot encode the animation for " + path_;
        return false;
    }
    return WriteFileBytes(path_, bytes, error);
}
