// Reading PNGs with libpng's simplified API.
#include "host/e2e/png_image.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

int PngImage::Count(int x, int y, int w, int h, uint32_t rgb) const {
    int n = 0;
    for (int row = std::max(0, y); row < std::min(height, y + h); ++row)
        for (int column = std::max(0, x); column < std::min(width, x + w); ++column)
            if (At(column, row) == rgb) ++n;
    return n;
}

int PngImage::CountNear(int x, int y, int w, int h, uint32_t rgb, int tolerance) const {
    auto channel = [](uint32_t c, int shift) { return int((c >> shift) & 0xFF); };
    int n = 0;
    for (int row = std::max(0, y); row < std::min(height, y + h); ++row) {
        for (int column = std::max(0, x); column < std::min(width, x + w); ++column) {
            const uint32_t c = At(column, row);
            int distance = 0;
            for (int shift : {0, 8, 16})
                distance += std::abs(channel(c, shift) - channel(rgb, shift));
            if (distance <= tolerance) ++n;
        }
    }
    return n;
}

bool ReadPng(const std::string& path, PngImage* image) {
    png_image png;
    memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
    png.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&png);
        return false;
    }
    image->width = int(png.width);
    image->height = int(png.height);
    image->pixels.resize(size_t(png.width) * png.height);
    for (size_t i = 0; i < image->pixels.size(); ++i)
        image->pixels[i] =
            uint32_t(rgb[i * 3]) << 16 | uint32_t(rgb[i * 3 + 1]) << 8 | rgb[i * 3 + 2];
    return true;
}
