#include "framework/linked/plugin_double.h"

#include <cstring>

namespace {

LONG_PTR OpenStream(InstanceRecord*, const UrlRequest* request) {
    Plugin().calls.push_back(std::string("open ") + (request->url ? request->url : "(null)"));
    return Plugin().openAnswer;
}

void CloseStream(InstanceRecord*, LONG_PTR handle) {
    Plugin().calls.push_back("close " + std::to_string(handle));
}

int32_t HostInfo(InstanceRecord*, int item, char* buffer) {
    Plugin().calls.push_back("info " + std::to_string(item));
    strcpy(buffer, "");
    return 1;
}

}  // namespace

PluginDouble& Plugin() {
    static PluginDouble double_;
    return double_;
}

const PluginBridge& PluginDoubleBridge() {
    static const PluginBridge bridge{OpenStream, CloseStream, HostInfo, nullptr};
    return bridge;
}
