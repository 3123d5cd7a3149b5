// Loading, sizing, starting and stopping the page's components.
#include "session/component_slots.h"

#include <qpm/protocol.h>
#include <sys/stat.h>
#include <unistd.h>

#include "session/host.h"
#include "session/installer_seam.h"
#include "session/installer_status.h"
#include "session/log.h"
#include "session/page_windows.h"
#include "session/type_table.h"

// A data file the page may not read (outside its folders), or one that
// is no regular file (a FIFO blocks its reader, a device never ends),
// is refused before the component sees it.
bool CheckDataFile(Host& host, ComponentSlot& slot) {
    const char* dataFile = slot.element->record()->dataFile;
    std::string why;
    if (dataFile == nullptr || !host.fileAccess.Refused(dataFile, &why)) return true;
    FailSlot(host, slot, std::string("refused its data file ") + dataFile + ": " + why);
    return false;
}

// Why a component that did not start may have failed: its data file
// missing, unreadable or empty. "" when the file looks readable.
std::string DataFileTrouble(const Host& host, const ComponentSlot& slot) {
    const char* dataFile = slot.element->record()->dataFile;
    std::string why;
    if (dataFile == nullptr || *dataFile == '\0') return "";
    if (!host.fileAccess.CheckReadable(dataFile, &why))
        return "; its data file " + std::string(dataFile) + ": " + why;
    struct stat info {};
    if (stat(dataFile, &info) == 0 && info.st_size == 0)
        return "; its data file " + std::string(dataFile) + " is empty";
    return "";
}

namespace {

constexpr int kDefaultWidth = 400;
constexpr int kDefaultHeight = 50;

void Fail(Host& host, ComponentSlot& slot, const std::string& why) {
    LogError("component %s: %s", slot.label.c_str(), why.c_str());
    slot.failed = true;
    host.componentFailed = true;
}

std::string RegistryLibrary(const std::string& type) {
    char path[512] = "";
    GetPrivateProfileStringA("DRX-Win32", type.c_str(), "", path, sizeof path, "DRX.REG");
    return path;
}

std::string ProgramDirectory() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return "";
    path[n] = '\0';
    std::string program = path;
    return program.substr(0, program.find_last_of('/'));
}

TypeLookup HostTypeLookup() {
    TypeLookup lookup;
#ifdef QPM_COMPONENT_DIR
    const std::string buildDirectory = QPM_COMPONENT_DIR;
#else
    const std::string buildDirectory;
#endif
    lookup.searchDirectories =
        ComponentSearchDirectories(getenv("QPM_LIBRARY_PATH"), ProgramDirectory(),
                                   QPM_INSTALLED_COMPONENT_DIR, buildDirectory);
    lookup.fileExists = [](const std::string& path) { return access(path.c_str(), R_OK) == 0; };
    lookup.registry = &RegistryLibrary;
    return lookup;
}

// The library for the slot's type (or the installer, for a type not
// installed), or "" when none can run it.
std::string FindLibrary(Host& host, ComponentSlot& slot) {
    if (!slot.libraryPath.empty()) return slot.libraryPath;
    const std::string& type = slot.element->type();
    if (type.empty()) {
        Fail(host, slot, "the element has no TYPE attribute, so no component can run it");
        return "";
    }
    const TypeLookup lookup = HostTypeLookup();
    TypeResolution found = ResolveType(type, lookup);
    if (found.source != TypeResolution::kNotInstalled) {
        LogVerbose("%s: type %s runs in %s (%s)", slot.label.c_str(), type.c_str(),
                   found.library.c_str(),
                   found.source == TypeResolution::kKnown ? "known type" : "DRX.REG");
        return found.library;
    }
    if (!found.detail.empty()) LogVerbose("%s: %s", slot.label.c_str(), found.detail.c_str());
    std::string why;
    std::string installer = InstallerLibraryFor(host, slot, lookup, &why);
    if (installer.empty()) Fail(host, slot, why);
    return installer;
}

// The size the page gives, else the component's own, else a default.
void SettleSize(ComponentSlot& slot) {
    ElementRecord& element = *slot.element;
    InitRecord* record = element.record();
    const int pageWidth = record->width, pageHeight = record->height;
    int width = kDefaultWidth, height = kDefaultHeight;
    if ((!element.hasWidth() || !element.hasHeight()) && slot.library->calcSize &&
        slot.library->calcSize(record)) {
        // A component's own answer is believed only within reason.
        if (record->width > 0 && record->width <= 4096) width = record->width;
        if (record->height > 0 && record->height <= 4096) height = record->height;
    }
    record->width = pageWidth;
    record->height = pageHeight;
    element.SetSizeDefaults(width, height);
    slot.width = record->width;
    slot.height = record->height;
}

