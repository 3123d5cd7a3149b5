// PNG chunks, with the acTL/fcTL/fdAT chunks of the APNG extension.
#include "output/apng_writer.h"

#include <zlib.h>

namespace {

void PutU32(std::vector<uint8_t>* out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(uint8_t(value >> shift));
}

void PutU16(std::vector<uint8_t>* out, uint16_t value) {
    out->push_back(uint8_t(value >> 8));
    out->push_back(uint8_t(value));
}

std::vector<uint8_t> Chunk(const char type[4], const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out;
    PutU32(&out, uint32_t(data.size()));
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out.data() + 4, uInt(out.size() - 4));
    PutU32(&out, uint32_t(crc));
    return out;
}

std::vector<uint8_t> AnimationControl(uint32_t frames) {
    std::vector<uint8_t> data;
    PutU32(&data, frames);
    PutU32(&data, 0);  // loop for ever
    return Chunk("acTL", data);
}

// The rows of `rect` with the "Sub" filter (each byte less the one three
// to its left), which suits flat page backgrounds, then deflated.
std::vector<uint8_t> CompressRect(const RgbImage& image, const PixelRect& rect) {
    const size_t rowBytes = size_t(rect.width) * 3;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * rect.height);
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        const uint8_t* row = image.Pixel(rect.x, y);
        raw.push_back(1);
        for (size_t i = 0; i < rowBytes; ++i)
            raw.push_back(uint8_t(row[i] - (i >= 3 ? row[i - 3] : 0)));
    }
    uLongf size = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(size);
    if (compress2(packed.data(), &size, raw.data(), uLong(raw.size()), 6) != Z_OK) return {};
    packed.resize(size);
    return packed;
}

std::vector<uint8_t> FrameControl(uint32_t sequence, const PixelRect& rect, int frameMs) {
    std::vector<uint8_t> data;
    PutU32(&data, sequence);
    PutU32(&data, uint32_t(rect.width));
    PutU32(&data, uint32_t(rect.height));
    PutU32(&data, uint32_t(rect.x));
    PutU32(&data, uint32_t(rect.y));
    PutU16(&data, uint16_t(frameMs));
    PutU16(&data, 1000);  // the delay is frameMs / 1000 seconds
    data.push_back(0);    // dispose: none, the next frame is drawn over this one
    data.push_back(0);    // blend: source, the rectangle replaces what was there
    return data;
}

}  // namespace

bool ApngWriter::PutChunk(const char type[4], const std::vector<uint8_t>& data,
                          std::string* error) {
    const std::vector<uint8_t> chunk = Chunk(type, data);
    if (file_->Write(chunk.data(), chunk.size())) return true;
    *error = file_->Error();
    return false;
}

bool ApngWriter::BeginFile(const RgbImage& first, std::string* error) {
    const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!file_->Write(signature, sizeof signature)) {
        *error = file_->Error();
        return false;
    }
    std::vector<uint8_t> header;
    PutU32(&header, uint32_t(first.width));
    PutU32(&header, uint32_t(first.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no interlace
    if (!PutChunk("IHDR", header, error)) return false;
    animationControl_ = file_->size();
    const std::vector<uint8_t> control = AnimationControl(0);  // the count comes at the end
    if (file_->Write(control.data(), control.size())) return true;
    *error = file_->Error();
    return false;
}

bool ApngWriter::AddFrame(const RgbImage& frame, std::string* error) {
    if (frames_ == 0 && !BeginFile(frame, error)) return false;
    PixelRect rect{0, 0, frame.width, frame.height};
    if (frames_ > 0) {
        rect = ChangedRect(previous_, frame);
        // A frame must cover a pixel at least: an unchanged one will do.
        if (rect.Empty()) rect = PixelRect{0, 0, 1, 1};
    }
    if (!PutChunk("fcTL", FrameControl(sequence_++, rect, frameMs_), error)) return false;
    const std::vector<uint8_t> packed = CompressRect(frame, rect);
    if (packed.empty()) {
        *error = "cannot compress a frame for " + file_->path();
        return false;
    }
    if (frames_ == 0) {
        if (!PutChunk("IDAT", packed, error)) return false;
    } else {
        std::vector<uint8_t> data;
        PutU32(&data, sequence_++);
        data.insert(data.end(), packed.begin(), packed.end());
        if (!PutChunk("fdAT", data, error)) return false;
    }
    ++frames_;
    previous_ = frame;
    return true;
}

bool ApngWriter::Finish(std::string* error) {
    if (!PutChunk("IEND", {}, error)) return false;
    const std::vector<uint8_t> control = AnimationControl(frames_);
    if (file_->WriteAt(animationControl_, control.data(), control.size())) return true;
    *error = file_->Error();
    return false;
}
