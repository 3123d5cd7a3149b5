// The run: page, components, output, and the way out.
#include "app/host_app.h"

#include <qpm_platform.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/consent.h"
#include "app/output_factory.h"
#include "app/run_loops.h"
#include "output/png_file.h"
#include "output/quit_signals.h"
#include "page/url.h"
#include "session/component_slots.h"
#include "session/component_warnings.h"
#include "session/components_folder.h"
#include "session/host.h"
#include "session/log.h"
#include "session/page_windows.h"
#include "session/printing.h"
#include "session/run_lock.h"
#include "session/stale_files.h"
#include "session/uninstall.h"
#include "session/user_data.h"

namespace {

// The longest path of DRX.REG: host information item 1 and the
// components' registry paths hold 511 characters and a NUL.
constexpr size_t kLongestRegistryPath = 511;

std::string WindowsDirectory(const HostOptions& options) {
    return options.windowsDirectory.empty() ? UserDataDirectory() + "/windows"
                                            : AbsolutePath(options.windowsDirectory);
}

// The Windows directory (where DRX.REG lives): the one given, which
// exists (the options checked), or the default, made when missing.
bool SetUpWindowsDirectory(const HostOptions& options, std::string* registry, std::string* error) {
    const bool given = !options.windowsDirectory.empty();
    const std::string directory = WindowsDirectory(options);
    *registry = directory;
    if (registry->back() != '/') *registry += '/';
    *registry += "DRX.REG";
    if (registry->size() > kLongestRegistryPath) {
        *error = "the path of DRX.REG in " + directory + " is " + std::to_string(registry->size()) +
                 " characters long, more than the " + std::to_string(kLongestRegistryPath) +
                 " a component can hold; " + (given ? "choose" : "give") +
                 " a shorter --windows-dir";
        return false;
    }
    if (!given) MakeDirectories(directory);
    QpmSetWindowsDirectory(directory.c_str());
    RemoveDeadWritersFiles(*registry);
    struct stat info {};
    if (lstat(registry->c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        LogError("%s is not a regular file: it is not read, so no installed type is known",
                 registry->c_str());
    return true;
}

// The folders the page may read: its own and those --allow-files names.
// A component run with --component reads what its user names on the
// command line: there is no page to keep to a folder.
bool SetUpFileAccess(Host& host, const HostOptions& options, std::string* error) {
    const std::string own = options.component.empty() ? host.baseDirectory : "/";
    if (!host.fileAccess.Allow(own, error)) return false;
    for (const std::string& folder : options.allowedFolders)
        if (!host.fileAccess.Allow(folder, error)) return false;
    return true;
}

// Downloads go to qpmhost's own temporary folder, where a later run
// finds what a killed one left; to $TMPDIR when it cannot be made.
void SetUpTemporaryDirectory() {
    const std::string folder = TemporaryDirectory();
    if (MakeDirectories(folder))
        QpmSetTempDirectory(folder.c_str());
    else
        LogVerbose("cannot make %s: temporary files go to $TMPDIR", folder.c_str());
}

// The Windows directory, the temporary folder, the components folder,
// the file rule, the host's identity and its transfers.
bool SetUpEnvironment(Host& host, const HostOptions& options) {
    std::string error;
    if (!SetUpWindowsDirectory(options, &host.identity.registryPath, &error) ||
        !SetUpFileAccess(host, options, &error)) {
        LogError("%s", error.c_str());
        return false;
    }
    SetUpTemporaryDirectory();
    host.componentsDirectory = DefaultComponentsDirectory();
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
    Host* shared = &host;
    host.transport->onFailed = [shared](const std::string& url, const std::string& reason) {
        shared->failedTransfers.push_back(url + ": " + reason);
    };
    if (options.caCertificates.empty() ||
        host.transport->TrustExtraCertificates(options.caCertificates, &error))
        return true;
    LogError("--cacert: %s", error.c_str());
    return false;
}

ExitCode Uninstall(const HostOptions& options) {
    std::string registry, error;
    if (!SetUpWindowsDirectory(options, &registry, &error)) {
        LogError("%s", error.c_str());
        return kExitUsage;
    }
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
        for (const std::string& warning : host.page.warnings)
            LogWarning("%s: %s", o.page.c_str(), warning.c_str());
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

// Every component failed and the page has nothing else: there is nothing
// to show, and the failures have been told.
bool NothingToShow(const Host& host) {
    for (const auto& slot : host.slots)
        if (!slot->failed) return false;
    for (const PageBlock& block : host.page.blocks)
        if (block.kind != BlockKind::kComponent) return false;
    return host.componentFailed;
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
    StopComponentWarnings();
    for (const std::string& failure : host.failedTransfers)
        LogError("cannot fetch %s", failure.c_str());
    // Ended by SIGTERM or SIGHUP: as a program that such a signal ends.
    const int signal = QuitSignalNumber();
    if (signal == SIGTERM || signal == SIGHUP) return ExitCode(kExitSignal + signal);
    if (!outputOk) return kExitOutput;
    return host.componentFailed ? kExitComponent : kExitOk;
}

}  // namespace

ExitCode RunHost(const HostOptions& options) {
    SetVerbose(options.verbose);
    // Timers set from now on run on virtual time when headless.
    if (options.Headless()) QpmUseManualClock(0);
    Host host;
    // Held until the run ends; taken before anything is installed or removed.
    MakeDirectories(UserDataDirectory());
    RunLock runLock(RunLockPath());
    TakeRunLockAndSweep(runLock, {TemporaryDirectory(), DefaultComponentsDirectory()});
    if (!options.uninstallType.empty()) return Uninstall(options);
    if (!LoadDocument(host, options)) return kExitPage;
    if (!SetUpEnvironment(host, options)) return kExitUsage;
    ShowComponentWarnings(host);
    CreateSlots(host);

    std::string error;
    std::unique_ptr<PageOutput> output = MakeOutput(options, &error);
    if (!output || !output->Available(&error)) {
        LogError("%s", error.c_str());
        StopComponentWarnings();
        return kExitOutput;
    }
    PageOutput* shown = output.get();
    InstallConsentHandler(
        options.consent, [shown] { shown->Suspend(); }, [shown] { shown->Resume(); });

    host.hosting = MakeHosting(options.hosting, host);
    host.hosting->Prepare();
    if (!CreatePageWindow(host)) {
        LogError("cannot create the page window");
        StopComponentWarnings();
        return kExitOutput;
    }
    RelayoutPage(host);
    host.hosting->Start();
    if (NothingToShow(host)) return Finish(host, nullptr, true);
    if (!output->Open(host.layout.width, host.layout.height, host.page.title, &error)) {
        LogError("%s", error.c_str());
        return Finish(host, nullptr, false);
    }
    HoldErrorsWhileOnScreen(options.output == OutputMode::kTerminal);
    if (output->Live()) {
        RunLive(host, *output);
    } else {
        RunHeadless(host, *output, options);
    }

    bool outputOk = true;
    const PageWriter writer = [&options](const QpmPixels& pixels, std::string* why) {
        return WritePngFile(pixels, options.printPath, why);
    };
    if (!options.printPath.empty() && !PrintPage(host, writer, &error)) {
        LogError("%s", error.c_str());
        outputOk = false;
    }
    return Finish(host, output.get(), outputOk);
}
