// Top-to-bottom block layout.
#include "page/layout.h"

#include <algorithm>

PageLayout LayoutPage(const std::vector<LayoutBlock>& blocks,
                      const std::function<int(size_t index, int width)>& textHeight,
                      const LayoutMetrics& metrics) {
    int contentWidth = metrics.minContentWidth;
    for (const LayoutBlock& block : blocks)
        if (block.component) contentWidth = std::max(contentWidth, block.width);
    contentWidth = std::min(contentWidth, metrics.maxSide - 2 * metrics.margin);

    PageLayout layout;
    int y = metrics.margin;
    bool first = true;
    for (size_t i = 0; i < blocks.size(); ++i) {
        Placement placement;
        if (blocks[i].component) {
            placement.width = blocks[i].width;
            placement.height = blocks[i].height;
        } else {
            placement.width = contentWidth;
            placement.height = std::max(0, textHeight(i, contentWidth));
        }
        // Empty blocks (a component that did not load) take no room at all.
        if (placement.height > 0 && placement.width > 0) {
            if (!first) y += metrics.gap;
            first = false;
        }
        placement.x = metrics.margin;
        placement.y = y;
        layout.blocks.push_back(placement);
        if (placement.width > 0) y += placement.height;
    }
    layout.width = contentWidth + 2 * metrics.margin;
    layout.height = std::min(y + metrics.margin, metrics.maxSide);
    return layout;
}
