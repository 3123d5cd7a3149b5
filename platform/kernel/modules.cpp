// Modules: LoadLibraryA, FreeLibrary, GetProcAddress, GetModuleFileNameA,
// GetModuleHandleA over dlopen.
//
// A module handle comes from a HandleTable (so it is above 32, as code
// written for Windows checks) and stands for one loaded file, counted:
// loading the same file again returns the same handle, and the last
// FreeLibrary unloads it. The program itself is a module too, never
// unloaded. GetProcAddress finds only what the module itself exports,
// not what dlsym would find in its dependencies.
#include "internal/handles.h"
#include "internal/kernel_internal.h"
#include "internal/object_counts.h"
#include "kernel/case_map.h"
#include "kernel/file_errors.h"
#include "kernel/file_table.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Module {
    void* dl = nullptr;
    link_map* map = nullptr;  // tells the module's own symbols from its dependencies'
    std::string path;
    int refs = 1;
    bool program = false;
};

qpm::HandleTable<Module>& Modules() {
    static auto* modules = new qpm::HandleTable<Module>(qpm::HandleTag::Module);
    return *modules;
}

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string ProgramPath() { return RealPath("/proc/self/exe"); }

uintptr_t ProgramHandle() {
    static uintptr_t handle = [] {
        auto program = std::make_unique<Module>();
        program->dl = dlopen(nullptr, RTLD_NOW);
        dlinfo(program->dl, RTLD_DI_LINKMAP, &program->map);
        program->path = ProgramPath();
        program->program = true;
        return Modules().Add(std::move(program));
    }();
    return handle;
}

Module* FindModule(HMODULE module) {
    uintptr_t handle = module ? reinterpret_cast<uintptr_t>(module) : ProgramHandle();
    return Modules().Get(handle);
}

// Handles are opaque values, never dereferenced.
HMODULE AsModule(uintptr_t handle) {
    return reinterpret_cast<HMODULE>(handle);  // NOLINT(performance-no-int-to-ptr)
}

bool HasExtension(const std::string& name) {
    return qpm::FileNamePart(name).find('.') != std::string::npos;
}

