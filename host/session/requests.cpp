// Open, read and close streams; host information; supports; resize.
#include "session/requests.h"

#include <qpm/protocol.h>
#include <qpm_platform.h>

#include <cstring>

#include "net/file_transfers.h"
#include "page/url.h"
#include "session/host.h"
#include "session/log.h"
#include "session/page_windows.h"
#include "session/stream_notices.h"

namespace {

std::string Printable(const char* text) { return text ? "\"" + std::string(text) + "\"" : "null"; }

LRESULT OpenStream(Host& host, ComponentSlot& slot, const UrlRequest* request) {
    if (request == nullptr || request->url == nullptr) return kNoStream;
    std::string reference = request->url;
    const bool post = request->method == kMethodPost;
    std::string body;
    if (request->data &&
        (post ? (request->dataLength > 0 || request->data[0]) : request->data[0] != '\0')) {
        body = post && request->dataLength > 0
                   ? std::string(request->data, size_t(request->dataLength))
                   : std::string(request->data);
        // A GET carries its data as the query string.
        if (!post) reference += (reference.find('?') == std::string::npos ? "?" : "&") + body;
    }
    std::string url;
    if (!ResolveUrl(host.baseUrl, reference, &url)) {
        LogVerbose("%s: cannot fetch %s: not an http, https or file URL", slot.label.c_str(),
                   Printable(request->url).c_str());
        return kNoStream;
    }
    if (RefusedLocalFile(host, slot, url)) return kNoStream;
    LONG_PTR handle = host.streams.Open(slot.window, url);
    if (!host.transport->Start(handle, url, post ? &body : nullptr)) {
        host.streams.Close(handle);
        LogVerbose("%s: cannot fetch %s: the transfer did not start", slot.label.c_str(),
                   url.c_str());
        return kNoStream;
    }
    return handle;
}

LRESULT ReadStream(Host& host, ComponentSlot& slot, const ReadRequest* request) {
    // A component may read only its own streams.
    if (request == nullptr || host.streams.OwnerOf(request->handle) != slot.window) return -1;
    return host.streams.Read(request->handle, request->buffer, request->size);
}

LRESULT CloseStream(Host& host, ComponentSlot& slot, LONG_PTR handle) {
    if (host.streams.OwnerOf(handle) != slot.window) return 0;
    if (host.streams.Close(handle)) host.transport->Abort(handle);
    return 0;
}

LRESULT StreamReady(Host& host, ComponentSlot& slot, LONG_PTR handle) {
    if (host.streams.OwnerOf(handle) != slot.window) return 0;
    host.streams.MarkReady(handle);
    SendDueStreamNotices(host);
    return 0;
}

bool Supported(WPARAM request) {
    switch (request) {
        case QPMR_OPENSTREAM:
        case QPMR_CLOSESTREAM:
        case QPMR_READSTREAM:
        case QPMR_STREAMREADY:
        case QPMR_HOSTINFO:
        case QPMR_SUPPORTS:
        case QPMR_RESIZE:
            return true;
        default:
            return false;
    }
}

LRESULT Resize(Host& host, ComponentSlot& slot, const SizeRequest* request) {
    if (request == nullptr || request->width < 1 || request->height < 1 || request->width > 4096 ||
        request->height > 4096)
        return 0;
    slot.width = request->width;
    slot.height = request->height;
    MoveWindow(slot.window, 0, 0, slot.width, slot.height, TRUE);
    RelayoutPage(host);
    return 1;
}

std::string Describe(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case QPMR_OPENSTREAM: {
            auto* r = reinterpret_cast<const UrlRequest*>(lParam);
            if (r == nullptr) return "(no record)";
            return "url=" + Printable(r->url) + " method=" + std::to_string(r->method);
        }
        case QPMR_READSTREAM: {
            auto* r = reinterpret_cast<const ReadRequest*>(lParam);
            if (r == nullptr) return "(no record)";
            return "handle=" + std::to_string(r->handle) + " size=" + std::to_string(r->size);
        }
        case QPMR_RESIZE: {
            auto* r = reinterpret_cast<const SizeRequest*>(lParam);
            if (r == nullptr) return "(no record)";
            return std::to_string(r->width) + "x" + std::to_string(r->height);
        }
        case QPMR_HOSTINFO:
            return "item=" + std::to_string(LOWORD(wParam));
        case QPMR_SUPPORTS:
            return "request=" + std::to_string(wParam);
        default:
            return "handle=" + std::to_string(lParam);
    }
}

LRESULT Answer(Host& host, ComponentSlot& slot, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case QPMR_OPENSTREAM:
            return OpenStream(host, slot, reinterpret_cast<const UrlRequest*>(lParam));
        case QPMR_CLOSESTREAM:
            return CloseStream(host, slot, lParam);
        case QPMR_READSTREAM:
            return ReadStream(host, slot, reinterpret_cast<const ReadRequest*>(lParam));
        case QPMR_STREAMREADY:
            return StreamReady(host, slot, lParam);
        case QPMR_HOSTINFO:
            return AnswerHostInfo(host.identity, LOWORD(wParam), reinterpret_cast<char*>(lParam),
                                  kHostInfoSize);
        case QPMR_SUPPORTS:
            return Supported(wParam) ? 1 : 0;
        case QPMR_RESIZE:
            return Resize(host, slot, reinterpret_cast<const SizeRequest*>(lParam));
        default:
            return 0;  // 1056 and the rest: nothing this host does
    }
}

}  // namespace

// A page reads local files only from its own folder (and those allowed).
bool RefusedLocalFile(const Host& host, const ComponentSlot& slot, const std::string& url) {
    std::string path, why;
    if (!FileUrlPath(url, &path) || !host.fileAccess.Outside(path, &why)) return false;
    LogError("component %s: refused to read %s: %s", slot.label.c_str(), url.c_str(), why.c_str());
    return true;
}

LRESULT HandleComponentRequest(Host& host, ComponentSlot& slot, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    if (slot.window == nullptr) return message == QPMR_OPENSTREAM ? kNoStream : 0;
    // Two requests per 1024 bytes of a stream: the log costs nothing unless asked for.
    if (!IsVerbose()) return Answer(host, slot, message, wParam, lParam);
    const std::string detail = Describe(message, wParam, lParam);
    LRESULT result = Answer(host, slot, message, wParam, lParam);
    LogVerbose("%s -> %s %s = %ld", slot.label.c_str(), QpmMessageName(message), detail.c_str(),
               long(result));
    return result;
}
