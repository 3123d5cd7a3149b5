#include "plugin_double.h"

#include <qpm/plugin_bridge.h>

#include <cstring>

PluginDouble& Plugin() {
    static PluginDouble double_;
    return double_;
}

LONG_PTR PluginOpenStream(InstanceRecord*, const UrlRequest* request) {
    Plugin().calls.push_back(std::string("open ") + (request->url ? request->url : "(null)"));
    return Plugin().openAnswer;
}

void PluginCloseStream(InstanceRecord*, LONG_PTR handle) {
    Plugin().calls.push_back("close " + std::to_string(handle));
}

int32_t PluginHostInfo(InstanceRecord*, int item, char* buffer) {
    Plugin().calls.push_back("info " + std::to_string(item));
    strcpy(buffer, "");
    return 1;
}
