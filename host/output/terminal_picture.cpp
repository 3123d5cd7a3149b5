// Pictures for the terminal with chafa.
#include "output/terminal_picture.h"

#include <chafa.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "output/terminal_cells.h"

namespace {

const char kClearScreen[] = "\x1b[0m\x1b[2J";
// Kitty keeps every image it is sent; the previous picture's go first.
const char kKittyDeleteImages[] = "\x1b_Ga=d,d=A\x1b\\";

std::string Lookup(const char* const* environment, const char* name) {
    const size_t length = strlen(name);
    for (const char* const* e = environment; e && *e; ++e)
        if (strncmp(*e, name, length) == 0 && (*e)[length] == '=') return *e + length + 1;
    return "";
}

TerminalGraphics Detect(ChafaTermInfo* info) {
    if (chafa_term_info_have_seq(info, CHAFA_TERM_SEQ_BEGIN_KITTY_IMMEDIATE_IMAGE_V1))
        return TerminalGraphics::kKitty;
    if (chafa_term_info_have_seq(info, CHAFA_TERM_SEQ_BEGIN_ITERM2_IMAGE))
        return TerminalGraphics::kIterm;
    if (chafa_term_info_have_seq(info, CHAFA_TERM_SEQ_BEGIN_SIXELS))
        return TerminalGraphics::kSixel;
    return TerminalGraphics::kSymbols;
}

// The most colours the terminal's symbols may have.
ChafaCanvasMode SymbolColours(ChafaTermInfo* info, const char* const* environment) {
    const std::string colorTerm = Lookup(environment, "COLORTERM");
    if (chafa_term_info_have_seq(info, CHAFA_TERM_SEQ_SET_COLOR_FGBG_DIRECT) ||
        colorTerm == "truecolor" || colorTerm == "24bit")
        return CHAFA_CANVAS_MODE_TRUECOLOR;
    // 240: the 16 colours the user may have redefined stay out.
    if (chafa_term_info_have_seq(info, CHAFA_TERM_SEQ_SET_COLOR_FGBG_256))
        return CHAFA_CANVAS_MODE_INDEXED_240;
    if (chafa_term_info_have_seq(info, CHAFA_TERM_SEQ_SET_COLOR_FGBG_16))
        return CHAFA_CANVAS_MODE_INDEXED_16;
    return CHAFA_CANVAS_MODE_FGBG_BGFG;
}

// The symbols the terminal's font can be trusted with: the console's
// font has the half blocks; terminal emulators' fonts have all block
// and box-drawing elements (narrow ones: wide symbols take two cells).
ChafaSymbolMap* SymbolsFor(const char* const* environment) {
    ChafaSymbolMap* map = chafa_symbol_map_new();
    if (Lookup(environment, "TERM") == "linux") {
        chafa_symbol_map_add_by_tags(
            map, ChafaSymbolTags(CHAFA_SYMBOL_TAG_HALF | CHAFA_SYMBOL_TAG_SPACE));
    } else {
        chafa_symbol_map_add_by_tags(
            map, ChafaSymbolTags(CHAFA_SYMBOL_TAG_BLOCK | CHAFA_SYMBOL_TAG_BORDER |
                                 CHAFA_SYMBOL_TAG_SPACE));
        chafa_symbol_map_remove_by_tags(
            map, ChafaSymbolTags(CHAFA_SYMBOL_TAG_WIDE | CHAFA_SYMBOL_TAG_INVERTED));
    }
    return map;
}

// The page as opaque RGBA, `imageWidth` x `imageHeight` (each pixel the
// average of the page pixels it covers when that is smaller than the
// page), at the top left of a canvas of `width` x `height` whose rest
// repeats the image's last column and row, so the page's edge colour
// fills the part of the last cells the page does not reach.
std::vector<uint8_t> CanvasPixels(const QpmPixels& pixels, int imageWidth, int imageHeight,
                                  int width, int height) {
    std::vector<uint8_t> image(size_t(imageWidth) * imageHeight * 4, 255);
    for (int y = 0; y < imageHeight; ++y) {
        const int y0 = int(int64_t(y) * pixels.height / imageHeight);
        const int y1 = std::max(y0 + 1, int(int64_t(y + 1) * pixels.height / imageHeight));
        for (int x = 0; x < imageWidth; ++x) {
            const int x0 = int(int64_t(x) * pixels.width / imageWidth);
            const int x1 = std::max(x0 + 1, int(int64_t(x + 1) * pixels.width / imageWidth));
            unsigned sum[3] = {0, 0, 0}, count = 0;
            for (int sy = y0; sy < y1; ++sy) {
                const unsigned char* p = pixels.bgrx + size_t(sy) * pixels.stride + size_t(x0) * 4;
                for (int sx = x0; sx < x1; ++sx, p += 4, ++count)
                    for (int c = 0; c < 3; ++c) sum[c] += p[2 - c];
            }
            uint8_t* out = &image[(size_t(y) * imageWidth + x) * 4];
            for (int c = 0; c < 3; ++c) out[c] = uint8_t((sum[c] + count / 2) / count);
        }
    }
    std::vector<uint8_t> canvas(size_t(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = &image[size_t(std::min(y, imageHeight - 1)) * imageWidth * 4];
        uint8_t* out = &canvas[size_t(y) * width * 4];
        memcpy(out, row, size_t(std::min(width, imageWidth)) * 4);
        for (size_t x = imageWidth; x < size_t(width); ++x)
            memcpy(out + x * 4, row + size_t(imageWidth - 1) * 4, 4);
    }
    return canvas;
}

// Rows of four bytes a pixel: chafa misreads packed RGB rows whose length
// is not a multiple of four bytes (the picture comes out sheared).
std::string Print(ChafaCanvasConfig* config, const std::vector<uint8_t>& rgba, int width,
                  int height, ChafaTermInfo* info) {
    ChafaCanvas* canvas = chafa_canvas_new(config);
    chafa_canvas_draw_all_pixels(canvas, CHAFA_PIXEL_RGBA8_UNASSOCIATED, rgba.data(), width, height,
                                 width * 4);
    GString* printed = chafa_canvas_print(canvas, info);
    std::string bytes(printed->str, printed->len);
    g_string_free(printed, TRUE);
    chafa_canvas_unref(canvas);
    return bytes;
}

}  // namespace

TerminalPicture::TerminalPicture(TerminalGraphics graphics, const char* const* environment)
    : graphics_(graphics) {
    ChafaTermDb* db = chafa_term_db_get_default();
    termInfo_ = chafa_term_db_detect(db, const_cast<gchar**>(environment));
    if (graphics_ == TerminalGraphics::kAuto) graphics_ = Detect(termInfo_);
    // A protocol the user named is spoken even where chafa would not expect it.
    ChafaTermInfo* fallback = chafa_term_db_get_fallback_info(db);
    chafa_term_info_supplement(termInfo_, fallback);
    chafa_term_info_unref(fallback);
    canvasMode_ = SymbolColours(termInfo_, environment);
    symbols_ = SymbolsFor(environment);
}

TerminalPicture::~TerminalPicture() {
    chafa_symbol_map_unref(symbols_);
    chafa_term_info_unref(termInfo_);
}

void TerminalPicture::Forget() {
    shown_.clear();
    shownCells_.clear();
    shownColumns_ = shownRows_ = 0;
}

std::vector<std::string> TerminalPicture::RenderSymbols(const QpmPixels& pixels,
                                                        const TerminalArea& area) {
    int columns = area.columns, rows = area.rows;
    const float fontRatio = area.cellWidth > 0 && area.cellHeight > 0
                                ? float(area.cellWidth) / float(area.cellHeight)
                                : float(kDefaultCellWidth) / kDefaultCellHeight;
    chafa_calc_canvas_geometry(pixels.width, pixels.height, &columns, &rows, fontRatio, FALSE,
                               FALSE);
    ChafaCanvasConfig* config = chafa_canvas_config_new();
    chafa_canvas_config_set_geometry(config, columns, rows);
    chafa_canvas_config_set_canvas_mode(config, ChafaCanvasMode(canvasMode_));
    chafa_canvas_config_set_symbol_map(config, symbols_);
    const std::vector<uint8_t> rgba =
        CanvasPixels(pixels, pixels.width, pixels.height, pixels.width, pixels.height);
    const std::string printed = Print(config, rgba, pixels.width, pixels.height, termInfo_);
    chafa_canvas_config_unref(config);
    // One line of symbols per row; each ends with the colours reset, so
    // any row can be redrawn alone.
    std::vector<std::string> lines;
    for (size_t start = 0; start <= printed.size();) {
        size_t end = printed.find('\n', start);
        if (end == std::string::npos) end = printed.size();
        lines.push_back(printed.substr(start, end - start));
        start = end + 1;
    }
    shownColumns_ = columns;
    shownRows_ = int(lines.size());
    return lines;
}

std::vector<std::string> TerminalPicture::RenderImage(const QpmPixels& pixels,
                                                      const TerminalArea& area) {
    const int cellWidth = area.cellWidth > 0 ? area.cellWidth : kDefaultCellWidth;
    const int cellHeight = area.cellHeight > 0 ? area.cellHeight : kDefaultCellHeight;
    // A sixel image is made of bands six pixels high, and chafa rescales
    // one that is not: the image is laid out in bands, not cell rows.
    const bool sixel = graphics_ == TerminalGraphics::kSixel;
    const int bandHeight = sixel ? kSixelBand : cellHeight;
    // One row stays free below the image: a sixel image leaves the cursor
    // on the row after it, which must not scroll the screen.
    const int maxWidth = std::max(1, area.columns) * cellWidth;
    const int maxHeight = std::max(1, area.rows - 1) * cellHeight / bandHeight * bandHeight;
    const double scale = std::min({1.0, double(maxWidth) / pixels.width,
                                   double(std::max(bandHeight, maxHeight)) / pixels.height});
    const int imageWidth = std::max(1, int(pixels.width * scale));
    const int imageHeight = std::max(1, int(pixels.height * scale));
    const int columns = (imageWidth + cellWidth - 1) / cellWidth;
    const int bands = (imageHeight + bandHeight - 1) / bandHeight;
    const int width = columns * cellWidth, height = bands * bandHeight;

    ChafaCanvasConfig* config = chafa_canvas_config_new();
    chafa_canvas_config_set_geometry(config, columns, bands);
    chafa_canvas_config_set_cell_geometry(config, cellWidth, bandHeight);
    chafa_canvas_config_set_canvas_mode(config, CHAFA_CANVAS_MODE_TRUECOLOR);
    chafa_canvas_config_set_dither_mode(config, CHAFA_DITHER_MODE_NONE);
    const ChafaPixelMode mode = graphics_ == TerminalGraphics::kKitty   ? CHAFA_PIXEL_MODE_KITTY
                                : graphics_ == TerminalGraphics::kIterm ? CHAFA_PIXEL_MODE_ITERM2
                                                                        : CHAFA_PIXEL_MODE_SIXELS;
    chafa_canvas_config_set_pixel_mode(config, mode);
    const std::vector<uint8_t> rgba = CanvasPixels(pixels, imageWidth, imageHeight, width, height);
    std::string image = Print(config, rgba, width, height, termInfo_);
    chafa_canvas_config_unref(config);
    if (graphics_ == TerminalGraphics::kKitty) image = kKittyDeleteImages + image;
    shownColumns_ = columns;
    shownRows_ = (height + cellHeight - 1) / cellHeight;
    return {image};
}

std::string TerminalPicture::Render(const QpmPixels& pixels, const TerminalArea& area,
                                    bool* clearedScreen) {
    *clearedScreen = false;
    if (pixels.width <= 0 || pixels.height <= 0 || area.columns <= 0 || area.rows <= 0) return "";
    const int columnsBefore = shownColumns_, rowsBefore = shownRows_;
    std::vector<std::string> lines = graphics_ == TerminalGraphics::kSymbols
                                         ? RenderSymbols(pixels, area)
                                         : RenderImage(pixels, area);
    std::string out;
    if (columnsBefore != shownColumns_ || rowsBefore != shownRows_) {
        // A picture of another size: what is left of the old one goes.
        if (rowsBefore > 0) {
            out += kClearScreen;
            *clearedScreen = true;
        }
        shown_.clear();
        shownCells_.clear();
    }
    if (graphics_ != TerminalGraphics::kSymbols) {
        for (size_t row = 0; row < lines.size(); ++row) out += MoveTo(int(row) + 1, 1) + lines[row];
        shown_ = std::move(lines);
        return out;
    }
    // Symbols: only the cells that changed.
    shownCells_.resize(lines.size());
    for (size_t row = 0; row < lines.size(); ++row) {
        if (row < shown_.size() && shown_[row] == lines[row]) continue;
        std::vector<TerminalCell> cells;
        if (SplitCells(lines[row], &cells)) {
            out += RedrawChangedCells(int(row) + 1, shownCells_[row], cells);
        } else {
            out += MoveTo(int(row) + 1, 1) + lines[row];
            cells.clear();  // unknown: the next change redraws the whole row
        }
        shownCells_[row] = std::move(cells);
    }
    shown_ = std::move(lines);
    return out;
}
