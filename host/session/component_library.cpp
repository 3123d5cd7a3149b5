// Loading component libraries.
#include "session/component_library.h"

#include <dlfcn.h>
#include <qpm/protocol.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "session/log.h"

namespace {

// An export as the function type it has; the detour through void(*)()
// tells the compiler that the cast from FARPROC is meant.
template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

std::string LibraryCache::WhyNotLoaded(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return strerror(errno);
    // The layer says only that loading failed; the dynamic loader says why.
    void* probe = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (probe == nullptr) {
        const char* reason = dlerror();
        return reason ? reason : "the dynamic loader refused it";
    }
    dlclose(probe);
    return "LoadLibraryA failed (error " + std::to_string(GetLastError()) + ")";
}

bool LibraryCache::FindExports(ComponentLibrary* library, std::string* error) {
    HMODULE m = library->module;
    library->setInstance = Export<decltype(library->setInstance)>(m, "QPMSetInstance");
    library->getVersion = Export<decltype(library->getVersion)>(m, "QPMGetVersion");
    library->calcSize = Export<decltype(library->calcSize)>(m, "QPMCalcSize");
    library->init = Export<decltype(library->init)>(m, "QPMInit");
    const char* missing = !library->setInstance  ? "QPMSetInstance"
                          : !library->getVersion ? "QPMGetVersion"
                          : !library->init       ? "QPMInit"
                                                 : nullptr;
    if (missing == nullptr) return true;
    *error = library->path + " is not a component library: it does not export " + missing;
    return false;
}

ComponentLibrary* LibraryCache::Load(const std::string& path, std::string* error) {
    auto found = entries_.find(path);
    if (found != entries_.end()) {
        *error = found->second.error;
        return found->second.library.get();
    }
    Entry& entry = entries_[path];
    auto library = std::make_unique<ComponentLibrary>();
    library->path = path;
    LogVerbose("loading %s", path.c_str());
    library->module = LoadLibraryA(path.c_str());
    if (library->module == nullptr) {
        *error = entry.error = "cannot load component library " + path + ": " + WhyNotLoaded(path);
        return nullptr;
    }
    if (!FindExports(library.get(), &entry.error)) {
        FreeLibrary(library->module);
        *error = entry.error;
        return nullptr;
    }
    library->setInstance(reinterpret_cast<HINSTANCE>(library->module));
    library->version = library->getVersion(kLowestVersion, kHighestVersion);
    if (library->version == 0) {
        // A library that speaks none of our versions is not used at all.
        FreeLibrary(library->module);
        *error = entry.error = path + " speaks no interface version from " +
                               std::to_string(kLowestVersion) + " to " +
                               std::to_string(kHighestVersion) + " (QPMGetVersion answered 0)";
        return nullptr;
    }
    LogVerbose("%s: interface version %u", path.c_str(), unsigned(library->version));
    entry.library = std::move(library);
    return entry.library.get();
}

void LibraryCache::FreeAll() {
    for (auto& entry : entries_)
        if (entry.second.library && entry.second.library->module)
            FreeLibrary(entry.second.library->module);
    entries_.clear();
}
