// Frames from the layer's BGRX pixels.
#include "rgb_image.h"

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
