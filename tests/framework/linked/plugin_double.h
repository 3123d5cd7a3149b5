// A stand-in for the browser side of plug-in mode: a plug-in bridge that
// records what the framework asks of the browser and answers as the test
// says.
#pragma once

#include <qpm/plugin_bridge.h>

#include <string>
#include <vector>

struct PluginDouble {
    std::vector<std::string> calls;
    LONG_PTR openAnswer = kStreamLater;
};

PluginDouble& Plugin();

// The double as the bridge the framework's plug-in mode uses.
const PluginBridge& PluginDoubleBridge();
