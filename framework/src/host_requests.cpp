// The component-to-host requests.
#include <qpm/host_requests.h>
#include <qpm/plugin_bridge.h>

#include "reentrant_calls.h"

#include <cstring>

namespace {

// The component window's parent. A window destroyed while its component
// was busy has none any more, but the component is deleted only when that
// call returns: until then its requests (the close of each stream) still
// go to the parent it had.
HWND Host(const InstanceRecord* record) {
    if (HWND parent = GetParent(record->window)) return parent;
    return ParentOfDestroyedWindow(record->window);
}

// Such a component reads no more data and announces no readiness: no
// window is left to receive what the host would send in reply.
bool WindowGone(const InstanceRecord* record) { return !IsWindow(record->window); }

bool PluginMode(const InstanceRecord* record) { return QPM_WITH_PLUGIN && record->pluginMode; }

#if QPM_WITH_PLUGIN
const PluginBridge* pluginBridge = nullptr;
#endif

}  // namespace

#if QPM_WITH_PLUGIN
void SetPluginBridge(const PluginBridge* bridge) { pluginBridge = bridge; }

bool PluginRequestedUrl(const UrlRequest* request, char* buffer, size_t size) {
    if (pluginBridge == nullptr || request->url == nullptr || size == 0) return false;
    if (pluginBridge->requestedUrl) return pluginBridge->requestedUrl(request, buffer, size);
    const size_t length = strlen(request->url) + 1;
    if (length > size) return false;
    memcpy(buffer, request->url, length);
    return true;
}
#endif

LONG_PTR HostOpenStream(InstanceRecord* record, UrlRequest* request, WPARAM flags) {
#if QPM_WITH_PLUGIN
    if (PluginMode(record))
        return pluginBridge ? pluginBridge->openStream(record, request) : kNoStream;
#endif
    return SendMessageA(Host(record), QPMR_OPENSTREAM, flags, reinterpret_cast<LPARAM>(request));
}

void HostCloseStream(InstanceRecord* record, LONG_PTR handle) {
#if QPM_WITH_PLUGIN
    if (PluginMode(record)) {
        if (pluginBridge) pluginBridge->closeStream(record, handle);
        return;
    }
#endif
    SendMessageA(Host(record), QPMR_CLOSESTREAM, 0, handle);
}

int32_t HostReadStream(InstanceRecord* record, LONG_PTR handle, char* buffer, int32_t size) {
    // Under the plug-in adapter data is pushed, never pulled.
    if (PluginMode(record) || WindowGone(record)) return 0;
    ReadRequest request{handle, buffer, size};
    return static_cast<int32_t>(
        SendMessageA(Host(record), QPMR_READSTREAM, 0, reinterpret_cast<LPARAM>(&request)));
}

void HostStreamReady(InstanceRecord* record, LONG_PTR handle) {
    if (PluginMode(record) || WindowGone(record)) return;
    PostMessageA(Host(record), QPMR_STREAMREADY, 0, handle);
}

int32_t GetHostInfo(InstanceRecord* record, int item, char* buffer) {
#if QPM_WITH_PLUGIN
    if (PluginMode(record)) {
        if (pluginBridge) return pluginBridge->hostInfo(record, item, buffer);
        buffer[0] = '\0';
        return 0;
    }
#endif
    LRESULT answer = SendMessageA(Host(record), QPMR_HOSTINFO, static_cast<WORD>(item),
                                  reinterpret_cast<LPARAM>(buffer));
    return answer != 0 ? 1 : 0;
}

int32_t HostSupports(InstanceRecord* record, UINT number) {
    return SendMessageA(Host(record), QPMR_SUPPORTS, number, 0) != 0 ? 1 : 0;
}

int32_t HostResize(InstanceRecord* record, int32_t width, int32_t height) {
    if (record->pluginMode || record->fixedSize) return 0;
    if (!HostSupports(record, QPMR_RESIZE)) return 0;
    SizeRequest request{width, height};
    LRESULT answer = SendMessageA(Host(record), QPMR_RESIZE, 0, reinterpret_cast<LPARAM>(&request));
    return answer != 0 ? 1 : 0;
}
