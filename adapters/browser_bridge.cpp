// Handing the adapter's browser requests to the framework.
#include "browser_bridge.h"

const PluginBridge kBrowserBridge{PluginOpenStream, PluginCloseStream, PluginHostInfo};

namespace {

// Runs when the library is loaded.
struct BridgeSetter {
    BridgeSetter() { SetPluginBridge(&kBrowserBridge); }
} bridgeSetter;

}  // namespace
