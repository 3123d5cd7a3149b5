// fontconfig look-ups, cached: a component may make the same font on
// every paint.
#include "gdi/font_match.h"

#include "gdi/stock.h"

#include <fontconfig/fontconfig.h>

#include <cctype>
#include <map>
#include <tuple>

namespace qpm {
namespace {

using MatchKey = std::tuple<std::string, int, bool, int>;

std::string Lowered(const char* text) {
    std::string out;
    for (; *text; ++text) out += char(std::tolower(static_cast<unsigned char>(*text)));
    return out;
}

// The generic family that backs the requested one: monospace for fixed
// pitch, serif for roman, sans-serif otherwise.
const char* GenericFamily(BYTE pitchAndFamily) {
    if ((pitchAndFamily & 3) == kFixedPitch || (pitchAndFamily & 0xF0) == kFamilyModern)
        return "monospace";
    if ((pitchAndFamily & 0xF0) == kFamilyRoman) return "serif";
    return "sans-serif";
}

FcPattern* RequestPattern(const std::string& name, int weight, bool italic, BYTE pitchFamily) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return nullptr;
    const auto* family = reinterpret_cast<const FcChar8*>(name.c_str());
    if (!name.empty()) FcPatternAddString(pattern, FC_FAMILY, family);
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(GenericFamily(pitchFamily)));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

bool ReadMatch(FcPattern* match, FaceFile* out) {
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) return false;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    out->path = reinterpret_cast<const char*>(file);
    out->index = index;
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch)
        out->family = reinterpret_cast<const char*>(family);
    out->bold = weight >= FC_WEIGHT_DEMIBOLD;
    out->italic = slant != FC_SLANT_ROMAN;
    return true;
}

bool LookUp(const std::string& name, int weight, bool italic, BYTE pitchFamily, FaceFile* out) {
    FcPattern* pattern = RequestPattern(name, weight, italic, pitchFamily);
    if (!pattern) return false;
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    bool found = match && ReadMatch(match, out);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return found;
}

}  // namespace

bool MatchFace(const LOGFONTA& log, FaceFile* out) {
    static std::map<MatchKey, FaceFile> cache;
    int weight = log.lfWeight > 0 ? log.lfWeight : FW_NORMAL;
    bool italic = log.lfItalic != 0;
    std::string name = Lowered(log.lfFaceName);
    BYTE pitchFamily = log.lfPitchAndFamily;
    MatchKey key{name, weight, italic, pitchFamily};
    auto found = cache.find(key);
    if (found == cache.end()) {
        FaceFile face;
        if (!LookUp(name, weight, italic, pitchFamily, &face)) return false;
        found = cache.emplace(key, face).first;
    }
    *out = found->second;
    return true;
}

}  // namespace qpm
