// A small APNG reader for the tests.
#include "host/e2e/apng_frames.h"

#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

uint32_t U32(const std::string& s, size_t at) {
    return uint32_t(uint8_t(s[at])) << 24 | uint32_t(uint8_t(s[at + 1])) << 16 |
           uint32_t(uint8_t(s[at + 2])) << 8 | uint8_t(s[at + 3]);
}

struct Region {
    uint32_t width = 0, height = 0, x = 0, y = 0;
};

int Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Inflates and unfilters the region's rows into `screen`.
bool Draw(const std::string& packed, const Region& r, int width, std::vector<uint32_t>* screen) {
    const size_t stride = size_t(r.width) * 3;
    std::string raw((stride + 1) * r.height, '\0');
    uLongf size = raw.size();
    if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &size,
                   reinterpret_cast<const Bytef*>(packed.data()), packed.size()) != Z_OK ||
        size != raw.size())
        return false;
    std::vector<uint8_t> previous(stride, 0), row(stride);
    for (uint32_t y = 0; y < r.height; ++y) {
        const uint8_t filter = uint8_t(raw[y * (stride + 1)]);
        for (size_t i = 0; i < stride; ++i) {
            const int a = i >= 3 ? row[i - 3] : 0, b = previous[i],
                      c = i >= 3 ? previous[i - 3] : 0;
            const int predictor = filter == 1   ? a
                                  : filter == 2 ? b
                                  : filter == 3 ? (a + b) / 2
                                  : filter == 4 ? Paeth(a, b, c)
                                                : 0;
            if (filter > 4) return false;
            row[i] = uint8_t(uint8_t(raw[y * (stride + 1) + 1 + i]) + predictor);
        }
        for (uint32_t x = 0; x < r.width; ++x)
            (*screen)[size_t(r.y + y) * width + r.x + x] =
                uint32_t(row[x * 3]) << 16 | uint32_t(row[x * 3 + 1]) << 8 | row[x * 3 + 2];
        previous = row;
    }
    return true;
}

}  // namespace

bool ForEachApngFrame(const std::string& path, ApngInfo* info,
                      const std::function<void(int, const std::vector<uint32_t>&)>& frame,
                      std::string* error) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    const std::string file = content.str();
    if (file.size() < 8 || file.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) {
        *error = "not a PNG";
        return false;
    }
    std::vector<uint32_t> screen;
    Region region;
    std::string packed;
    int index = 0;
    bool inFrame = false;
    auto finishFrame = [&]() {
        if (!inFrame) return true;
        inFrame = false;
        if (!Draw(packed, region, info->width, &screen)) return false;
        frame(index++, screen);
        return true;
    };
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = U32(file, at);
        if (at + 12 + length > file.size()) break;
        const std::string type = file.substr(at + 4, 4), data = file.substr(at + 8, length);
        const uLong crc = crc32(crc32(0, nullptr, 0),
                                reinterpret_cast<const Bytef*>(file.data() + at + 4), length + 4);
        if (U32(file, at + 8 + length) != uint32_t(crc)) {
            *error = "bad CRC in " + type;
            return false;
        }
        at += 12 + length;
        if (type == "IHDR") {
            info->width = int(U32(data, 0));
            info->height = int(U32(data, 4));
            if (data[8] != 8 || data[9] != 2 || data[12] != 0) {
                *error = "not 8-bit RGB without interlace";
                return false;
            }
            screen.assign(size_t(info->width) * info->height, 0);
        } else if (type == "acTL") {
            info->frames = U32(data, 0);
            info->plays = U32(data, 4);
        } else if (type == "fcTL") {
            if (!finishFrame()) break;
            region = Region{U32(data, 4), U32(data, 8), U32(data, 12), U32(data, 16)};
            if (data[24] != 0 || data[25] != 0) {
                *error = "a frame disposed of or blended: not what qpmhost writes";
                return false;
            }
            if (region.x + region.width > uint32_t(info->width) ||
                region.y + region.height > uint32_t(info->height)) {
                *error = "a frame outside the picture";
                return false;
            }
            packed.clear();
            inFrame = true;
        } else if (type == "IDAT" && inFrame) {
            packed += data;
        } else if (type == "fdAT") {
            packed += data.substr(4);
        } else if (type == "IEND") {
            if (!finishFrame()) break;
            return true;
        }
    }
    *error = "cannot read frame " + std::to_string(index);
    return false;
}
