// The plug-in adapter's answers to the framework's plug-in-mode requests,
// made of the browser's functions, and the bridge that hands them to the
// framework.
#pragma once

#include <qpm/plugin_bridge.h>

// Asks the browser for the URL (GET or POST); kStreamLater when accepted, else kNoStream.
LONG_PTR PluginOpenStream(InstanceRecord* record, const UrlRequest* request);
// Ends the browser stream, unless it is the one the browser is ending now.
void PluginCloseStream(InstanceRecord* record, LONG_PTR handle);
// Host information answered locally (registry path, user details, user agent).
int32_t PluginHostInfo(InstanceRecord* record, int item, char* buffer);
// The URL PluginOpenStream asks for: a GET's data appended as its query,
// after a '?' unless it begins with one. False when it does not fit.
bool PluginRequestedUrlOf(const UrlRequest* request, char* buffer, size_t size);

// The four above, as the framework's PluginBridge. NP_Initialize sets it,
// so it is in place before any window can be in plug-in mode.
extern const PluginBridge kBrowserBridge;
