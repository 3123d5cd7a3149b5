// A 32-bit pixel surface: a top-level window's client area or a bitmap.
//
// Pixels are uint32_t 0x00RRGGBB, so the bytes in memory are B, G, R, X.
// Windows and the DCs drawing on them share a surface through
// shared_ptr, so a DC held across a window's destruction never draws
// into freed memory.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace qpm {

struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // width * height, row-major
    DWORD version = 0;             // bumped by every drawing call

    Surface(int w, int h, uint32_t fill) { Resize(w, h, fill); }

    void Resize(int w, int h, uint32_t fill) {
        width = w > 0 ? w : 0;
        height = h > 0 ? h : 0;
        pixels.assign(size_t(width) * size_t(height), fill);
        ++version;
    }
    uint32_t* Row(int y) { return pixels.data() + size_t(y) * size_t(width); }
    const uint32_t* Row(int y) const { return pixels.data() + size_t(y) * size_t(width); }
};

using SurfacePtr = std::shared_ptr<Surface>;

// COLORREF is 0x00BBGGRR; a pixel is 0x00RRGGBB.
inline uint32_t PixelFromColor(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF ColorFromPixel(uint32_t p) {
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}

}  // namespace qpm