std::string Stem(const std::string& fileName) {
    size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

// A bare name matches a module's file name in any case, the extension
// optional; a path matches the module's file.
bool Matches(const Module& module, const std::string& wanted) {
    if (wanted.find('/') != std::string::npos)
        return module.path == RealPath(wanted) || module.path == RealPath(wanted + ".so");
    std::string file = qpm::FileNamePart(module.path);
    return qpm::EqualIgnoreCase(file, wanted) ||
           (!HasExtension(wanted) && qpm::EqualIgnoreCase(Stem(file), wanted));
}

uintptr_t FindLoaded(const std::string& wanted) {
    ProgramHandle();
    uintptr_t found = 0;
    Modules().ForEach([&](uintptr_t handle, const Module& module) {
        if (!found && Matches(module, wanted)) found = handle;
    });
    return found;
}

HMODULE Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

// Records a fresh dlopen handle, or counts one more load of a module
// that is already recorded.
HMODULE Adopt(void* dl) {
    uintptr_t existing = 0;
    Modules().ForEach([&](uintptr_t handle, const Module& module) {
        if (module.dl == dl) existing = handle;
    });
    if (existing) {
        dlclose(dl);  // the module keeps exactly one reference of its own
        ++Modules().Get(existing)->refs;
        return AsModule(existing);
    }
    auto module = std::make_unique<Module>();
    module->dl = dl;
    dlinfo(dl, RTLD_DI_LINKMAP, &module->map);
    module->path = RealPath(module->map && module->map->l_name ? module->map->l_name : "");
    QPM_TRACE("module", "loaded %s", module->path.c_str());
    return AsModule(Modules().Add(std::move(module)));
}

// dlopen; a file that is there but cannot be loaded is a bad image,
// unless what is missing is a library it needs.
HMODULE Open(const std::string& file) {
    void* dl = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (dl) return Adopt(dl);
    const char* why = dlerror();
    QPM_TRACE("module", "dlopen %s failed: %s", file.c_str(), why ? why : "?");
    bool missing = why && strstr(why, "No such file");
    return Fail(missing ? ERROR_MOD_NOT_FOUND : ERROR_BAD_EXE_FORMAT);
}

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A path as given (with ".so" when it has no extension); a bare name in
// the program's directory first, then through dlopen's own search.
HMODULE LoadByName(const std::string& name) {
    bool bare = name.find('/') == std::string::npos;
    std::string program = ProgramPath();
    std::string programDir = program.substr(0, program.rfind('/') + 1);
    std::vector<std::string> names{name};
    if (!HasExtension(name)) names.push_back(name + ".so");
    for (const std::string& n : names) {
        std::string file = bare ? programDir + n : n;
        if (IsRegularFile(file)) return Open(file);
    }
    if (!bare) return Fail(ERROR_MOD_NOT_FOUND);
    for (const std::string& n : names) {
        HMODULE module = Open(n);
        if (module || GetLastError() != ERROR_MOD_NOT_FOUND) return module;
    }
    return nullptr;
}

// The module's own symbol of that name.
void* OwnSymbol(const Module& module, const char* name) {
    void* symbol = dlsym(module.dl, name);
    Dl_info info;
    link_map* owner = nullptr;
    if (!symbol || !dladdr1(symbol, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP))
        return nullptr;
    return owner == module.map ? symbol : nullptr;
}

// "_Name@16" (the stdcall decoration) -> "Name"; false for other names.
bool Undecorate(const std::string& name, std::string* plain) {
    size_t at = name.rfind('@');
    if (name.size() < 4 || name[0] != '_' || at == std::string::npos || at < 2 ||
        at + 1 == name.size())
        return false;
    for (size_t i = at + 1; i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    *plain = name.substr(1, at - 1);
    return true;
}

}  // namespace

size_t qpm::CountLoadedModules() {
    size_t n = 0;
    Modules().ForEach([&n](uintptr_t, const Module& m) { n += m.program ? 0 : 1; });
    return n;
}

HMODULE WINAPI LoadLibraryA(LPCSTR path) {
    if (qpm::InjectedFailure(QPM_FAULT_LOADLIBRARY)) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    if (!path) return Fail(ERROR_INVALID_PARAMETER);
    qpm::FlushGatheredWrites();  // a library just written through a handle is whole
    std::string name = qpm::HostPath(path);
    if (name.empty()) return Fail(ERROR_MOD_NOT_FOUND);
    if (name.find('/') == std::string::npos) {  // Windows looks at loaded modules first
        if (uintptr_t loaded = FindLoaded(name)) {
            ++Modules().Get(loaded)->refs;
            return AsModule(loaded);
        }
    }
    return LoadByName(name);
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    Module* m = module ? Modules().Get(reinterpret_cast<uintptr_t>(module)) : nullptr;
    if (!m) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if (m->program || --m->refs > 0) return TRUE;
    QPM_TRACE("module", "unloading %s", m->path.c_str());
    dlclose(m->dl);
    Modules().Remove(reinterpret_cast<uintptr_t>(module));
    return TRUE;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
    Module* m = FindModule(module);
    if (!m) return reinterpret_cast<FARPROC>(Fail(ERROR_MOD_NOT_FOUND));
    // Exports by ordinal (a "name" below 0x10000) do not exist on ELF.
    if (!name || (reinterpret_cast<uintptr_t>(name) >> 16) == 0 || !*name)
        return reinterpret_cast<FARPROC>(Fail(ERROR_PROC_NOT_FOUND));
    void* symbol = OwnSymbol(*m, name);
    std::string plain;
    if (!symbol && Undecorate(name, &plain)) symbol = OwnSymbol(*m, plain.c_str());
    if (!symbol) return reinterpret_cast<FARPROC>(Fail(ERROR_PROC_NOT_FOUND));
    return reinterpret_cast<FARPROC>(symbol);
}

// When the path does not fit, the buffer gets its first `size` characters
// without a NUL (as Windows XP does) and the error is
// ERROR_INSUFFICIENT_BUFFER.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    Module* m = FindModule(module);
    if (!m) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (!buffer && size > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string& path = m->path;
    if (size > path.size()) {
        memcpy(buffer, path.c_str(), path.size() + 1);
        return DWORD(path.size());
    }
    if (size > 0) memcpy(buffer, path.data(), size);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    if (!name) return AsModule(ProgramHandle());
    uintptr_t found = FindLoaded(qpm::HostPath(name));
    return found ? AsModule(found) : Fail(ERROR_MOD_NOT_FOUND);
}
