// One frame of an animation: 8-bit RGB pixels, row by row.
#pragma once

#include <qpm_platform.h>

#include <cstdint>
#include <vector>

struct RgbImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3 bytes

    const uint8_t* Pixel(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
    uint32_t At(int x, int y) const {
        const uint8_t* p = Pixel(x, y);
        return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
};

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
};

// A copy of a window's or bitmap's pixels.
RgbImage ImageFromPixels(const QpmPixels& pixels);

// The image cut or padded (with black) to width x height, from the top left.
RgbImage FitImage(const RgbImage& image, int width, int height);

// The smallest rectangle holding every pixel in which two images of one
// size differ; empty when they are equal.
PixelRect ChangedRect(const RgbImage& before, const RgbImage& after);
