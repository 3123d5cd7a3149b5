// Pen strokes: the pixels a line segment sets, GDI's way.
#pragma once

#include "gdi/dc.h"

#include <cstdint>

namespace qpm {

struct Stroke {
    bool visible = true;  // false for PS_NULL
    int width = 1;        // 0 is drawn as 1
    uint32_t pixel = 0;
};

// The stroke of the pen selected into the DC.
Stroke StrokeOf(const DeviceContext& dc);

// Draws from `from` to `to` in surface coordinates. A one-pixel stroke
// sets the start point and leaves out the end point; a wider stroke
// covers both ends with round caps.
void StrokeSegment(Canvas& canvas, const Stroke& stroke, POINT from, POINT to);

}  // namespace qpm
