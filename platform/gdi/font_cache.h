// Realized fonts: a FreeType face at one pixel size with GDI's metrics,
// and its rendered glyphs.
//
// Making a font is cheap and frequent (components create, select and
// delete one on every paint), so everything behind it is cached: FreeType
// is initialised once, each font file is opened once, each size of a
// face keeps its glyphs as they are first drawn, and each distinct
// LOGFONTA maps to one FontInstance.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qpm {

// One glyph: its advance and its 8-bit coverage bitmap, placed relative
// to the pen position on the baseline (left = x offset, top = rows above
// the baseline).
struct Glyph {
    int advance = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;  // width * height
};

// GDI's metrics of a realized font, in pixels.
struct FontMetrics {
    int height = 0;  // ascent + descent: the character cell
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int externalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool fixedPitch = false;
    int underlineTop = 0;  // rows below the baseline
    int underlineThickness = 1;
    int strikeTop = 0;  // rows above the baseline
    int strikeThickness = 1;
};

class SizedFace;

class FontInstance {
public:
    FontInstance(std::shared_ptr<SizedFace> face, const FontMetrics& metrics,
                 const std::string& family);

    const FontMetrics& Metrics() const { return metrics_; }
    const std::string& Family() const { return family_; }
    // The glyph of a Windows-1252 byte, rendered on first use.
    const Glyph& GlyphOf(unsigned char byte) const;
    int Advance(unsigned char byte) const { return GlyphOf(byte).advance; }

private:
    std::shared_ptr<SizedFace> face_;
    FontMetrics metrics_;
    std::string family_;
};

// The font a LOGFONTA describes; nullptr when no face can be loaded.
std::shared_ptr<FontInstance> FontFor(const LOGFONTA& log);

}  // namespace qpm
