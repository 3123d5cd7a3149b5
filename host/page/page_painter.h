// Drawing the page's text blocks: headings and paragraphs in Arial,
// wrapped to the content width with DrawTextA.
#pragma once

#include <windows.h>

#include "page/layout.h"
#include "page/page.h"

// The height of a text block wrapped to `width` pixels.
int MeasureTextBlock(HDC dc, const PageBlock& block, int width);

// Draws every text block of the page at its place; components are not
// drawn (they paint themselves, or print through message 1030).
void PaintTextBlocks(HDC dc, const Page& page, const PageLayout& layout);
