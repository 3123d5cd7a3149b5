// Handing the adapter's browser requests to the framework.
#include "browser_bridge.h"

const PluginBridge kBrowserBridge{PluginOpenStream, PluginCloseStream, PluginHostInfo,
                                  PluginRequestedUrlOf};
