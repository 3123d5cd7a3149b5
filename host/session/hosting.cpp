// Choosing how the components run.
#include "session/hosting.h"

#include "session/alt_host.h"
#include "session/component_slots.h"
#include "session/npapi_browser.h"

namespace {

// The QPM host's own way: component_slots.
class SlotHosting : public ComponentHosting {
public:
    explicit SlotHosting(Host& host) : host_(host) {}
    void Prepare() override { PrepareSlots(host_); }
    void Start() override { StartSlots(host_); }
    void Stop() override { StopSlots(host_); }

private:
    Host& host_;
};

}  // namespace

std::shared_ptr<ComponentHosting> MakeHosting(HostingMode mode, Host& host) {
    switch (mode) {
        case HostingMode::kNpapi:
            return std::make_shared<NpapiBrowser>(host);
        case HostingMode::kAltHost:
            return std::make_shared<AltHost>(host);
        case HostingMode::kComponent:
            break;
    }
    return std::make_shared<SlotHosting>(host);
}
