// PNG files read back with libpng, for checking pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngImage {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, row by row

    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
    // How many pixels of the rectangle have exactly this colour.
    int Count(int x, int y, int w, int h, uint32_t rgb) const;
    // How many are within `tolerance` of it (the sum of the channels'
    // differences): glyph pixels that anti-aliasing mixed a little.
    int CountNear(int x, int y, int w, int h, uint32_t rgb, int tolerance = 96) const;
};

// False when the file is missing or not a PNG.
bool ReadPng(const std::string& path, PngImage* image);

// 0x00BBGGRR (a COLORREF) as 0x00RRGGBB.
inline uint32_t RgbOf(uint32_t colorref) {
    return (colorref & 0xFF) << 16 | (colorref & 0xFF00) | (colorref >> 16 & 0xFF);
}
