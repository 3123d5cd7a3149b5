// The host's table of known component types.
#include "session/type_table.h"

#include <strings.h>

const char kTickerType[] = "application/x-pellux-ticker";
const char kInstallerLibrary[] = "libvarnoq.so";

namespace {

struct KnownType {
    const char* type;
    const char* library;
};

const KnownType kKnownTypes[] = {
    {kTickerType, "libpellux.so"},
};

// `relative` ("../lib/qpm") taken from `directory`, its leading ".."s
// climbing: "/opt/qpm/bin" gives "/opt/qpm/lib/qpm".
std::string RelativeTo(std::string directory, std::string relative) {
    while (relative.compare(0, 3, "../") == 0) {
        const size_t slash = directory.find_last_of('/');
        directory.erase(slash == std::string::npos ? 0 : slash);
        relative.erase(0, 3);
    }
    return directory + "/" + relative;
}

}  // namespace

const char* KnownTypeLibrary(const std::string& type) {
    for (const KnownType& known : kKnownTypes)
        if (strcasecmp(known.type, type.c_str()) == 0) return known.library;
    return nullptr;
}

namespace {

bool IsUsableRegistryValue(const std::string& value) {
    return !value.empty() && value.size() <= kLongestRegistryValue &&
           (value[0] == '/' || value[0] == '\\');
}

}  // namespace

std::string FindLibraryFile(const std::string& file, const TypeLookup& lookup) {
    for (const std::string& directory : lookup.searchDirectories) {
        std::string path = directory + "/";
        path += file;
        if (lookup.fileExists(path)) return path;
    }
    return "";
}

std::string NotFoundDetail(const std::string& file, const TypeLookup& lookup) {
    std::string detail = file + " was not found in";
    for (const std::string& directory : lookup.searchDirectories) detail += " " + directory;
    if (lookup.searchDirectories.empty()) detail += " (no directory to search)";
    return detail;
}

TypeResolution ResolveType(const std::string& type, const TypeLookup& lookup) {
    TypeResolution result;
    if (const char* file = KnownTypeLibrary(type)) {
        result.library = FindLibraryFile(file, lookup);
        if (!result.library.empty()) {
            result.source = TypeResolution::kKnown;
            return result;
        }
        result.detail = NotFoundDetail(file, lookup);
    }
    if (lookup.registry && !type.empty()) {
        std::string installed = lookup.registry(type);
        if (IsUsableRegistryValue(installed)) {
            result.source = TypeResolution::kRegistry;
            result.library = installed;
            return result;
        }
        if (!installed.empty())
            result.detail = "DRX.REG names \"" + installed.substr(0, 80) +
                            (installed.size() > 80 ? "..." : "") +
                            "\" for it, which is not a whole absolute path: not loaded";
    }
    return result;
}

std::vector<std::string> ComponentSearchDirectories(const char* libraryPathVariable,
                                                    const std::string& programDirectory,
                                                    const std::string& installedRelative,
                                                    const std::string& buildDirectory) {
    std::vector<std::string> directories;
    if (libraryPathVariable) {
        std::string list = libraryPathVariable;
        size_t start = 0;
        while (start <= list.size()) {
            size_t end = list.find(':', start);
            if (end == std::string::npos) end = list.size();
            if (end > start) directories.push_back(list.substr(start, end - start));
            start = end + 1;
        }
    }
    if (!programDirectory.empty()) {
        directories.push_back(programDirectory);
        if (!installedRelative.empty())
            directories.push_back(RelativeTo(programDirectory, installedRelative));
    }
    if (!buildDirectory.empty() && buildDirectory != programDirectory)
        directories.push_back(buildDirectory);
    return directories;
}
