// The page on a printer DC.
#include "session/printing.h"

#include <qpm/protocol.h>
#include <qpm_platform.h>

#include "page/page_painter.h"
#include "session/host.h"
#include "session/log.h"

bool PrintPage(Host& host, const PageWriter& write, std::string* error) {
    HDC printer = QpmCreatePrinterDC(host.layout.width, host.layout.height);
    if (printer == nullptr) {
        *error = "cannot make a printer page of " + std::to_string(host.layout.width) + "x" +
                 std::to_string(host.layout.height);
        return false;
    }
    PaintTextBlocks(printer, host.page, host.layout);
    for (const auto& slot : host.slots) {
        if (slot->window == nullptr || !IsWindow(slot->window)) continue;
        const Placement& place = host.layout.blocks[slot->block];
        // The origin moves the component's (0, 0) to its place on the page.
        PrintRecord record{};
        record.hdc = printer;
        record.originX = -place.x;
        record.originY = -place.y;
        CallingSlot calling(host, slot.get());
        LRESULT result =
            SendMessageA(slot->window, QPMM_PRINT, 0, reinterpret_cast<LPARAM>(&record));
        LogVerbose("%s printed at %d,%d = %ld", slot->label.c_str(), place.x, place.y,
                   long(result));
    }
    QpmPixels pixels;
    bool written = false;
    if (QpmGetDCPixels(printer, &pixels))
        written = write(pixels, error);
    else
        *error = "cannot read the printed page back";
    DeleteDC(printer);
    return written;
}
