// Stand-ins for the browser side of plug-in mode: they record what the
// framework asks of the browser and answer as the test says.
#pragma once

#include <qpm/protocol.h>

#include <string>
#include <vector>

struct PluginDouble {
    std::vector<std::string> calls;
    LONG_PTR openAnswer = kStreamLater;
};

PluginDouble& Plugin();
