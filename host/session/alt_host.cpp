// qpmhost as an alternate host.
#include "session/alt_host.h"

#include <qpm/protocol.h>

#include <strings.h>

#include <cstdio>
#include <cstring>

#include "session/component_slots.h"
#include "session/host.h"
#include "session/log.h"
#include "session/page_windows.h"

namespace {

constexpr int kDefaultWidth = 400;
constexpr int kDefaultHeight = 50;
constexpr size_t kFieldSize = sizeof(AltInitRecord{}.subtype);  // 512, with the NUL

bool OwnField(const std::string& name) {
    for (const char* field : {"TYPE", "SUBTYPE", "DATAFILE"})
        if (strcasecmp(name.c_str(), field) == 0) return true;
    return false;
}

bool Findable(const std::string& name) {
    return !name.empty() && name.find_first_of("=, \t\n\v\f\r") == std::string::npos;
}

std::string Escaped(const std::string& value) {
    std::string out;
    for (char c : value) out += c == '%' ? "%25" : c == ',' ? "%2C" : std::string(1, c);
    return out;
}

template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

std::string PackAttributes(const std::vector<PageAttribute>& attributes, size_t limit,
                           std::vector<std::string>* left) {
    std::string list;
    for (const PageAttribute& a : attributes) {
        if (OwnField(a.name)) continue;
        const std::string entry = a.name + "=" + Escaped(a.value);
        const size_t grown = list.size() + (list.empty() ? 0 : 1) + entry.size();
        if (!Findable(a.name) || grown > limit) {
            if (left) left->push_back(a.name);
            continue;
        }
        list += (list.empty() ? "" : ",") + entry;
    }
    return list;
}

AltHost::~AltHost() { Stop(); }

AltHost::Library* AltHost::Load(const std::string& path, std::string* error) {
    for (auto& library : libraries_) {
        if (library->path != path) continue;
        *error = library->error;
        return library->error.empty() ? library.get() : nullptr;
    }
    libraries_.push_back(std::make_unique<Library>());
    Library& library = *libraries_.back();
    library.path = path;
    library.module = LoadLibraryA(path.c_str());
    auto setInstance = library.module
                           ? Export<void(WINAPI*)(HINSTANCE)>(library.module, "QPMSetInstance")
                           : nullptr;
    auto getVersion = library.module
                          ? Export<WORD(WINAPI*)(WORD, WORD)>(library.module, "DRXGetVersion")
                          : nullptr;
    if (library.module) {
        library.init = Export<decltype(library.init)>(library.module, "DRXInit");
        library.calcSize = Export<decltype(library.calcSize)>(library.module, "DRXCalcSize");
    }
    if (library.module == nullptr) {
        library.error = "cannot load component library " + path;
    } else if (!setInstance || !getVersion || !library.init) {
        library.error = path +
                        " has no alternate host entry points (QPMSetInstance, "
                        "DRXGetVersion, DRXInit)";
    } else {
        setInstance(reinterpret_cast<HINSTANCE>(library.module));
        const WORD version = getVersion(kLowestVersion, kHighestVersion);
        LogVerbose("%s: DRXGetVersion = %u", path.c_str(), unsigned(version));
        if (version == 0)
            library.error =
                path + " speaks no interface version we speak (DRXGetVersion answered 0)";
    }
    *error = library.error;
    return library.error.empty() ? &library : nullptr;
}

// The element as an AltInitRecord (its size still open).
bool AltHost::Describe(ComponentSlot& slot, AltInitRecord* record) {
    const InitRecord& init = *slot.element->record();
    const PageElement& element = host_.page.blocks[slot.block].element;
    memset(record, 0, sizeof *record);
    snprintf(record->type, sizeof record->type, "%s", slot.element->type().c_str());
    const size_t dataFile = init.dataFile ? strlen(init.dataFile) + 1 : 0;
    if (dataFile > sizeof record->dataFile) {
        FailSlot(host_, slot, "its data file's path is longer than an alternate host can give");
        return false;
    }
    if (init.dataFile) memcpy(record->dataFile, init.dataFile, dataFile);
    std::vector<std::string> left;
    const std::string packed = PackAttributes(element.attributes, kFieldSize - 1, &left);
    memcpy(record->subtype, packed.c_str(), packed.size() + 1);
    for (const std::string& name : left)
        LogError("component %s: attribute %s left out of SUBTYPE", slot.label.c_str(),
                 name.c_str());
    LogVerbose("%s: SUBTYPE %s", slot.label.c_str(), record->subtype);
    record->mode = 0;
    record->backColor = init.backColor;
    record->textColor = init.textColor;
    return true;
}

void AltHost::Prepare() {
    for (const auto& owned : host_.slots) {
        ComponentSlot& slot = *owned;
        const std::string path = SlotLibraryPath(host_, slot);
        if (path.empty()) continue;
        std::string error;
        Library* library = Load(path, &error);
        if (library == nullptr) {
            FailSlot(host_, slot, error);
            continue;
        }
        auto record = std::make_unique<AltInitRecord>();
        if (!Describe(slot, record.get())) continue;
        // The page's size, else the component's own (within reason), else a default.
        ElementRecord& element = *slot.element;
        int width = kDefaultWidth, height = kDefaultHeight;
        if ((!element.hasWidth() || !element.hasHeight()) && library->calcSize &&
            library->calcSize(record.get())) {
            if (record->width > 0 && record->width <= 4096) width = record->width;
            if (record->height > 0 && record->height <= 4096) height = record->height;
        }
        element.SetSizeDefaults(width, height);
        slot.width = record->width = element.record()->width;
        slot.height = record->height = element.record()->height;
        prepared_[&slot] = {library, std::move(record)};
    }
}

void AltHost::Start() {
    for (const auto& owned : host_.slots) {
        ComponentSlot& slot = *owned;
        auto prepared = prepared_.find(&slot);
        if (slot.failed || prepared == prepared_.end()) continue;
        if (!CheckDataFile(host_, slot)) continue;
        if (CreateSite(host_, slot) == nullptr) {
            FailSlot(host_, slot, "the host could not create its window");
            continue;
        }
        AltInitRecord* record = prepared->second.second.get();
        HWND window = prepared->second.first->init(slot.site, record);
        if (window == nullptr || !IsWindow(window)) {
            FailSlot(host_, slot, "DRXInit created no window");
            continue;
        }
        slot.window = window;
        MoveWindow(window, 0, 0, slot.width, slot.height, TRUE);
        LogPlacement(host_, slot);
        if (SendMessageA(window, QPMM_START, 0, reinterpret_cast<LPARAM>(record)) != 0) continue;
        FailSlot(host_, slot,
                 "did not start (it answered message 1025 with 0)" + DataFileTrouble(host_, slot));
        if (IsWindow(window)) SendMessageA(window, QPMM_STOP, 0, 0);
        for (LONG_PTR handle : host_.streams.ForgetOwner(window)) host_.transport->Abort(handle);
        slot.window = nullptr;
    }
}

void AltHost::Stop() {
    StopSlots(host_);
    for (auto& library : libraries_) {
        if (library->module) FreeLibrary(library->module);
        library->module = nullptr;
    }
}
