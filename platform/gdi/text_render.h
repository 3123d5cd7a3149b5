// Drawing a run of Windows-1252 text on a canvas, shared by ExtTextOutA
// and DrawTextA.
#pragma once

#include "gdi/dc.h"
#include "gdi/font_cache.h"

#include <cstdint>

namespace qpm {

// The advance widths of the bytes summed (no kerning), or of `dx` when
// given (dx[i] is the distance from byte i to byte i + 1).
int TextWidth(const FontInstance& font, const char* text, int count, const INT* dx = nullptr);

struct TextStyle {
    uint32_t text = 0;
    uint32_t background = 0xFFFFFF;
    bool opaque = false;  // fill the character cell with `background` first
};

// Draws the run with the top-left of its character cell at (x, y),
// surface coordinates: the cell background when opaque, the glyphs
// blended by their coverage, then underline and strike-out bars.
// Nothing lands outside the canvas clip or `clip` when given.
void DrawTextRun(Canvas& canvas, const FontInstance& font, int x, int y, const char* text,
                 int count, const INT* dx, const TextStyle& style, const RECT* clip);

// A horizontal bar of the text colour under part of a run (the prefix
// underline of DrawTextA): `left` and `width` in surface pixels.
void DrawUnderlineBar(Canvas& canvas, const FontInstance& font, int left, int width, int y,
                      uint32_t pixel, const RECT* clip);

}  // namespace qpm
