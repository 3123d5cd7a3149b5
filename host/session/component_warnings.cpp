// Components' debug output as warnings.
#include "session/component_warnings.h"

#include <qpm_platform.h>

#include <string>

#include "session/host.h"
#include "session/log.h"

namespace {

void OnDebugOutput(LPCSTR text, void* context) {
    const Host& host = *static_cast<const Host*>(context);
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.empty()) return;
    // Outside the host's own calls (a timer tick) the speaker is unknown.
    const std::string who = host.calling ? "component " + host.calling->label : "a component";
    LogWarning("%s: %s", who.c_str(), line.c_str());
}

}  // namespace

void ShowComponentWarnings(Host& host) { QpmSetDebugOutputHandler(&OnDebugOutput, &host); }

void StopComponentWarnings() { QpmSetDebugOutputHandler(nullptr, nullptr); }
