// LoadLibraryA, GetProcAddress, FreeLibrary, GetModuleFileNameA and
// GetModuleHandleA on the test module (qpm_testmodule.so, or .dll on
// Windows, built next to this program).
#include "kernel_test_support.h"

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

#include <climits>
#include <cstdint>

namespace {

using qpm_test::ScratchDir;
using qpm_test::WriteFileBytes;

const char kModulePath[] = QPM_TESTMODULE_PATH;
#if defined(_WIN32)
const std::string kModuleExtension = ".dll";
const std::string kProgramName = "test_kernel.exe";
#else
const std::string kModuleExtension = ".so";
const std::string kProgramName = "test_kernel";
#endif

using AddFn = int (*)(int, int);
using ProcFn = intptr_t(WINAPI*)(void*, unsigned, uintptr_t, intptr_t);

// FARPROC to the export's real type (through void* to say the cast is meant).
template <class Fn>
Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

#if defined(_WIN32)

bool StillMapped(const char* path) { return GetModuleHandleA(path) != nullptr; }

std::string FullPath(const char* path) {
    char buffer[MAX_PATH];
    DWORD n = GetFullPathNameA(path, MAX_PATH, buffer, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : "";
}

// The program lies beside the module.
std::string ProgramPath() {
    std::string module = FullPath(kModulePath);
    return module.substr(0, module.find_last_of('\\') + 1) + kProgramName;
}

#else

bool StillMapped(const char* path) {
    void* dl = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    if (dl) dlclose(dl);
    return dl != nullptr;
}

std::string FullPath(const char* path) {
    char resolved[PATH_MAX];
    return realpath(path, resolved) ? resolved : "";
}

std::string ProgramPath() { return FullPath("/proc/self/exe"); }

#endif

// Loads are counted: every test frees what it loaded, so the module is
// unloaded between tests even when they share a process.
TEST(Modules, LoadFindAndCallExports) {
    HMODULE module = LoadLibraryA(kModulePath);
    ASSERT_NE(module, nullptr);
    EXPECT_GT(reinterpret_cast<uintptr_t>(module), 32u);
    auto add = Export<AddFn>(module, "Probe_Add");
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add(2, 3), 5);
    auto proc = Export<ProcFn>(module, "_Probe_Proc@16");
    ASSERT_NE(proc, nullptr);
    EXPECT_EQ(proc(nullptr, 7, 2, 1), 7 + 20 + 100);
    EXPECT_TRUE(FreeLibrary(module));
}

// An ELF symbol cannot hold '@', so the module exports the procedure as
// "Probe_Proc"; the decorated name above found it through that.
TEST(Modules, ADecoratedNameIsTheElfSymbolWithoutItsDecoration) {
    QPM_LAYER_CHOICE("a Windows DLL exports \"_Probe_Proc@16\" under that very name");
    HMODULE module = LoadLibraryA(kModulePath);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(GetProcAddress(module, "Probe_Proc"), nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, "Probe_Proc")),
              reinterpret_cast<void*>(GetProcAddress(module, "_Probe_Proc@16")));
    FreeLibrary(module);
}

TEST(Modules, OrdinalsFindNothing) {
    QPM_LAYER_CHOICE("an ELF library has no ordinals; Windows finds export 1 by its ordinal");
    HMODULE module = LoadLibraryA(kModulePath);
    ASSERT_NE(module, nullptr);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(1)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    FreeLibrary(module);
}

TEST(Modules, MissingExportsAndModules) {
    HMODULE module = LoadLibraryA(kModulePath);
    ASSERT_NE(module, nullptr);
    struct Row {
        const char* name;
    };
    const Row missing[] = {
        {"probe_add"},      {"PROBE_ADD"},     {"Nothing"}, {""}, {"_Probe_Proc@"},
        {"_Probe_Proc@1x"}, {"Probe_Proc@16"}, {"malloc"},  // in a library the module uses, not
                                                            // exported by the module itself
    };
    for (const Row& row : missing) {
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(module, row.name), nullptr) << row.name;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND)) << row.name;
    }
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(nullptr, "Probe_Add"), nullptr);  // not the program's export
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(reinterpret_cast<HMODULE>(0x1234), "Probe_Add"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    FreeLibrary(module);
}

TEST(Modules, LoadsAreCountedAndTheLastFreeUnloads) {
    HMODULE a = LoadLibraryA(kModulePath);
    HMODULE b = LoadLibraryA("qpm_testmodule");  // bare, no extension: the program's directory
    HMODULE c = LoadLibraryA("QPM_TESTMODULE");  // loaded already: any case
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(b, a);
    EXPECT_EQ(c, a);
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_TRUE(StillMapped(kModulePath));
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_FALSE(StillMapped(kModulePath));
    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(a));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(a, "Probe_Add"), nullptr);  // a stale handle
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}

