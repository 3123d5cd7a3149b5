// Which library runs a component type: first the host's own table of
// known types (libraries built with the host, searched for in a list of
// directories), then the types installed in the registry file.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The type name under which the ticker (libpellux.so) is known.
extern const char kTickerType[];
// The installer component's library, looked for like a known type's.
extern const char kInstallerLibrary[];
// The longest DRX.REG value that cannot have been cut: a value that
// fills a 512-byte buffer may be the start of a longer path.
constexpr size_t kLongestRegistryValue = 510;

struct TypeLookup {
    std::vector<std::string> searchDirectories;                    // for the known types' libraries
    std::function<bool(const std::string& path)> fileExists;       // tests may fake the file system
    std::function<std::string(const std::string& type)> registry;  // "" when not installed
};

struct TypeResolution {
    enum Source { kKnown, kRegistry, kNotInstalled } source = kNotInstalled;
    std::string library;  // the library's path, when found
    std::string detail;   // why a known type's library or its DRX.REG entry was not used
};

// The library file name of a known type ("libpellux.so"), or null.
const char* KnownTypeLibrary(const std::string& type);

// A DRX.REG entry is used only when it names one file wherever the host
// runs: an absolute path, short enough not to have been cut. A bare name
// would be looked up along the library search path and might load
// another file than the one that was fingerprinted.
TypeResolution ResolveType(const std::string& type, const TypeLookup& lookup);

// The first of the search directories that holds `file`, as a path; "".
std::string FindLibraryFile(const std::string& file, const TypeLookup& lookup);
// "FILE was not found in DIR DIR ..."
std::string NotFoundDetail(const std::string& file, const TypeLookup& lookup);

// Where the known types' libraries are looked for, in order: each entry
// of $QPM_LIBRARY_PATH (colon-separated), the directory of the qpmhost
// binary, the directory an installation puts them in (`installedRelative`
// to the binary's, "../lib/qpm"), then the build directory the host was
// configured with.
std::vector<std::string> ComponentSearchDirectories(const char* libraryPathVariable,
                                                    const std::string& programDirectory,
                                                    const std::string& installedRelative,
                                                    const std::string& buildDirectory);
