// Adding a rectangle to an update region. qpm::Region can intersect and
// subtract; a union inside a bounded universe U is U minus ((U minus A)
// minus B), which needs nothing more.
#include "user/user_internal.h"

namespace qpm {
namespace {

bool Covers(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

}  // namespace

void AddRectToRegion(Region* region, const RECT& rect, const RECT& universe) {
    RECT r = RectIntersection(rect, universe);
    if (RectEmpty(r)) return;
    if (region->Empty() || Covers(r, region->Bounds())) {
        *region = Region(r);
        return;
    }
    if (Covers(region->Bounds(), r) && region->Rects().size() == 1) return;
    Region outside(universe);
    for (const RECT& piece : region->Rects()) outside.Subtract(piece);
    outside.Subtract(r);
    Region result(universe);
    for (const RECT& piece : outside.Rects()) result.Subtract(piece);
    *region = result;
}

}  // namespace qpm
