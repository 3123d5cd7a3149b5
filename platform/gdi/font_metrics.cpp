// Cell metrics the way GDI derives them from a TrueType face: ascent and
// descent from the OS/2 "Windows" values, the external leading from what
// the hhea line gap adds beyond them.
#include "gdi/font_metrics.h"

#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qpm {
namespace {

constexpr int kDefaultCell = 16;
constexpr int kLargestHeight = 2048;  // keeps absurd sizes from exhausting memory

struct DesignMetrics {
    double upem, ascent, descent, lineGap, avgWidth, strikePos, strikeSize;
};

DesignMetrics DesignOf(FT_Face face) {
    DesignMetrics d{};
    d.upem = face->units_per_EM ? face->units_per_EM : 2048;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        d.ascent = os2->usWinAscent;
        d.descent = os2->usWinDescent;
        d.avgWidth = os2->xAvgCharWidth;
        d.strikePos = os2->yStrikeoutPosition;
        d.strikeSize = os2->yStrikeoutSize;
    } else {
        d.ascent = face->ascender;
        d.descent = -face->descender;
    }
    if (d.ascent + d.descent <= 0) {
        d.ascent = d.upem * 0.8;
        d.descent = d.upem * 0.2;
    }
    if (d.avgWidth <= 0) d.avgWidth = d.upem / 2;
    if (hhea) {
        double hheaSpan = hhea->Ascender - hhea->Descender + hhea->Line_Gap;
        d.lineGap = std::max(0.0, hheaSpan - (d.ascent + d.descent));
    }
    if (d.strikeSize <= 0) {
        d.strikePos = d.upem * 0.26;
        d.strikeSize = d.upem * 0.05;
    }
    return d;
}

int Round(double v) { return int(std::lround(v)); }

// Underline and strike-out bars, kept inside the cell.
void PlaceBars(FT_Face face, const DesignMetrics& d, double scale, FontMetrics* out) {
    out->underlineThickness = std::max(1, Round(face->underline_thickness * scale));
    double centre = -face->underline_position * scale;
    out->underlineTop = std::max(1, Round(centre - out->underlineThickness / 2.0));
    if (out->underlineTop + out->underlineThickness > out->descent)
        out->underlineTop = std::max(0, out->descent - out->underlineThickness);
    out->strikeThickness = std::max(1, Round(d.strikeSize * scale));
    out->strikeTop = std::max(out->strikeThickness, Round(d.strikePos * scale));
}

}  // namespace

long ComputeMetrics(FT_Face face, const LOGFONTA& log, FontMetrics* out) {
    DesignMetrics d = DesignOf(face);
    int requested = std::min(std::abs(int(log.lfHeight)), kLargestHeight);
    double ppem;
    if (log.lfHeight < 0) {
        ppem = requested;
        out->ascent = Round(d.ascent * ppem / d.upem);
        out->descent = Round(d.descent * ppem / d.upem);
    } else {
        int cell = log.lfHeight == 0 ? kDefaultCell : requested;
        ppem = cell * d.upem / (d.ascent + d.descent);
        out->ascent = Round(d.ascent * cell / (d.ascent + d.descent));
        out->descent = cell - out->ascent;
    }
    double scale = ppem / d.upem;
    out->height = out->ascent + out->descent;
    out->internalLeading = std::max(0, out->height - Round(ppem));
    out->externalLeading = Round(d.lineGap * scale);
    out->aveCharWidth = std::max(1, Round(d.avgWidth * scale));
    // The widest glyph box, as GDI reports it for TrueType faces.
    out->maxCharWidth = std::max(1, Round((face->bbox.xMax - face->bbox.xMin) * scale));
    out->weight = log.lfWeight > 0 ? int(log.lfWeight) : FW_NORMAL;
    out->italic = log.lfItalic != 0;
    out->underline = log.lfUnderline != 0;
    out->strikeOut = log.lfStrikeOut != 0;
    out->fixedPitch = FT_IS_FIXED_WIDTH(face);
    PlaceBars(face, d, scale, out);
    return std::max(64L, long(std::lround(ppem * 64)));
}

}  // namespace qpm
