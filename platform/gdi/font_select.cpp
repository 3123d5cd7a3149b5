// From a selected font handle to the realized font that draws it.
#include "gdi/font_cache.h"
#include "gdi/objects.h"
#include "gdi/stock.h"

namespace qpm {

// A font object remembers its realization, so a font drawn with many
// times is looked up once.
std::shared_ptr<FontInstance> RealizeFont(HGDIOBJ handle) {
    auto* font = FindObjectAs<FontObject>(handle, OBJ_FONT);
    if (!font) font = FindObjectAs<FontObject>(StockObject(SYSTEM_FONT), OBJ_FONT);
    if (!font) return nullptr;
    if (!font->realized) font->realized = FontFor(font->log);
    return font->realized;
}

}  // namespace qpm
