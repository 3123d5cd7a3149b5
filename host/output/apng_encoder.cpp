// PNG chunks, with the acTL/fcTL/fdAT chunks of the APNG extension.
#include "output/apng_encoder.h"

#include <zlib.h>

#include <string>

namespace {

void PutU32(std::vector<uint8_t>* out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(uint8_t(value >> shift));
}

void PutU16(std::vector<uint8_t>* out, uint16_t value) {
    out->push_back(uint8_t(value >> 8));
    out->push_back(uint8_t(value));
}

void PutChunk(std::vector<uint8_t>* out, const char type[4], const std::vector<uint8_t>& data) {
    PutU32(out, uint32_t(data.size()));
    const size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out->data() + start, uInt(out->size() - start));
    PutU32(out, uint32_t(crc));
}

// Rows with the "Sub" filter (each byte less the one three to its left),
// which suits flat page backgrounds, then deflated.
std::vector<uint8_t> CompressFrame(const RgbImage& image) {
    const size_t rowBytes = size_t(image.width) * 3;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = image.Pixel(0, y);
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

std::vector<uint8_t> FrameControl(uint32_t sequence, const RgbImage& image, int frameMs) {
    std::vector<uint8_t> data;
    PutU32(&data, sequence);
    PutU32(&data, uint32_t(image.width));
    PutU32(&data, uint32_t(image.height));
    PutU32(&data, 0);  // x offset
    PutU32(&data, 0);  // y offset
    PutU16(&data, uint16_t(frameMs));
    PutU16(&data, 1000);  // the delay is frameMs / 1000 seconds
    data.push_back(0);    // dispose: none
    data.push_back(0);    // blend: source
    return data;
}

}  // namespace

std::vector<uint8_t> EncodeApng(const std::vector<RgbImage>& frames, int frameMs) {
    std::vector<uint8_t> out;
    if (frames.empty()) return out;
    const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out.insert(out.end(), signature, signature + 8);

    std::vector<uint8_t> header;
    PutU32(&header, uint32_t(frames[0].width));
    PutU32(&header, uint32_t(frames[0].height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no interlace
    PutChunk(&out, "IHDR", header);

    std::vector<uint8_t> animation;
    PutU32(&animation, uint32_t(frames.size()));
    PutU32(&animation, 0);  // loop forever
    PutChunk(&out, "acTL", animation);

    uint32_t sequence = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        PutChunk(&out, "fcTL", FrameControl(sequence++, frames[i], frameMs));
        std::vector<uint8_t> packed = CompressFrame(frames[i]);
        if (packed.empty()) return {};
        if (i == 0) {
            PutChunk(&out, "IDAT", packed);
        } else {
            std::vector<uint8_t> data;
            PutU32(&data, sequence++);
            data.insert(data.end(), packed.begin(), packed.end());
            PutChunk(&out, "fdAT", data);
        }
    }
    PutChunk(&out, "IEND", {});
    return out;
}
