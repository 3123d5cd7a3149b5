// Frames from the layer's BGRX pixels.
#include "output/rgb_image.h"

#include <algorithm>

RgbImage ImageFromPixels(const QpmPixels& pixels) {
    RgbImage image;
    image.width = pixels.width;
    image.height = pixels.height;
    image.rgb.resize(size_t(pixels.width) * pixels.height * 3);
    uint8_t* out = image.rgb.data();
    for (int y = 0; y < pixels.height; ++y) {
        const unsigned char* in = pixels.bgrx + size_t(y) * pixels.stride;
        for (int x = 0; x < pixels.width; ++x, in += 4) {
            *out++ = in[2];
            *out++ = in[1];
            *out++ = in[0];
        }
    }
    return image;
}

RgbImage FitImage(const RgbImage& image, int width, int height) {
    RgbImage fitted;
    fitted.width = width;
    fitted.height = height;
    fitted.rgb.assign(size_t(width) * height * 3, 0);
    const int columns = std::min(width, image.width), rows = std::min(height, image.height);
    for (int y = 0; y < rows; ++y)
        std::copy(image.Pixel(0, y), image.Pixel(0, y) + size_t(columns) * 3,
                  &fitted.rgb[size_t(y) * width * 3]);
    return fitted;
}

PixelRect ChangedRect(const RgbImage& before, const RgbImage& after) {
    const size_t rowBytes = size_t(after.width) * 3;
    int top = -1, bottom = -1, left = after.width, right = -1;
    for (int y = 0; y < after.height; ++y) {
        const uint8_t* a = before.Pixel(0, y);
        const uint8_t* b = after.Pixel(0, y);
        if (std::equal(a, a + rowBytes, b)) continue;
        if (top < 0) top = y;
        bottom = y;
        ptrdiff_t first = 0, last = after.width - 1;
        while (std::equal(a + first * 3, a + first * 3 + 3, b + first * 3)) ++first;
        while (std::equal(a + last * 3, a + last * 3 + 3, b + last * 3)) --last;
        left = std::min(left, int(first));
        right = std::max(right, int(last));
    }
    if (top < 0) return PixelRect{};
    return PixelRect{left, top, right - left + 1, bottom - top + 1};
}
