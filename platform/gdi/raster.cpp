// Clipped fills, plots and coverage blending on a surface.
#include "gdi/raster.h"

#include <algorithm>

namespace qpm {
namespace {

// The pieces of `r` that lie in the clip (and in `extra`), one by one.
template <class Fn>
void ForEachVisible(const Canvas& canvas, RECT r, const RECT* extra, Fn&& fn) {
    if (extra) r = RectIntersection(r, *extra);
    if (RectEmpty(r)) return;
    for (const RECT& piece : canvas.clip.Rects()) {
        RECT visible = RectIntersection(r, piece);
        if (!RectEmpty(visible)) fn(visible);
    }
}

// Each 16-bit lane of v (at most 255 * 255 + 127) divided by 255, exactly:
// (x + 1 + (x >> 8)) >> 8 equals x / 255 for every x up to 65152.
uint32_t DivideLanesBy255(uint32_t v) {
    return ((v + 0x00010001u + ((v >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// out = coverage-weighted mix of src over dst, per 8-bit channel, rounded:
// (s * alpha + d * (255 - alpha) + 127) / 255. Red and blue are mixed
// together in the two 16-bit lanes of one word, green in another.
uint32_t Blend(uint32_t dst, uint32_t src, unsigned alpha) {
    const unsigned rest = 255 - alpha;
    const uint32_t redBlue = (src & 0x00FF00FFu) * alpha + (dst & 0x00FF00FFu) * rest + 0x007F007Fu;
    const uint32_t green = ((src >> 8) & 0xFFu) * alpha + ((dst >> 8) & 0xFFu) * rest + 0x7Fu;
    return DivideLanesBy255(redBlue) | (DivideLanesBy255(green) << 8);
}

}  // namespace

void FillPixels(Canvas& canvas, const RECT& r, uint32_t pixel, const RECT* extraClip) {
    Surface& surface = *canvas.surface;
    ForEachVisible(canvas, r, extraClip, [&](const RECT& v) {
        for (int y = v.top; y < v.bottom; ++y)
            std::fill(surface.Row(y) + v.left, surface.Row(y) + v.right, pixel);
    });
}

void PlotPixel(Canvas& canvas, int x, int y, uint32_t pixel) {
    if (canvas.clip.Contains(x, y)) canvas.surface->Row(y)[x] = pixel;
}

void BlendMask(Canvas& canvas, int x, int y, const CoverageMask& mask, uint32_t pixel,
               const RECT* extraClip) {
    Surface& surface = *canvas.surface;
    RECT box{x, y, x + mask.width, y + mask.height};
    ForEachVisible(canvas, box, extraClip, [&](const RECT& v) {
        for (int row = v.top; row < v.bottom; ++row) {
            const uint8_t* cover = mask.coverage + size_t(row - y) * size_t(mask.pitch);
            uint32_t* dst = surface.Row(row);
            for (int col = v.left; col < v.right; ++col) {
                unsigned a = cover[col - x];
                if (a == 255)
                    dst[col] = pixel;
                else if (a != 0)
                    dst[col] = Blend(dst[col], pixel, a);
            }
        }
    });
}

}  // namespace qpm
