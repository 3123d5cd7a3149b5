// Text measurement: GetTextExtentPoint32A, GetTextMetricsA, GetTextFaceA.
#include "gdi/dc.h"
#include "gdi/font_cache.h"
#include "gdi/objects.h"
#include "gdi/stock.h"
#include "gdi/text_render.h"

#include <cstring>

using namespace qpm;

namespace {

std::shared_ptr<FontInstance> FontOf(HDC hdc) {
    DeviceContext* dc = FindDC(hdc);
    return dc ? RealizeFont(dc->font) : nullptr;
}

// TrueType, vector, Swiss or modern; bit 0 set means *variable* pitch.
BYTE PitchAndFamily(const FontMetrics& m) {
    const BYTE kVector = 0x02, kTrueType = 0x04;
    BYTE family = m.fixedPitch ? kFamilyModern : kFamilySwiss;
    return BYTE(family | kVector | kTrueType | (m.fixedPitch ? 0 : 1));
}

}  // namespace

// The sum of the advance widths (no kerning) and the cell height; an
// empty string measures 0 x 0.
BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, LPSIZE size) {
    std::shared_ptr<FontInstance> font = FontOf(hdc);
    if (!font || !size || count < 0 || (count > 0 && !text)) {
        if (font) SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    size->cx = TextWidth(*font, text, count);
    size->cy = count > 0 ? font->Metrics().height : 0;
    return TRUE;
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA tm) {
    std::shared_ptr<FontInstance> font = FontOf(hdc);
    if (!font || !tm) return FALSE;
    const FontMetrics& m = font->Metrics();
    std::memset(tm, 0, sizeof *tm);
    tm->tmHeight = m.height;
    tm->tmAscent = m.ascent;
    tm->tmDescent = m.descent;
    tm->tmInternalLeading = m.internalLeading;
    tm->tmExternalLeading = m.externalLeading;
    tm->tmAveCharWidth = m.aveCharWidth;
    tm->tmMaxCharWidth = m.maxCharWidth;
    tm->tmWeight = m.weight;
    tm->tmDigitizedAspectX = 96;
    tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 0x1E;
    tm->tmLastChar = 0xFF;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = m.italic ? 0xFF : 0;
    tm->tmUnderlined = m.underline ? 0xFF : 0;
    tm->tmStruckOut = m.strikeOut ? 0xFF : 0;
    tm->tmPitchAndFamily = PitchAndFamily(m);
    tm->tmCharSet = ANSI_CHARSET;
    return TRUE;
}

// The face actually drawn with (a substitute when the requested one is
// not installed). Returns the characters copied, not counting the
// terminating zero, or the size needed (with it) when `face` is NULL.
int WINAPI GetTextFaceA(HDC hdc, int size, LPSTR face) {
    std::shared_ptr<FontInstance> font = FontOf(hdc);
    if (!font) return 0;
    const std::string& family = font->Family();
    if (!face) return int(family.size()) + 1;
    if (size <= 0) return 0;
    size_t copied = std::min(family.size(), size_t(size) - 1);
    std::memcpy(face, family.data(), copied);
    face[copied] = '\0';
    return int(copied);
}
