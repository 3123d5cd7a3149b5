// BitBlt: a block of the source combined with the destination by a
// raster operation, clipped to the source surface and to the
// destination DC's clip.
//
// The operation is GDI's ternary code (bits 16 to 23 of the DWORD; the
// low word only describes it): bit P*4 + S*2 + D of the code is the
// result for pattern bit P, source bit S and destination bit D. Every
// operation of source and destination alone is carried out (SRCCOPY,
// SRCPAINT, SRCAND, SRCINVERT, SRCERASE, NOTSRCCOPY, NOTSRCERASE,
// DSTINVERT, BLACKNESS, WHITENESS and the rest of the sixteen); those
// that involve the brush pattern are refused. An operation that ignores
// the source needs no source DC and is not clipped to one.
#include "gdi/dc.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

using namespace qpm;

namespace {

constexpr uint8_t kSourceCopy = 0xCC;

uint8_t OperationCode(DWORD rop) { return uint8_t(rop >> 16); }

bool UsesPattern(uint8_t code) { return (code >> 4) != (code & 0x0F); }

bool UsesSource(uint8_t code) { return ((code >> 2) & 0x33) != (code & 0x33); }

// The operation applied to every bit of a pixel at once.
uint32_t Combine(uint8_t code, uint32_t source, uint32_t dest) {
    uint32_t out = 0;
    for (int k = 0; k < 4; ++k) {
        if (!((code >> k) & 1)) continue;
        out |= ((k & 2) ? source : ~source) & ((k & 1) ? dest : ~dest);
    }
    return out & 0xFFFFFF;
}

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

// One row of the operation: `in` is the source row (nullptr when the
// operation ignores the source).
void CombineRow(uint8_t code, const uint32_t* in, uint32_t* out, int count) {
    if (code == kSourceCopy) {
        std::memcpy(out, in, size_t(count) * 4);
        return;
    }
    for (int i = 0; i < count; ++i) out[i] = Combine(code, in ? in[i] : 0, out[i]);
}

// The operation over each visible piece of the destination block; the
// source block starts at `from` (ignored without a source).
void CombineBlock(Canvas& dest, const Surface* src, POINT from, const RECT& to, uint8_t code) {
    for (const RECT& piece : dest.clip.Rects()) {
        RECT v = RectIntersection(piece, to);
        if (RectEmpty(v)) continue;
        for (int y = v.top; y < v.bottom; ++y) {
            const uint32_t* in =
                src ? src->Row(from.y + (y - to.top)) + from.x + (v.left - to.left) : nullptr;
            CombineRow(code, in, dest.surface->Row(y) + v.left, v.right - v.left);
        }
    }
}

// When source and destination are one surface the block is copied out
// first, so an overlapping move reads the old pixels.
void BlitFromSource(Canvas& dest, const SurfacePtr& source, POINT from, const RECT& to,
                    uint8_t code) {
    if (source != dest.surface) return CombineBlock(dest, source.get(), from, to, code);
    int w = to.right - to.left, h = to.bottom - to.top;
    Surface staged(w, h, 0);
    for (int row = 0; row < h; ++row)
        std::memcpy(staged.Row(row), source->Row(from.y + row) + from.x, size_t(w) * 4);
    CombineBlock(dest, &staged, POINT{0, 0}, to, code);
}

void BlitWithSource(Canvas& to, DeviceContext& src, int srcX, int srcY, RECT block, uint8_t code) {
    Canvas from;
    if (!OpenCanvas(src, &from)) return;
    POINT origin{from.X(srcX), from.Y(srcY)};
    if (ClipToSource(*from.surface, &origin, &block))
        BlitFromSource(to, from.surface, origin, block, code);
}

}  // namespace

BOOL WINAPI BitBlt(HDC destDc, int x, int y, int width, int height, HDC srcDc, int srcX, int srcY,
                   DWORD rop) {
    DeviceContext* dest = FindDC(destDc);
    if (!dest) return FALSE;
    uint8_t code = OperationCode(rop);
    if (UsesPattern(code)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DeviceContext* src = UsesSource(code) ? FindDC(srcDc) : nullptr;
    if (UsesSource(code) && !src) return FALSE;
    Canvas to;
    if (width <= 0 || height <= 0 || !OpenCanvas(*dest, &to)) return TRUE;
    RECT block{to.X(x), to.Y(y), to.X(x) + width, to.Y(y) + height};
    if (src)
        BlitWithSource(to, *src, srcX, srcY, block, code);
    else
        CombineBlock(to, nullptr, POINT{0, 0}, block, code);
    to.Changed();
    return TRUE;
}
