// Line rasterisation. A one-pixel line steps along its major axis and
// rounds the minor coordinate to the nearest pixel, a tie going to the
// smaller coordinate whichever way the line runs, so a reversed line
// sets the same interior pixels. Wide lines stamp a round pen tip.
#include "gdi/stroke.h"

#include "gdi/objects.h"
#include "gdi/raster.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace qpm {
namespace {

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// num/den rounded to the nearest integer, halves going down (den > 0).
int64_t RoundHalfDown(int64_t num, int64_t den) { return -FloorDiv(den - 2 * num, 2 * den); }

// The step indices i in [0, steps) whose major coordinate
// start + dir*i lies in [lo, hi), widened by `margin` on both sides.
void StepRange(int start, int dir, int lo, int hi, int margin, int64_t steps, int64_t* first,
               int64_t* last) {
    int64_t a = dir > 0 ? int64_t(lo) - margin - start : int64_t(start) - (hi - 1) - margin;
    int64_t b = dir > 0 ? int64_t(hi) - 1 + margin - start : int64_t(start) - lo + margin;
    *first = std::max<int64_t>(0, a);
    *last = std::min<int64_t>(steps - 1, b);
}

// Calls plot(x, y) for each point of the line, the first `steps` of them
// (steps = length for a thin line, length + 1 to include the end).
template <class Plot>
void WalkLine(const Canvas& canvas, POINT a, POINT b, int64_t extra, int margin, Plot&& plot) {
    int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    bool xMajor = std::llabs(dx) >= std::llabs(dy);
    int64_t length = std::max(std::llabs(dx), std::llabs(dy));
    int64_t steps = length + extra;
    if (steps <= 0) return;
    RECT bounds = canvas.clip.Bounds();
    int dir = (xMajor ? dx : dy) >= 0 ? 1 : -1;
    int64_t first, last;
    if (xMajor)
        StepRange(a.x, dir, bounds.left, bounds.right, margin, steps, &first, &last);
    else
        StepRange(a.y, dir, bounds.top, bounds.bottom, margin, steps, &first, &last);
    for (int64_t i = first; i <= last; ++i) {
        int64_t minor = length ? RoundHalfDown((xMajor ? dy : dx) * i, length) : 0;
        int64_t major = int64_t(dir) * i;
        if (xMajor)
            plot(int(a.x + major), int(a.y + minor));
        else
            plot(int(a.x + minor), int(a.y + major));
    }
}

// A pen tip of width w as rows of [left, right) offsets from its centre
// point: a disc that, at width 3, is a plus sign. Even widths are
// centred half a pixel up and left.
struct TipRow {
    int dy, left, right;
};

std::vector<TipRow> PenTip(int width) {
    std::vector<TipRow> rows;
    int half = width / 2, even = width % 2 ? 0 : 1;
    int64_t limit = int64_t(width) * (width - 1);
    for (int dy = -half; dy < width - half; ++dy) {
        int left = INT_MAX, right = INT_MIN;
        for (int dx = -half; dx < width - half; ++dx) {
            int64_t ex = 2 * dx + even, ey = 2 * dy + even;  // doubled distance from the centre
            if (ex * ex + ey * ey > limit) continue;
            left = std::min(left, dx);
            right = std::max(right, dx + 1);
        }
        if (left < right) rows.push_back(TipRow{dy, left, right});
    }
    return rows;
}

// A thin horizontal or vertical line is the run of pixels from its start
// up to its end point, which it leaves out: one fill rather than a
// clipped plot per pixel (borders and bevels are made of these).
bool StrokeStraight(Canvas& canvas, const Stroke& stroke, POINT from, POINT to) {
    const auto near = [](int v) { return v > -(1 << 30) && v < (1 << 30); };  // no overflow below
    if (!near(from.x) || !near(from.y) || !near(to.x) || !near(to.y)) return false;
    if (from.y == to.y && from.x != to.x) {
        int left = from.x < to.x ? from.x : to.x + 1;
        int right = from.x < to.x ? to.x : from.x + 1;
        FillPixels(canvas, RECT{left, from.y, right, from.y + 1}, stroke.pixel);
        return true;
    }
    if (from.x == to.x && from.y != to.y) {
        int top = from.y < to.y ? from.y : to.y + 1;
        int bottom = from.y < to.y ? to.y : from.y + 1;
        FillPixels(canvas, RECT{from.x, top, from.x + 1, bottom}, stroke.pixel);
        return true;
    }
    return false;
}

}  // namespace

Stroke StrokeOf(const DeviceContext& dc) {
    Stroke stroke;
    auto* pen = FindObjectAs<PenObject>(dc.pen, OBJ_PEN);
    if (!pen) return stroke;
    stroke.visible = pen->style != PS_NULL;
    stroke.width = pen->width > 1 ? pen->width : 1;
    stroke.pixel = PixelFromColor(pen->color);
    return stroke;
}

void StrokeSegment(Canvas& canvas, const Stroke& stroke, POINT from, POINT to) {
    if (!stroke.visible || canvas.clip.Empty()) return;
    if (stroke.width <= 1 && StrokeStraight(canvas, stroke, from, to)) return;
    if (stroke.width <= 1) {
        WalkLine(canvas, from, to, 0, 0,
                 [&](int x, int y) { PlotPixel(canvas, x, y, stroke.pixel); });
        return;
    }
    std::vector<TipRow> tip = PenTip(stroke.width);
    WalkLine(canvas, from, to, 1, stroke.width, [&](int x, int y) {
        for (const TipRow& row : tip)
            FillPixels(canvas, RECT{x + row.left, y + row.dy, x + row.right, y + row.dy + 1},
                       stroke.pixel);
    });
}

}  // namespace qpm