TEST(Modules, FileNamesAndHandles) {
    const std::string path = FullPath(kModulePath);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(GetModuleHandleA("qpm_testmodule"), nullptr);  // not loaded yet
    HMODULE module = LoadLibraryA(kModulePath);
    ASSERT_NE(module, nullptr);
    std::string upper = kModuleExtension;
    for (char& c : upper) c = char(toupper(c));
    for (std::string name : {std::string("qpm_testmodule"), "QPM_TestModule" + upper,
                             "qpm_testmodule" + kModuleExtension})
        EXPECT_EQ(GetModuleHandleA(name.c_str()), module) << name;
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleA("qpm_other"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));

    char buffer[PATH_MAX];
    EXPECT_EQ(GetModuleFileNameA(module, buffer, sizeof buffer), path.size());
    EXPECT_EQ(buffer, path);

    const std::string self = ProgramPath();
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, sizeof buffer), self.size());
    EXPECT_EQ(buffer, self);
    HMODULE program = GetModuleHandleA(nullptr);
    EXPECT_GT(reinterpret_cast<uintptr_t>(program), 32u);
    EXPECT_EQ(GetModuleFileNameA(program, buffer, sizeof buffer), self.size());
    EXPECT_EQ(GetModuleHandleA(kProgramName.c_str()), program);

    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(0x1234), buffer, 10), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    FreeLibrary(module);
}

TEST(Modules, TruncatedFileNameHasNoNul) {
    HMODULE module = LoadLibraryA(kModulePath);
    char full[PATH_MAX];
    const DWORD len = GetModuleFileNameA(module, full, sizeof full);
    ASSERT_GT(len, 10u);
    struct Row {
        DWORD size, result;
        DWORD error;  // 0: the last error is not touched
    };
    const Row rows[] = {
        {len + 1, len, 0},
        {len, len, ERROR_INSUFFICIENT_BUFFER},
        {10, 10, ERROR_INSUFFICIENT_BUFFER},
        {1, 1, ERROR_INSUFFICIENT_BUFFER},
    };
    for (const Row& row : rows) {
        char buffer[PATH_MAX];
        memset(buffer, '#', sizeof buffer);
        SetLastError(0);
        EXPECT_EQ(GetModuleFileNameA(module, buffer, row.size), row.result) << row.size;
        EXPECT_EQ(GetLastError(), row.error) << row.size;
        EXPECT_EQ(std::string(buffer, row.result), std::string(full, row.result));
        EXPECT_EQ(buffer[row.result], row.size > len ? '\0' : '#') << row.size;
    }
    FreeLibrary(module);
}

TEST(Modules, WhatCannotBeLoaded) {
    ScratchDir dir;
    WriteFileBytes(dir / "text.dll", "this is not a library");
    WriteFileBytes(dir / "mz.txt", "MZ\x90\x00");
    WriteFileBytes(dir / "empty.dll", "");
    struct Row {
        std::string name;
        DWORD error;
    };
    const Row rows[] = {
        {dir / "missing.dll", ERROR_MOD_NOT_FOUND},
        {dir / "nodir/missing.dll", ERROR_MOD_NOT_FOUND},
        {"", ERROR_MOD_NOT_FOUND},
        {dir.path(), ERROR_MOD_NOT_FOUND},
        {"qpm_no_such_module", ERROR_MOD_NOT_FOUND},
        {dir / "text.dll", ERROR_BAD_EXE_FORMAT},
        {dir / "mz.txt", ERROR_BAD_EXE_FORMAT},
        {dir / "empty.dll", ERROR_BAD_EXE_FORMAT},
    };
    for (const Row& row : rows) {
        SetLastError(0);
        EXPECT_EQ(LoadLibraryA(row.name.c_str()), nullptr) << row.name;
        EXPECT_EQ(GetLastError(), row.error) << row.name;
    }
}

TEST(Modules, InjectedFailure) {
    QPM_REQUIRES_HOST_EXTENSION("fault injection");
    QpmFailNth(QPM_FAULT_LOADLIBRARY, 1);
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA(kModulePath), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_FALSE(StillMapped(kModulePath));
    HMODULE module = LoadLibraryA(kModulePath);
    EXPECT_NE(module, nullptr);
    FreeLibrary(module);
    QpmResetFaults();
}

}  // namespace
