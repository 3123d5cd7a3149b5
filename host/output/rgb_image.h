// One frame of an animation: 8-bit RGB pixels, row by row.
#pragma once

#include <qpm_platform.h>

#include <cstdint>
#include <vector>

struct RgbImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3 bytes

    const uint8_t* Pixel(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// A copy of a window's or bitmap's pixels.
RgbImage ImageFromPixels(const QpmPixels& pixels);

// The image cut or padded (with black) to width x height, from the top left.
RgbImage FitImage(const RgbImage& image, int width, int height);
