// The run: page, components, output, and the way out.
#include "app/host_app.h"

#include <qpm_platform.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/consent.h"
#include "app/output_factory.h"
#include "app/run_loops.h"
#include "page/url.h"
#include "session/component_slots.h"
#include "session/components_folder.h"
#include "session/host.h"
#include "session/log.h"
#include "session/page_windows.h"
#include "session/printing.h"
#include "session/uninstall.h"
#include "session/user_data.h"

namespace {

// The Windows directory, where DRX.REG lives.
void SetUpWindowsDirectory(const HostOptions& options) {
    const std::string directory = options.windowsDirectory.empty()
                                      ? UserDataDirectory() + "/windows"
                                      : AbsolutePath(options.windowsDirectory);
    MakeDirectories(directory);
    QpmSetWindowsDirectory(directory.c_str());
}

// The Windows directory, the components folder, the host's identity and
// its transfers.
bool SetUpEnvironment(Host& host, const HostOptions& options) {
    SetUpWindowsDirectory(options);
    host.componentsDirectory = DefaultComponentsDirectory();
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string registry = windows;
    if (registry.empty() || registry.back() != '/') registry += '/';
    host.identity.registryPath = registry + "DRX.REG";
    host.identity.context = options.context;
    host.identity.userName = options.userName;
    host.identity.userAddress = options.userAddress;
    FillUserFromAccount(&host.identity);
    host.identity.userAgent = HostUserAgent();
    host.transport = std::make_unique<CurlTransport>(&host.streams, host.identity.userAgent);
    host.transport->onFinished = [](LONG_PTR handle, const std::string& url, int32_t code) {
        if (code != 0)
            LogVerbose("cannot fetch %s (handle %ld): failed with code %d", url.c_str(),
                       long(handle), code);
        else
            LogVerbose("fetched %s (handle %ld)", url.c_str(), long(handle));
    };
    std::string error;
    if (options.caCertificates.empty() ||
        host.transport->TrustExtraCertificates(options.caCertificates, &error))
        return true;
    LogError("--cacert: %s", error.c_str());
    return false;
}

ExitCode Uninstall(const HostOptions& options) {
    SetUpWindowsDirectory(options);
    std::string report;
    const bool removed =
        UninstallType(options.uninstallType, DefaultComponentsDirectory(), &report);
    fputs(report.c_str(), removed ? stdout : stderr);
    return removed ? kExitOk : kExitComponent;
}

// --component takes a library file or a type name; type names hold a
// '/' too ("application/x-pellux-ticker"), so only what looks like a
// file, or is one, counts as a file.
bool NamesALibraryFile(const std::string& name) {
    const bool soName = name.size() > 3 && (name.compare(name.size() - 3, 3, ".so") == 0 ||
                                            name.find(".so.") != std::string::npos);
    return soName || name[0] == '/' || name[0] == '.' || access(name.c_str(), F_OK) == 0;
}

// The page from its file, or a page of one element from --component.
bool LoadDocument(Host& host, const HostOptions& o) {
    if (o.component.empty()) {
        std::string error;
        if (!LoadPageFile(o.page, &host.page, &error)) {
            LogError("%s", error.c_str());
            return false;
        }
        const std::string path = AbsolutePath(o.page);
        host.baseUrl = FileUrlFromPath(path);
        host.baseDirectory = DirectoryOf(path);
        return true;
    }
    host.baseDirectory = AbsolutePath(".");
    host.baseUrl = FileUrlFromPath(host.baseDirectory + "/");
    host.metrics = LayoutMetrics{0, 0, 0, 4096};
    PageBlock block{BlockKind::kComponent, "", {}};
    block.element.tag = "embed";
    for (const auto& attribute : o.attributes)
        block.element.attributes.push_back({attribute.first, attribute.second});
    if (o.width) block.element.attributes.push_back({"WIDTH", std::to_string(o.width)});
    if (o.height) block.element.attributes.push_back({"HEIGHT", std::to_string(o.height)});
    const bool isPath = NamesALibraryFile(o.component);
    if (!isPath && !block.element.Find("type"))
        block.element.attributes.insert(block.element.attributes.begin(), {"TYPE", o.component});
    host.page.title = o.component;
    host.page.blocks.push_back(block);
    if (isPath) host.componentLibrary = AbsolutePath(o.component);
    return true;
}

ExitCode Finish(Host& host, PageOutput* output, bool outputOk) {
    host.hosting->Stop();
    if (host.pageWindow) DestroyWindow(host.pageWindow);
    host.pageWindow = nullptr;
    host.libraries.FreeAll();
    std::string error;
    if (output && !output->Close(&error)) {
        LogError("%s", error.c_str());
        outputOk = false;
    }
    HoldErrorsWhileOnScreen(false);
    if (!outputOk) return kExitOutput;
    return host.componentFailed ? kExitComponent : kExitOk;
}

}  // namespace

ExitCode RunHost(const HostOptions& options) {
    SetVerbose(options.verbose);
    // Timers set from now on run on virtual time when headless.
    if (options.Headless()) QpmUseManualClock(0);
    Host host;
    if (!options.uninstallType.empty()) return Uninstall(options);
    if (!LoadDocument(host, options)) return kExitPage;
    if (!SetUpEnvironment(host, options)) return kExitUsage;
    CreateSlots(host);

    std::string error;
    std::unique_ptr<PageOutput> output = MakeOutput(options, &error);
    if (!output || !output->Available(&error)) {
        LogError("%s", error.c_str());
        return kExitOutput;
    }
    PageOutput* shown = output.get();
    InstallConsentHandler(
        options.consent, [shown] { shown->Suspend(); }, [shown] { shown->Resume(); });

    host.hosting = MakeHosting(options.hosting, host);
    host.hosting->Prepare();
    if (!CreatePageWindow(host)) {
        LogError("cannot create the page window");
        return kExitOutput;
    }
    RelayoutPage(host);
    host.hosting->Start();
    if (!output->Open(host.layout.width, host.layout.height, host.page.title, &error)) {
        LogError("%s", error.c_str());
        return Finish(host, nullptr, false);
    }
    HoldErrorsWhileOnScreen(options.output == OutputMode::kTerminal);
    if (output->Live())
        RunLive(host, *output);
    else
        RunHeadless(host, *output, options);

    bool outputOk = true;
    if (!options.printPath.empty() && !PrintPage(host, options.printPath, &error)) {
        LogError("%s", error.c_str());
        outputOk = false;
    }
    return Finish(host, output.get(), outputOk);
}
