// Colour reduction with libimagequant, nearest colours by search.
#include "output/gif_palette.h"

#include <libimagequant.h>

#include <climits>

namespace {

// Enough for every colour of a page; a page with more forgets and starts again.
constexpr size_t kMostRemembered = 1 << 16;

int SquaredDistance(uint32_t a, uint32_t b) {
    const int dr = int(a >> 16) - int(b >> 16);
    const int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
    const int db = int(a & 0xFF) - int(b & 0xFF);
    return dr * dr + dg * dg + db * db;
}

}  // namespace

bool GifPalette::Quantize(const RgbImage& image, const PixelRect& rect, int maxColours,
                          int maxQuality) {
    colours_.clear();
    nearest_.clear();
    std::vector<uint8_t> rgba;
    rgba.reserve(size_t(rect.width) * rect.height * 4);
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        const uint8_t* p = image.Pixel(rect.x, y);
        for (int x = 0; x < rect.width; ++x, p += 3)
            rgba.insert(rgba.end(), {p[0], p[1], p[2], 255});
    }
    liq_attr* attributes = liq_attr_create();
    if (attributes == nullptr) return false;
    liq_set_max_colors(attributes, maxColours);
    liq_set_quality(attributes, 0, maxQuality);
    liq_image* input = liq_image_create_rgba(attributes, rgba.data(), rect.width, rect.height, 0);
    liq_result* result = nullptr;
    if (input != nullptr && liq_image_quantize(input, attributes, &result) == LIQ_OK) {
        const liq_palette* palette = liq_get_palette(result);
        for (unsigned i = 0; i < palette->count; ++i) {
            const liq_color& c = palette->entries[i];
            colours_.push_back(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
        }
        liq_result_destroy(result);
    }
    if (input != nullptr) liq_image_destroy(input);
    liq_attr_destroy(attributes);
    return !colours_.empty();
}

void GifPalette::Extend(const std::vector<uint32_t>& more) {
    colours_.insert(colours_.end(), more.begin(), more.end());
    nearest_.clear();  // some colours may be nearer to a new entry
}

uint8_t GifPalette::Nearest(uint32_t rgb, int* distance) {
    auto known = nearest_.find(rgb);
    if (known == nearest_.end()) {
        Match best{0, INT_MAX};
        for (size_t i = 0; i < colours_.size() && best.distance > 0; ++i) {
            const int d = SquaredDistance(rgb, colours_[i]);
            if (d < best.distance) best = Match{uint8_t(i), d};
        }
        if (nearest_.size() >= kMostRemembered) nearest_.clear();
        known = nearest_.emplace(rgb, best).first;
    }
    if (distance) *distance = known->second.distance;
    return known->second.index;
}