void StartSlot(Host& host, ComponentSlot& slot) {
    if (!CheckDataFile(host, slot)) return;
    CallingSlot calling(host, &slot);
    if (CreateSite(host, slot) == nullptr)
        return Fail(host, slot, "the host could not create its window");
    InitRecord* record = slot.element->record();
    HWND window = slot.library->init(slot.site, record);
    if (window == nullptr || !IsWindow(window))
        return Fail(host, slot, "QPMInit created no window");
    slot.window = window;
    // QPMInit puts the window at (0, 0) of the site, in the record's size.
    MoveWindow(window, 0, 0, slot.width, slot.height, TRUE);
    LogVerbose("%s at %d,%d size %dx%d", slot.label.c_str(), host.layout.blocks[slot.block].x,
               host.layout.blocks[slot.block].y, slot.width, slot.height);
    const LRESULT started = SendMessageA(window, QPMM_START, 0, reinterpret_cast<LPARAM>(record));
    if (started != 0) return WatchInstallers(host);
    Fail(host, slot,
         "did not start (it answered message 1025 with 0)" + DataFileTrouble(host, slot));
    if (IsWindow(window)) SendMessageA(window, QPMM_STOP, 0, 0);
    for (LONG_PTR handle : host.streams.ForgetOwner(window)) host.transport->Abort(handle);
    slot.window = nullptr;
}

std::string LabelFor(int number, const PageElement& element) {
    const std::string* type = element.Find("type");
    return "#" + std::to_string(number) + " (" +
           (type && !type->empty() ? *type : "<" + element.tag + ">") + ")";
}

}  // namespace

void CreateSlots(Host& host) {
    ElementDefaults defaults{host.baseDirectory, host.page.background, host.page.text};
    for (size_t i = 0; i < host.page.blocks.size(); ++i) {
        const PageBlock& block = host.page.blocks[i];
        if (block.kind != BlockKind::kComponent) continue;
        auto slot = std::make_unique<ComponentSlot>();
        slot->number = int(host.slots.size()) + 1;
        slot->block = i;
        slot->label = LabelFor(slot->number, block.element);
        slot->element = std::make_unique<ElementRecord>(block.element, defaults);
        slot->libraryPath = host.componentLibrary;
        for (const std::string& warning : slot->element->warnings())
            LogWarning("component %s: %s", slot->label.c_str(), warning.c_str());
        host.slots.push_back(std::move(slot));
    }
}

void PrepareSlots(Host& host) {
    for (const auto& owned : host.slots) {
        ComponentSlot& slot = *owned;
        std::string path = FindLibrary(host, slot);
        if (path.empty()) continue;
        std::string error;
        slot.library = host.libraries.Load(path, &error);
        if (slot.library == nullptr) {
            Fail(host, slot, error);
            continue;
        }
        CallingSlot calling(host, &slot);
        SettleSize(slot);
    }
}

void StartSlots(Host& host) {
    for (const auto& slot : host.slots)
        if (!slot->failed) StartSlot(host, *slot);
}

void StopSlots(Host& host) {
    WatchInstallers(host);  // how an installation ended, before the installers go
    for (const auto& slot : host.slots) {
        if (slot->window == nullptr) continue;
        CallingSlot calling(host, slot.get());
        if (IsWindow(slot->window)) SendMessageA(slot->window, QPMM_STOP, 0, 0);
        for (LONG_PTR handle : host.streams.ForgetOwner(slot->window))
            host.transport->Abort(handle);
        slot->window = nullptr;
    }
}

std::string SlotLibraryPath(Host& host, ComponentSlot& slot) {
    if (!slot.libraryPath.empty()) return slot.libraryPath;
    const std::string& type = slot.element->type();
    TypeResolution found = ResolveType(type, HostTypeLookup());
    if (found.source != TypeResolution::kNotInstalled) return found.library;
    Fail(host, slot,
         type.empty() ? "the element has no TYPE attribute, so no component can run it"
                      : "no library is known or installed for type " + type);
    return "";
}

void FailSlot(Host& host, ComponentSlot& slot, const std::string& why) { Fail(host, slot, why); }

void LogPlacement(const Host& host, const ComponentSlot& slot) {
    LogVerbose("%s at %d,%d size %dx%d", slot.label.c_str(), host.layout.blocks[slot.block].x,
               host.layout.blocks[slot.block].y, slot.width, slot.height);
}
