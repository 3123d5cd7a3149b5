// Which library runs a component type: first the host's own table of
// known types (libraries built with the host, searched for in a list of
// directories), then the types installed in the registry file.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The type name under which the ticker (libpellux.so) is known.
extern const char kTickerType[];

struct TypeLookup {
    std::vector<std::string> searchDirectories;                    // for the known types' libraries
    std::function<bool(const std::string& path)> fileExists;       // tests may fake the file system
    std::function<std::string(const std::string& type)> registry;  // "" when not installed
};

struct TypeResolution {
    enum Source { kKnown, kRegistry, kNotInstalled } source = kNotInstalled;
    std::string library;  // the library's path, when found
    std::string detail;   // why a known type's library was not found
};

// The library file name of a known type ("libpellux.so"), or null.
const char* KnownTypeLibrary(const std::string& type);

TypeResolution ResolveType(const std::string& type, const TypeLookup& lookup);

// Where the known types' libraries are looked for, in order: each entry
// of $QPM_LIBRARY_PATH (colon-separated), the directory of the qpmhost
// binary, the directory an installation puts them in (`installedRelative`
// to the binary's, "../lib/qpm"), then the build directory the host was
// configured with.
std::vector<std::string> ComponentSearchDirectories(const char* libraryPathVariable,
                                                    const std::string& programDirectory,
                                                    const std::string& installedRelative,
                                                    const std::string& buildDirectory);
