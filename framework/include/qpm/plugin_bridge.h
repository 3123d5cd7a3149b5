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

#include <cstddef>

#if QPM_WITH_PLUGIN
// The longest URL plug-in mode asks the browser for, its NUL included.
constexpr size_t kPluginUrlSize = 512;

struct PluginBridge {
    // Asks the browser for the URL (GET or POST); kStreamLater when accepted, else kNoStream.
    LONG_PTR (*openStream)(InstanceRecord* record, const UrlRequest* request);
    // Ends the browser stream, unless it is the one the browser is ending now.
    void (*closeStream)(InstanceRecord* record, LONG_PTR handle);
    // Host information answered locally; 1 when the item was answered.
    int32_t (*hostInfo)(InstanceRecord* record, int item, char* buffer);
    // The URL openStream will ask the browser for (a GET's query
    // appended), into `buffer`; false when it does not fit. The browser
    // delivers the stream under this URL. Null: the request's own URL.
    bool (*requestedUrl)(const UrlRequest* request, char* buffer, size_t size);
};

// The bridge plug-in mode uses from now on (null: none). It must live as
// long as the library.
void SetPluginBridge(const PluginBridge* bridge);

// The URL a plug-in-mode open of `request` waits for, through the
// bridge; false when there is none to ask for.
bool PluginRequestedUrl(const UrlRequest* request, char* buffer, size_t size);

// A record set up from a creation record before any window exists (the
// adapter's waiting record): as the framework sets up a window's record,
// with the attributes copied into a string block of its own, no window
// and no off-screen bitmap.
void SetUpDetachedInstance(InstanceRecord* out, InitRecord* record);
// Frees the string block of such a record (or of any record) and clears it.
void ReleaseInstanceStrings(InstanceRecord* record);
#endif
