// Headings and paragraphs.
#include "page/page_painter.h"

#include <cstring>

namespace {

constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX;

HFONT CreateBlockFont(BlockKind kind) {
    LOGFONTA font{};
    switch (kind) {
        case BlockKind::kHeading1:
            font.lfHeight = -26;
            break;
        case BlockKind::kHeading2:
            font.lfHeight = -21;
            break;
        case BlockKind::kHeading3:
            font.lfHeight = -17;
            break;
        default:
            font.lfHeight = -15;
            break;
    }
    font.lfWeight = kind == BlockKind::kParagraph ? FW_NORMAL : FW_BOLD;
    font.lfCharSet = ANSI_CHARSET;
    strcpy(font.lfFaceName, "Arial");
    return CreateFontIndirectA(&font);
}

// Selects the block's font into `dc` for the object's lifetime.
class BlockFont {
public:
    BlockFont(HDC dc, BlockKind kind) : dc_(dc), font_(CreateBlockFont(kind)) {
        if (font_) previous_ = SelectObject(dc_, font_);
    }
    ~BlockFont() {
        if (previous_) SelectObject(dc_, previous_);
        if (font_) DeleteObject(font_);
    }
    BlockFont(const BlockFont&) = delete;
    BlockFont& operator=(const BlockFont&) = delete;

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace

int MeasureTextBlock(HDC dc, const PageBlock& block, int width) {
    if (dc == nullptr || block.text.empty()) return 0;
    BlockFont font(dc, block.kind);
    RECT rect{0, 0, width, 0};
    DrawTextA(dc, block.text.c_str(), -1, &rect, kTextFormat | DT_CALCRECT);
    return rect.bottom - rect.top;
}

void PaintTextBlocks(HDC dc, const Page& page, const PageLayout& layout) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, page.text);
    for (size_t i = 0; i < page.blocks.size() && i < layout.blocks.size(); ++i) {
        const PageBlock& block = page.blocks[i];
        if (block.kind == BlockKind::kComponent) continue;
        const Placement& p = layout.blocks[i];
        RECT rect{p.x, p.y, p.x + p.width, p.y + p.height};
        BlockFont font(dc, block.kind);
        DrawTextA(dc, block.text.c_str(), -1, &rect, kTextFormat);
    }
}
