// Stock objects: made once, shared by every DC, never destroyed.
#include "gdi/stock.h"
#include "gdi/objects.h"

#include <cstring>

namespace qpm {
namespace {

constexpr int kStockCount = 20;  // indices 0..19; a few are unused

HGDIOBJ MakeStock(std::unique_ptr<GdiObject> object, const char* what) {
    object->stock = true;
    return AddObject(std::move(object), what);
}

HGDIOBJ StockBrush(COLORREF color, bool hollow) {
    auto brush = std::make_unique<BrushObject>();
    brush->color = color;
    brush->hollow = hollow;
    return MakeStock(std::move(brush), "stock brush");
}

HGDIOBJ StockPen(int style, COLORREF color) {
    auto pen = std::make_unique<PenObject>();
    pen->style = style;
    pen->color = color;
    return MakeStock(std::move(pen), "stock pen");
}

// `height` follows LOGFONTA: negative is the em height, positive the
// cell height. Fixed fonts ask for a monospaced face.
HGDIOBJ StockFont(LONG height, LONG weight, bool fixed, const char* face) {
    auto font = std::make_unique<FontObject>();
    font->log.lfHeight = height;
    font->log.lfWeight = weight;
    font->log.lfCharSet = ANSI_CHARSET;
    font->log.lfPitchAndFamily =
        fixed ? kFixedPitch | kFamilyModern : kVariablePitch | kFamilySwiss;
    std::strncpy(font->log.lfFaceName, face, LF_FACESIZE - 1);
    return MakeStock(std::move(font), "stock font");
}

struct StockSet {
    HGDIOBJ objects[kStockCount] = {};
    HGDIOBJ defaultBitmap = nullptr;

    StockSet() {
        objects[WHITE_BRUSH] = StockBrush(0xFFFFFF, false);
        objects[LTGRAY_BRUSH] = StockBrush(0xC0C0C0, false);
        objects[GRAY_BRUSH] = StockBrush(0x808080, false);
        objects[DKGRAY_BRUSH] = StockBrush(0x404040, false);
        objects[BLACK_BRUSH] = StockBrush(0x000000, false);
        objects[NULL_BRUSH] = StockBrush(0x000000, true);
        objects[WHITE_PEN] = StockPen(PS_SOLID, 0xFFFFFF);
        objects[BLACK_PEN] = StockPen(PS_SOLID, 0x000000);
        objects[NULL_PEN] = StockPen(PS_NULL, 0x000000);
        objects[OEM_FIXED_FONT] = StockFont(12, FW_NORMAL, true, "Terminal");
        objects[ANSI_FIXED_FONT] = StockFont(12, FW_NORMAL, true, "Courier");
        objects[ANSI_VAR_FONT] = StockFont(12, FW_NORMAL, false, "MS Sans Serif");
        objects[SYSTEM_FONT] = StockFont(16, FW_BOLD, false, "System");
        objects[kDeviceDefaultFont] = StockFont(16, FW_BOLD, false, "System");
        objects[kSystemFixedFont] = StockFont(15, FW_NORMAL, true, "Fixedsys");
        objects[DEFAULT_GUI_FONT] = StockFont(-11, FW_NORMAL, false, "MS Shell Dlg");
        // These draw in the DC's own brush and pen colours, white and
        // black until SetDCBrushColor/SetDCPenColor (not in this subset)
        // change them.
        objects[DC_BRUSH] = StockBrush(0xFFFFFF, false);
        objects[DC_PEN] = StockPen(PS_SOLID, 0x000000);
        std::unique_ptr<BitmapObject> bitmap = MakeBitmap(1, 1, 0x000000);
        defaultBitmap = MakeStock(std::move(bitmap), "stock bitmap");
    }
};

StockSet& Stock() {
    static StockSet set;
    return set;
}

}  // namespace

HGDIOBJ StockObject(int index) {
    if (index < 0 || index >= kStockCount) return nullptr;
    return Stock().objects[index];
}

HGDIOBJ DefaultBitmap() { return Stock().defaultBitmap; }

}  // namespace qpm

HGDIOBJ WINAPI GetStockObject(int index) { return qpm::StockObject(index); }
