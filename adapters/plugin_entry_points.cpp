// The Netscape plug-in entry points: the two function tables exchanged,
// and the module globals they and the callbacks share.
#include "entry_points.h"

#include <qpm/plugin_bridge.h>

#include "browser_bridge.h"
#include "plugin_callbacks.h"
#include "plugin_globals.h"

NPNetscapeFuncs* browserFuncs = nullptr;
InstanceRecord* waitingRecord = nullptr;

namespace {

// The plug-in table's version: major 0, minor 6.
constexpr uint16_t kPluginVersion = 6;

}  // namespace

bool BrowserHasEntry(size_t offset) {
    return browserFuncs != nullptr && size_t(browserFuncs->size) >= offset + sizeof(void*);
}

extern "C" NPError WINAPI NP_GetEntryPoints(NPPluginFuncs* table) {
    if (table == nullptr || table->size < kPluginFuncsMinSize) return NPERR_INVALID_FUNCTABLE_ERROR;
    // The size and every entry after `event` stay as the browser set them.
    table->version = kPluginVersion;
    table->newp = NPP_New;
    table->destroy = NPP_Destroy;
    table->setwindow = NPP_SetWindow;
    table->newstream = NPP_NewStream;
    table->destroystream = NPP_DestroyStream;
    table->asfile = NPP_StreamAsFile;
    table->writeready = NPP_WriteReady;
    table->write = NPP_Write;
    table->print = NPP_Print;
    table->event = nullptr;
    return NPERR_NO_ERROR;
}

extern "C" NPError WINAPI NP_Initialize(NPNetscapeFuncs* table) {
    if (table == nullptr) return NPERR_INVALID_FUNCTABLE_ERROR;
    browserFuncs = table;
    // From now on the framework's plug-in mode asks this browser.
    SetPluginBridge(&kBrowserBridge);
    if ((table->version >> 8) != 0) return NPERR_INCOMPATIBLE_VERSION_ERROR;
    if (table->size < kBrowserFuncsMinSize) return NPERR_INVALID_FUNCTABLE_ERROR;
    return NPERR_NO_ERROR;
}

extern "C" NPError WINAPI NP_Shutdown(void) {
    browserFuncs = nullptr;
    return NPERR_NO_ERROR;
}
