// Rectangle-list regions for clipping.
#include "internal/region.h"

#include <algorithm>

namespace qpm {

bool RectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT RectIntersection(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (RectEmpty(r)) r = RECT{0, 0, 0, 0};
    return r;
}

Region::Region(const RECT& rect) {
    if (!RectEmpty(rect)) rects_.push_back(rect);
}

void Region::Intersect(const RECT& rect) {
    std::vector<RECT> kept;
    for (const RECT& r : rects_) {
        RECT i = RectIntersection(r, rect);
        if (!RectEmpty(i)) kept.push_back(i);
    }
    rects_.swap(kept);
}

// Each rectangle minus `cut` leaves at most four pieces: the bands above
// and below the cut, and the parts left and right of it within its rows.
void Region::Subtract(const RECT& cut) {
    if (RectEmpty(cut)) return;
    std::vector<RECT> kept;
    for (const RECT& r : rects_) {
        RECT i = RectIntersection(r, cut);
        if (RectEmpty(i)) {
            kept.push_back(r);
            continue;
        }
        if (r.top < i.top) kept.push_back(RECT{r.left, r.top, r.right, i.top});
        if (i.bottom < r.bottom) kept.push_back(RECT{r.left, i.bottom, r.right, r.bottom});
        if (r.left < i.left) kept.push_back(RECT{r.left, i.top, i.left, i.bottom});
        if (i.right < r.right) kept.push_back(RECT{i.right, i.top, r.right, i.bottom});
    }
    rects_.swap(kept);
}

void Region::Offset(int dx, int dy) {
    for (RECT& r : rects_) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    }
}

bool Region::Contains(int x, int y) const {
    for (const RECT& r : rects_)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

RECT Region::Bounds() const {
    if (rects_.empty()) return RECT{0, 0, 0, 0};
    RECT b = rects_.front();
    for (const RECT& r : rects_) {
        b.left = std::min(b.left, r.left);
        b.top = std::min(b.top, r.top);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

}  // namespace qpm
