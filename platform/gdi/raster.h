// Pixel primitives on a canvas, in surface coordinates, always clipped
// to the canvas's region (and to an extra rectangle when one is given).
#pragma once

#include "gdi/dc.h"

#include <cstdint>

namespace qpm {

// Fills the half-open rectangle `r` with `pixel`.
void FillPixels(Canvas& canvas, const RECT& r, uint32_t pixel, const RECT* extraClip = nullptr);

// Sets one pixel if it is inside the clip.
void PlotPixel(Canvas& canvas, int x, int y, uint32_t pixel);

// An 8-bit coverage mask (0 = untouched, 255 = `pixel`), `pitch` bytes
// per row, whose top-left lands at (x, y).
struct CoverageMask {
    const uint8_t* coverage;
    int width;
    int height;
    int pitch;
};
void BlendMask(Canvas& canvas, int x, int y, const CoverageMask& mask, uint32_t pixel,
               const RECT* extraClip);

}  // namespace qpm
