// A component library as the host loads it: LoadLibraryA, its exports
// looked up by name, QPMSetInstance, then QPMGetVersion. Each library is
// loaded once, however many page elements it serves.
#pragma once

#include <qpm/records.h>
#include <windows.h>

#include <map>
#include <memory>
#include <string>

struct ComponentLibrary {
    std::string path;
    HMODULE module = nullptr;
    WORD version = 0;
    void(WINAPI* setInstance)(HINSTANCE) = nullptr;
    WORD(WINAPI* getVersion)(WORD, WORD) = nullptr;
    int32_t(WINAPI* calcSize)(InitRecord*) = nullptr;  // may be missing
    HWND(WINAPI* init)(HWND, InitRecord*) = nullptr;
};

class LibraryCache {
public:
    LibraryCache() = default;
    ~LibraryCache() { FreeAll(); }
    LibraryCache(const LibraryCache&) = delete;
    LibraryCache& operator=(const LibraryCache&) = delete;

    // The loaded, version-checked library, or null with `error` saying why
    // (the same error for every later request of a library that failed).
    ComponentLibrary* Load(const std::string& path, std::string* error);
    // Frees every library; their windows must be gone.
    void FreeAll();

private:
    struct Entry {
        std::unique_ptr<ComponentLibrary> library;
        std::string error;
    };
    static std::string WhyNotLoaded(const std::string& path);
    static bool FindExports(ComponentLibrary* library, std::string* error);

    std::map<std::string, Entry> entries_;
};
