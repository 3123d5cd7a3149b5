// The browser-side halves of the host requests in plug-in mode, supplied
// by the plug-in adapter of the library that has one.
#pragma once

#include <qpm/protocol.h>
#include <qpm/records.h>

#if QPM_WITH_PLUGIN
// Asks the browser for the URL (GET or POST); kStreamLater when accepted, else kNoStream.
LONG_PTR PluginOpenStream(InstanceRecord* record, const UrlRequest* request);
// Ends the browser stream, unless it is the one the browser is ending now.
void PluginCloseStream(InstanceRecord* record, LONG_PTR handle);
// Host information answered locally (registry path, user details, user agent).
int32_t PluginHostInfo(InstanceRecord* record, int item, char* buffer);
#endif
