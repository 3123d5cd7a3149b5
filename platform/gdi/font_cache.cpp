// FreeType faces, sizes and glyphs, and the LOGFONTA -> FontInstance
// cache. The caches are made once and never torn down, so nothing reaches
// a released FreeType object while the process exits.
#include "gdi/font_cache.h"

#include "gdi/codepage.h"
#include "gdi/font_match.h"
#include "gdi/font_metrics.h"
#include "internal/kernel_internal.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H

#include <cstdio>
#include <iterator>
#include <map>
#include <tuple>

namespace qpm {

// A face at one pixel size, with the glyphs rendered so far.
class SizedFace {
public:
    SizedFace(FT_Face face, FT_Size size, bool synthBold, bool synthItalic)
        : face_(face), size_(size), synthBold_(synthBold), synthItalic_(synthItalic) {}
    ~SizedFace() { FT_Done_Size(size_); }
    SizedFace(const SizedFace&) = delete;
    SizedFace& operator=(const SizedFace&) = delete;

    const Glyph& GlyphOf(unsigned char byte) {
        std::unique_ptr<Glyph>& slot = glyphs_[byte];
        if (!slot) slot = Render(UnicodeFromCp1252(byte));
        return *slot;
    }

private:
    std::unique_ptr<Glyph> Render(uint32_t unicode);

    FT_Face face_;
    FT_Size size_;
    bool synthBold_;
    bool synthItalic_;
    std::array<std::unique_ptr<Glyph>, 256> glyphs_;
};

namespace {

using SizeKey = std::tuple<FT_Face, long, bool, bool>;

// Distinct fonts and sizes kept before unused ones are dropped.
constexpr size_t kCacheLimit = 256;

struct Caches {
    std::map<std::pair<std::string, int>, FT_Face> faces;
    std::map<SizeKey, std::shared_ptr<SizedFace>> sizes;
    std::map<std::string, std::shared_ptr<FontInstance>> instances;
};

Caches& Cache() {
    static Caches* caches = new Caches;  // never destroyed, see above
    return *caches;
}

// Drops the entries nothing but the cache holds, once it is too big.
template <class Map>
void Trim(Map& map) {
    if (map.size() <= kCacheLimit) return;
    for (auto it = map.begin(); it != map.end();)
        it = it->second.use_count() == 1 ? map.erase(it) : std::next(it);
}

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
        return lib;
    }();
    return library;
}

// One FT_Face per file and index; nullptr when the file cannot be read.
FT_Face OpenFace(const std::string& path, int index) {
    auto& faces = Cache().faces;
    auto key = std::make_pair(path, index);
    auto found = faces.find(key);
    if (found != faces.end()) return found->second;
    FT_Face face = nullptr;
    if (!Library() || FT_New_Face(Library(), path.c_str(), index, &face) != 0) face = nullptr;
    if (face) FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    faces.emplace(key, face);
    QPM_TRACE("gdi", "open font file %s#%d%s", path.c_str(), index, face ? "" : " failed");
    return face;
}

// Copies the rendered 8-bit bitmap of the glyph slot.
void CopyBitmap(const FT_Bitmap& bitmap, Glyph* glyph) {
    glyph->width = int(bitmap.width);
    glyph->height = int(bitmap.rows);
    glyph->coverage.resize(size_t(glyph->width) * size_t(glyph->height));
    for (int row = 0; row < glyph->height; ++row) {
        const unsigned char* src = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
        uint8_t* dst = glyph->coverage.data() + size_t(row) * size_t(glyph->width);
        for (int col = 0; col < glyph->width; ++col) {
            dst[col] = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                           ? ((src[col >> 3] >> (7 - (col & 7))) & 1) * 255
                           : src[col];
        }
    }
}

}  // namespace

// A glyph that fails to load is kept as an empty one, so a broken glyph
// costs one attempt rather than one per drawing.
std::unique_ptr<Glyph> SizedFace::Render(uint32_t unicode) {
    auto glyph = std::make_unique<Glyph>();
    if (FT_Activate_Size(size_) != 0) return glyph;
    FT_UInt index = FT_Get_Char_Index(face_, unicode);
    if (FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return glyph;
    FT_GlyphSlot slot = face_->glyph;
    if (synthBold_) FT_GlyphSlot_Embolden(slot);
    if (synthItalic_) FT_GlyphSlot_Oblique(slot);
    glyph->advance = int((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return glyph;
    glyph->left = slot->bitmap_left;
    glyph->top = slot->bitmap_top;
    CopyBitmap(slot->bitmap, glyph.get());
    return glyph;
}

FontInstance::FontInstance(std::shared_ptr<SizedFace> face, const FontMetrics& metrics,
                           const std::string& family)
    : face_(std::move(face)), metrics_(metrics), family_(family) {}

const Glyph& FontInstance::GlyphOf(unsigned char byte) const { return face_->GlyphOf(byte); }

namespace {

// The face at a size given in 26.6 pixels, shared by every font that
// asks for it.
std::shared_ptr<SizedFace> SizeOf(FT_Face face, long ppem64, bool bold, bool italic) {
    auto& sizes = Cache().sizes;
    SizeKey key{face, ppem64, bold, italic};
    auto found = sizes.find(key);
    if (found != sizes.end()) return found->second;
    FT_Size size = nullptr;
    if (FT_New_Size(face, &size) != 0) return nullptr;
    if (FT_Activate_Size(size) != 0 || FT_Set_Char_Size(face, 0, ppem64, 72, 72) != 0) {
        FT_Done_Size(size);
        return nullptr;
    }
    auto sized = std::make_shared<SizedFace>(face, size, bold, italic);
    Trim(sizes);
    sizes.emplace(key, sized);
    return sized;
}

// Everything of a LOGFONTA that changes the realized font.
std::string InstanceKey(const LOGFONTA& log) {
    char key[LF_FACESIZE + 64];
    snprintf(key, sizeof key, "%ld/%ld/%u/%u/%u/%u/%.*s", long(log.lfHeight), long(log.lfWeight),
             log.lfItalic, log.lfUnderline, log.lfStrikeOut, log.lfPitchAndFamily, LF_FACESIZE,
             log.lfFaceName);
    return key;
}

std::shared_ptr<FontInstance> Realize(const LOGFONTA& log) {
    FaceFile file;
    if (!MatchFace(log, &file)) return nullptr;
    FT_Face face = OpenFace(file.path, file.index);
    if (!face) return nullptr;
    FontMetrics metrics;
    long ppem64 = ComputeMetrics(face, log, &metrics);
    bool wantsBold = log.lfWeight >= 600, wantsItalic = log.lfItalic != 0;
    auto sized = SizeOf(face, ppem64, wantsBold && !file.bold, wantsItalic && !file.italic);
    if (!sized) return nullptr;
    return std::make_shared<FontInstance>(sized, metrics, file.family);
}

}  // namespace

std::shared_ptr<FontInstance> FontFor(const LOGFONTA& log) {
    auto& instances = Cache().instances;
    std::string key = InstanceKey(log);
    auto found = instances.find(key);
    if (found != instances.end()) return found->second;
    std::shared_ptr<FontInstance> font = Realize(log);
    if (font) {
        Trim(instances);
        instances.emplace(key, font);
        QPM_TRACE("gdi", "realize font \"%s\" %ld -> %s, cell %d", log.lfFaceName,
                  long(log.lfHeight), font->Family().c_str(), font->Metrics().height);
    }
    return font;
}

}  // namespace qpm
