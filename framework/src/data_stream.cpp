// The stream life cycle: open, attach, the pull loop, end, resume,
// failure and the plug-in-mode timeout.
#include <qpm/data_stream.h>

#include <qpm/component.h>
#include <qpm/host_requests.h>
#include <qpm/plugin_bridge.h>
#include <qpm_check.h>

#include <cstdlib>
#include <cstring>

DataStream::DataStream(Component* streamOwner)
    : owner(streamOwner),
      handle(kNoStream),
      next(streamOwner->streams),
      prev(nullptr),
      attached(false),
      dataWaiting(false),
      autoRead(true),
      finished(false),
      status(0),
      offset(0),
      pendingUrl(nullptr),
      requestTime(0),
      callDepth(0) {
    if (next) next->prev = this;
    owner->streams = this;
}

DataStream::~DataStream() {
    // A call still running inside this stream would go on in freed memory.
    QPM_CHECK(callDepth == 0, "a stream is deleted in the middle of a call into it");
    // Out of the list before the close request: a host that answers it by
    // sending messages back must not find this stream (a sweep would
    // delete it a second time).
    if (prev)
        prev->next = next;
    else if (owner->streams == this)
        owner->streams = next;
    if (next) next->prev = prev;
    prev = next = nullptr;
    Close();
    ReleasePendingUrl();
}

InstanceRecord* DataStream::Instance() const { return owner->instance; }

bool DataStream::InPluginMode() const {
    return Instance() != nullptr && Instance()->pluginMode != 0;
}

void DataStream::ReleasePendingUrl() {
    free(pendingUrl);
    pendingUrl = nullptr;
}

bool DataStream::AwaitDelivery(const char* url) {
    if (url == nullptr) return false;
    char* copy = static_cast<char*>(malloc(strlen(url) + 1));
    if (copy == nullptr) return false;
    memcpy(copy, url, strlen(url) + 1);
    ReleasePendingUrl();
    pendingUrl = copy;
    requestTime = GetTickCount();
    return true;
}

// In plug-in mode the stream is delivered under the URL the browser is
// asked for (a GET's query appended), so that is the one to wait for;
// it is recorded before the request, which the browser may answer at once.
bool DataStream::AwaitRequested(const UrlRequest* request) {
#if QPM_WITH_PLUGIN
    char url[kPluginUrlSize];
    return PluginRequestedUrl(request, url, sizeof url) && AwaitDelivery(url);
#else
    return AwaitDelivery(request->url);
#endif
}

bool DataStream::Open(UrlRequest* request, WPARAM flags) {
    if (InPluginMode() && !AwaitRequested(request)) return false;
    handle = HostOpenStream(Instance(), request, flags);
    if (handle == kStreamLater) {
        handle = kNoStream;
        // A host's delivery (1115) for the URL must find this stream waiting.
        if (pendingUrl == nullptr) AwaitDelivery(request->url);
        return true;
    }
    return handle != kNoStream;
}

bool DataStream::Attach(LONG_PTR newHandle) {
    handle = newHandle;
    if (handle == kNoStream) return false;
    HostStreamReady(Instance(), handle);
    attached = true;
    return true;
}

void DataStream::Close() {
    if (handle != kNoStream) {
        LONG_PTR closing = handle;
        handle = kNoStream;
        HostCloseStream(Instance(), closing);
    }
    attached = false;
}

int32_t DataStream::Read(char* buffer, int32_t size) {
    dataWaiting = false;
    if (!attached || handle == kNoStream) return -1;
    int32_t n = HostReadStream(Instance(), handle, buffer, size);
    // A message handled during the request may have ended the stream.
    if (handle != kNoStream && n >= 0) HostStreamReady(Instance(), handle);
    return n;
}

void DataStream::OnIdle() {
    if (!InPluginMode() || pendingUrl == nullptr) return;
    // Unsigned difference: a wrap of the tick count does no harm.
    if (uint32_t(GetTickCount() - requestTime) > kPendingTimeout) {
        ReleasePendingUrl();
        OnFailed(0);
    }
}

void DataStream::OnDataAvailable() {
    dataWaiting = true;
    if (handle == kNoStream || !autoRead) return;
    char buffer[kChunkSize];
    int32_t n;
    while ((n = Read(buffer, kChunkSize)) > 0) {
        // A host that claims more than it may have copied is not believed.
        if (n > kChunkSize) n = kChunkSize;
        OnData(buffer, n, offset);
        offset += n;
    }
    if (n < 0) OnEnd();
}

void DataStream::OnData(const char*, int32_t, int32_t) {}

void DataStream::OnEnd() {
    if (!InPluginMode() && handle != kNoStream) {
        LONG_PTR closing = handle;
        handle = kNoStream;
        attached = false;
        HostCloseStream(Instance(), closing);
    }
    handle = kNoStream;
    attached = false;
}

void DataStream::Resume() {
    if (handle == kNoStream) return;
    if (!InPluginMode()) HostStreamReady(Instance(), handle);
    attached = true;
}

void DataStream::OnFailed(int32_t code) {
    handle = kNoStream;
    attached = false;
    status = code;
}

void DataStream::OnNotice(int32_t, int32_t, const char*) {}

void DataStream::OnNotice2(int32_t, const char*) {}
