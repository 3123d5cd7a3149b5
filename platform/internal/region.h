// A set of pixels described as non-overlapping rectangles.
//
// Clipping needs only three operations: intersect with a rectangle,
// subtract a rectangle (a child or a sibling above), and test or walk
// the pieces. Rectangles are half-open: right and bottom are excluded.
#pragma once

#include "internal/visibility.h"

#include <windows.h>

#include <vector>

namespace qpm {

class QPM_INTERNAL Region {
public:
    Region() = default;
    explicit Region(const RECT& rect);

    void Intersect(const RECT& rect);
    void Subtract(const RECT& rect);
    void Offset(int dx, int dy);

    bool Empty() const { return rects_.empty(); }
    bool Contains(int x, int y) const;
    RECT Bounds() const;
    const std::vector<RECT>& Rects() const { return rects_; }

private:
    std::vector<RECT> rects_;
};

QPM_INTERNAL bool RectEmpty(const RECT& r);
QPM_INTERNAL RECT RectIntersection(const RECT& a, const RECT& b);

}  // namespace qpm
