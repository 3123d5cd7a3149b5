// The state of one qpmhost run: the page, its components, their windows
// and streams. Every part of the host works on this one object.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "net/curl_transport.h"
#include "net/file_access.h"
#include "net/stream_table.h"
#include "page/element_record.h"
#include "page/layout.h"
#include "page/page.h"
#include "session/component_library.h"
#include "session/host_info.h"
#include "session/hosting.h"

// One component of the page. The site is the host's window the
// component lives in: the component window's parent, exactly its size,
// so that every request the component sends is known to be its own.
struct ComponentSlot {
    int number = 0;     // 1, 2, ... in page order
    size_t block = 0;   // its block in the page
    std::string label;  // "#2 (application/x-pellux-ticker)", for messages
    std::unique_ptr<ElementRecord> element;
    std::string libraryPath;  // when given directly (--component LIB)
    ComponentLibrary* library = nullptr;
    HWND site = nullptr;
    HWND window = nullptr;  // the component window, while it lives
    int width = 0, height = 0;
    bool failed = false;          // could not be loaded or started
    bool runsInstaller = false;   // the installer runs it: its type was not installed
    std::string installerStatus;  // the installer's status text, as last seen
};

struct Host {
    Host() = default;
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    Page page;
    std::string baseUrl;           // stream URLs are relative to it
    std::string baseDirectory;     // data files are relative to it
    std::string componentLibrary;  // --component LIB: the one element's library
    LayoutMetrics metrics;
    PageLayout layout;
    std::vector<std::unique_ptr<ComponentSlot>> slots;
    LibraryCache libraries;
    StreamTable streams;
    std::unique_ptr<CurlTransport> transport;
    HostIdentity identity;
    std::string componentsDirectory;  // where the installer's copy and installed modules live
    std::string installerCopy;        // that copy, once placed
    HWND pageWindow = nullptr;
    bool componentFailed = false;
    FileAccessRule fileAccess;                 // the folders the page may read from
    std::vector<std::string> failedTransfers;  // "URL: why", told when the run ends
    ComponentSlot* calling = nullptr;          // the component being called, for its warnings
    // How the components run; made before they are prepared, gone before
    // the transport it may use.
    std::shared_ptr<ComponentHosting> hosting;

    ComponentSlot* SlotOfWindow(HWND window) const {
        for (const auto& slot : slots)
            if (slot->window == window && window != nullptr) return slot.get();
        return nullptr;
    }
};

// Marks the component the host calls into while the object lives, so
// that what the component says on the way (OutputDebugStringA) is told
// with its name.
class CallingSlot {
public:
    CallingSlot(Host& host, ComponentSlot* slot) : host_(host), previous_(host.calling) {
        host.calling = slot;
    }
    ~CallingSlot() { host_.calling = previous_; }
    CallingSlot(const CallingSlot&) = delete;
    CallingSlot& operator=(const CallingSlot&) = delete;

private:
    Host& host_;
    ComponentSlot* previous_;
};

// A message the host posts to its own page window: streams have notices due.
constexpr UINT kStreamsDueMessage = WM_APP + 1;
// The page window's timer that idles the components (1029) every 100 ms.
constexpr UINT_PTR kPageIdleTimer = 1;
constexpr UINT kIdlePeriodMs = 100;
