// Block layout: blocks stacked top to bottom with margins, each as wide
// as the page's content area (text) or as wide as it asks (components).
#pragma once

#include <functional>
#include <vector>

struct LayoutBlock {
    bool component = false;
    int width = 0;  // components: the window size
    int height = 0;
};

struct LayoutMetrics {
    int margin = 16;  // around the page's content
    int gap = 10;     // between blocks
    int minContentWidth = 400;
    int maxSide = 4096;  // neither side of the page grows beyond this
};

struct Placement {
    int x = 0, y = 0, width = 0, height = 0;
};

struct PageLayout {
    int width = 0, height = 0;
    std::vector<Placement> blocks;  // same order as the input
};

// `textHeight(index, width)` measures text block `index` wrapped to `width`.
PageLayout LayoutPage(const std::vector<LayoutBlock>& blocks,
                      const std::function<int(size_t index, int width)>& textHeight,
                      const LayoutMetrics& metrics = LayoutMetrics());
