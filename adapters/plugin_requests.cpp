// A component's stream requests in plug-in mode, made of the browser's
// URL functions: the content comes back as a new stream of the instance.
#include "browser_bridge.h"

#include <cstdio>
#include <cstring>

#include "plugin_globals.h"

NPNetscapeFuncs* browserFuncs = nullptr;

namespace {

constexpr size_t kUrlBufferSize = 512;
constexpr NPReason kCloseReason = 3;

NPP InstanceOf(const InstanceRecord* record) { return static_cast<NPP>(record->pluginInstance); }

NPError Post(const InstanceRecord* record, const UrlRequest* request) {
    if (browserFuncs == nullptr || browserFuncs->posturl == nullptr) return NPERR_GENERIC_ERROR;
    // A body given as a query string loses its leading '?'.
    const char* body = request->data ? request->data : "";
    uint32_t length = uint32_t(request->dataLength);
    if (length == 0) {
        if (*body == '?') ++body;
        length = uint32_t(strlen(body));
    }
    return browserFuncs->posturl(InstanceOf(record), request->url, nullptr, length, body, 0);
}

NPError Get(const InstanceRecord* record, const UrlRequest* request) {
    if (browserFuncs == nullptr || browserFuncs->geturl == nullptr) return NPERR_GENERIC_ERROR;
    const char* data = request->data;
    if (data == nullptr || *data == '\0')
        return browserFuncs->geturl(InstanceOf(record), request->url, nullptr);
    char url[kUrlBufferSize];
    int n = snprintf(url, sizeof url, "%s%s%s", request->url, *data == '?' ? "" : "?", data);
    // A URL that does not fit is refused rather than sent cut short.
    if (n < 0 || size_t(n) >= sizeof url) return NPERR_INVALID_URL;
    return browserFuncs->geturl(InstanceOf(record), url, nullptr);
}

}  // namespace

LONG_PTR PluginOpenStream(InstanceRecord* record, const UrlRequest* request) {
    if (request->url == nullptr) return kNoStream;
    NPError error = request->method == kMethodPost ? Post(record, request) : Get(record, request);
    return error == NPERR_NO_ERROR ? kStreamLater : kNoStream;
}

void PluginCloseStream(InstanceRecord* record, LONG_PTR handle) {
    // The browser is ending this stream itself at the moment: leave it be.
    if (reinterpret_cast<void*>(handle) == record->closingStream) {
        record->closingStream = nullptr;
        return;
    }
    if (browserFuncs == nullptr || browserFuncs->destroystream == nullptr) return;
    browserFuncs->destroystream(InstanceOf(record), reinterpret_cast<NPStream*>(handle),
                                kCloseReason);
}
