// A component's stream requests in plug-in mode, made of the browser's
// URL functions: the content comes back as a new stream of the instance.
#include <cstdio>
#include <cstring>

#include "browser_bridge.h"
#include "plugin_globals.h"

namespace {

constexpr NPReason kCloseReason = 3;

NPP InstanceOf(const InstanceRecord* record) { return static_cast<NPP>(record->pluginInstance); }

bool IsPost(const UrlRequest* request) { return request->method == kMethodPost; }

NPError Post(const InstanceRecord* record, const UrlRequest* request) {
    auto post = BROWSER_FUNCTION(posturl);
    // A POST needs a body: none, or a negative length, is refused.
    if (post == nullptr || request->data == nullptr || request->dataLength < 0)
        return NPERR_GENERIC_ERROR;
    // A body given as a query string loses its leading '?'.
    const char* body = request->data;
    uint32_t length = uint32_t(request->dataLength);
    if (length == 0) {
        if (*body == '?') ++body;
        length = uint32_t(strlen(body));
    }
    return post(InstanceOf(record), request->url, nullptr, length, body, 0);
}

NPError Get(const InstanceRecord* record, const UrlRequest* request) {
    auto get = BROWSER_FUNCTION(geturl);
    if (get == nullptr) return NPERR_GENERIC_ERROR;
    char url[kPluginUrlSize];
    if (!PluginRequestedUrlOf(request, url, sizeof url)) return NPERR_INVALID_URL;
    return get(InstanceOf(record), url, nullptr);
}

}  // namespace

bool PluginRequestedUrlOf(const UrlRequest* request, char* buffer, size_t size) {
    const char* data = request->data;
    if (request->url == nullptr) return false;
    if (IsPost(request) || data == nullptr || *data == '\0') data = "";
    const char* mark = (*data == '\0' || *data == '?') ? "" : "?";
    int n = snprintf(buffer, size, "%s%s%s", request->url, mark, data);
    // A URL that does not fit is refused rather than sent cut short.
    return n >= 0 && size_t(n) < size;
}

LONG_PTR PluginOpenStream(InstanceRecord* record, const UrlRequest* request) {
    // No URL, or no instance any more (the browser destroyed it meanwhile).
    if (request->url == nullptr || InstanceOf(record) == nullptr) return kNoStream;
    NPError error = IsPost(request) ? Post(record, request) : Get(record, request);
    return error == NPERR_NO_ERROR ? kStreamLater : kNoStream;
}

void PluginCloseStream(InstanceRecord* record, LONG_PTR handle) {
    // The browser is ending this stream itself at the moment: leave it be.
    if (reinterpret_cast<void*>(handle) == record->closingStream) {
        record->closingStream = nullptr;
        return;
    }
    auto destroy = BROWSER_FUNCTION(destroystream);
    if (destroy == nullptr || InstanceOf(record) == nullptr) return;
    // Browsers answer by calling NPP_DestroyStream for it: while they do,
    // it is the stream being closed, and closing it again asks nothing.
    void* outer = record->closingStream;
    record->closingStream = reinterpret_cast<void*>(handle);
    destroy(InstanceOf(record), reinterpret_cast<NPStream*>(handle), kCloseReason);
    record->closingStream = outer;
}
