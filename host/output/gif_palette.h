// The colours of a GIF frame: a palette made by libimagequant from the
// pixels of a rectangle, and for each pixel the palette's entry nearest
// to it. Pages hold few distinct colours (flat backgrounds, anti-aliased
// text), so every colour's nearest entry is looked up once and kept.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "output/rgb_image.h"

class GifPalette {
public:
    // A palette of at most `maxColours` (2 to 256) entries for the pixels
    // of `rect`, fewer when fewer reach `maxQuality` (libimagequant's 0 to
    // 100); false when the quantizer fails.
    bool Quantize(const RgbImage& image, const PixelRect& rect, int maxColours,
                  int maxQuality = 100);
    // Entries as 0xRRGGBB.
    const std::vector<uint32_t>& colours() const { return colours_; }
    // Appends entries (the ones there keep their indices).
    void Extend(const std::vector<uint32_t>& more);

    // The entry nearest to `rgb`, and how far it is (squared RGB distance).
    uint8_t Nearest(uint32_t rgb, int* distance = nullptr);

private:
    struct Match {
        uint8_t index;
        int distance;
    };
    std::vector<uint32_t> colours_;
    std::unordered_map<uint32_t, Match> nearest_;
};
