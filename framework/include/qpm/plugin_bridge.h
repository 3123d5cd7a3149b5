// The browser side of plug-in mode, as the framework's plug-in variant
// reaches it.
//
// In plug-in mode no host window answers a component's requests: the
// library's plug-in adapter (pellux's is in adapters/) answers them with
// the browser's functions. The adapter hands the framework its answers
// as a PluginBridge; a component window in plug-in mode before any
// bridge was set has no browser, and its requests fail.
#pragma once

#include <qpm/protocol.h>
#include <qpm/records.h>

#if QPM_WITH_PLUGIN
struct PluginBridge {
    // Asks the browser for the URL (GET or POST); kStreamLater when accepted, else kNoStream.
    LONG_PTR (*openStream)(InstanceRecord* record, const UrlRequest* request);
    // Ends the browser stream, unless it is the one the browser is ending now.
    void (*closeStream)(InstanceRecord* record, LONG_PTR handle);
    // Host information answered locally; 1 when the item was answered.
    int32_t (*hostInfo)(InstanceRecord* record, int item, char* buffer);
};

// The bridge plug-in mode uses from now on (null: none). It must live as
// long as the library.
void SetPluginBridge(const PluginBridge* bridge);
#endif
