// GDI's text metrics for a FreeType face at a LOGFONTA's height.
#pragma once

#include "gdi/font_cache.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace qpm {

// Fills `out` and returns the em size to render at, in 26.6 pixels.
// lfHeight < 0 asks for an em of -lfHeight pixels; lfHeight > 0 for a
// cell (ascent + descent) of lfHeight pixels; 0 for a 16-pixel cell.
long ComputeMetrics(FT_Face face, const LOGFONTA& log, FontMetrics* out);

}  // namespace qpm
