// Fuzz target: qpmhost's reading of a page: any HTML through the parser,
// then the element records of its components, the addresses their "src"
// names, the text blocks measured as the host measures them, and the
// layout of the whole.
//
// Beyond "no crash": every component's record lists exactly its
// attributes, with a null after the last; a size the page gives is
// within 1 to 16384 pixels; the layout places every block, inside the
// page's bounds.
#include <qpm_platform.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "page/element_record.h"
#include "page/layout.h"
#include "page/page.h"
#include "page/page_painter.h"
#include "page/url.h"

namespace {

HDC measuringDc = nullptr;

void CheckRecord(const PageElement& element) {
    ElementDefaults defaults;
    defaults.pageDirectory = "/pages";
    ElementRecord element_record(element, defaults);
    const InitRecord* record = element_record.record();
    Require(record->attrCount == int32_t(element.attributes.size()), "one pair per attribute");
    Require(record->attrNames[record->attrCount] == nullptr &&
                record->attrValues[record->attrCount] == nullptr,
            "a null closes both arrays");
    if (element_record.hasWidth()) Require(record->width >= 1 && record->width <= 16384, "width");
    if (element_record.hasHeight())
        Require(record->height >= 1 && record->height <= 16384, "height");
    std::string url;
    if (const std::string* src = element.Find("src"))
        ResolveUrl("file:///pages/page.html", *src, &url);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    measuringDc = CreateCompatibleDC(nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Page page = ParsePageHtml(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<LayoutBlock> blocks;
    for (const PageBlock& block : page.blocks) {
        LayoutBlock layoutBlock;
        if (block.kind == BlockKind::kComponent) {
            CheckRecord(block.element);
            layoutBlock.component = true;
            layoutBlock.width = 400;
            layoutBlock.height = 40;
        }
        blocks.push_back(layoutBlock);
    }
    const LayoutMetrics metrics;
    PageLayout layout = LayoutPage(blocks, [&](size_t index, int width) {
        return MeasureTextBlock(measuringDc, page.blocks[index], width);
    });
    Require(layout.blocks.size() == page.blocks.size(), "every block is placed");
    Require(layout.width > 0 && layout.width <= metrics.maxSide, "the page's width is bounded");
    Require(layout.height > 0 && layout.height <= metrics.maxSide, "the page's height is bounded");
    for (const Placement& p : layout.blocks)
        Require(p.height >= 0 && p.y >= metrics.margin, "a block lies inside the page");
    return 0;
}
