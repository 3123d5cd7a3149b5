// BitBlt with SRCCOPY: a block copy clipped to the source surface and to
// the destination DC's clip.
#include "dc.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace qpm;

namespace {

// Shrinks the block so the source lies inside its surface, moving the
// destination along with it. False when nothing is left.
bool ClipToSource(const Surface& source, POINT* from, RECT* to) {
    int dx = std::max(0, -int(from->x)), dy = std::max(0, -int(from->y));
    from->x += dx;
    from->y += dy;
    to->left += dx;
    to->top += dy;
    int w = std::min<int>(to->right - to->left, source.width - from->x);
    int h = std::min<int>(to->bottom - to->top, source.height - from->y);
    if (w <= 0 || h <= 0) return false;
    to->right = to->left + w;
    to->bottom = to->top + h;
    return true;
}

// Copies the source block into each visible piece of the destination.
// When both are one surface the block is copied out first, so an
// overlapping move reads the old pixels.
void CopyBlock(Canvas& dest, const SurfacePtr& source, POINT from, const RECT& to) {
    const Surface* src = source.get();
    Surface staged(0, 0, 0);
    if (source == dest.surface) {
        int w = to.right - to.left, h = to.bottom - to.top;
        staged.Resize(w, h, 0);
        for (int row = 0; row < h; ++row)
            std::memcpy(staged.Row(row), src->Row(from.y + row) + from.x, size_t(w) * 4);
        src = &staged;
        from = POINT{0, 0};
    }
    for (const RECT& piece : dest.clip.Rects()) {
        RECT v = RectIntersection(piece, to);
        if (RectEmpty(v)) continue;
        for (int y = v.top; y < v.bottom; ++y) {
            const uint32_t* in = src->Row(from.y + (y - to.top)) + from.x + (v.left - to.left);
            std::memcpy(dest.surface->Row(y) + v.left, in, size_t(v.right - v.left) * 4);
        }
    }
}

}  // namespace

BOOL WINAPI BitBlt(HDC destDc, int x, int y, int width, int height, HDC srcDc, int srcX, int srcY,
                   DWORD rop) {
    DeviceContext* dest = FindDC(destDc);
    DeviceContext* src = FindDC(srcDc);
    if (!dest || !src) return FALSE;
    if (rop != SRCCOPY) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Canvas to, from;
    if (width <= 0 || height <= 0 || !OpenCanvas(*dest, &to) || !OpenCanvas(*src, &from))
        return TRUE;
    RECT block{to.X(x), to.Y(y), to.X(x) + width, to.Y(y) + height};
    POINT origin{from.X(srcX), from.Y(srcY)};
    if (!ClipToSource(*from.surface, &origin, &block)) return TRUE;
    CopyBlock(to, from.surface, origin, block);
    to.Changed();
    return TRUE;
}
