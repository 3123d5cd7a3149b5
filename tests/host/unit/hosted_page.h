// Starts a page's components as qpmhost does, for the tests of the ways
// it runs them: slots, the hosting, the page window, the layout, then
// each component's start. The caller fills in the page, the library and
// whatever else its test needs first.
#pragma once

#include <memory>

#include "session/component_slots.h"
#include "session/host.h"
#include "session/hosting.h"
#include "session/page_windows.h"

// False when the page window could not be made (nothing was started).
inline bool StartComponents(Host& host, HostingMode mode) {
    if (!host.transport) host.transport = std::make_unique<CurlTransport>(&host.streams, "test");
    CreateSlots(host);
    host.hosting = MakeHosting(mode, host);
    host.hosting->Prepare();
    if (!CreatePageWindow(host)) return false;
    RelayoutPage(host);
    host.hosting->Start();
    return true;
}
