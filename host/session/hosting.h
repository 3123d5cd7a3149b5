// How qpmhost runs the page's components: as the QPM host it is (the
// QPM* entry points and the host messages), as the Netscape browser (the
// plug-in API, --npapi) or as an alternate host (the DRX* entry points,
// --alt-host). Each way loads, starts and stops the components of the
// page's slots; the run around it is the same.
#pragma once

#include <memory>

struct Host;

enum class HostingMode { kComponent, kNpapi, kAltHost };

class ComponentHosting {
public:
    virtual ~ComponentHosting() = default;
    // Loads each slot's library and settles its size; a slot that fails
    // is reported and left out.
    virtual void Prepare() = 0;
    // Creates and starts each prepared slot's component.
    virtual void Start() = 0;
    // Stops every component and lets go of the libraries' state.
    virtual void Stop() = 0;
};

std::shared_ptr<ComponentHosting> MakeHosting(HostingMode mode, Host& host);
