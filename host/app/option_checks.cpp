// Output files and folders on the command line.
#include "app/option_checks.h"

#include <sys/stat.h>

#include <utility>
#include <vector>

namespace {

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    return "a device";
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// An output must become a regular file: nothing there yet, or a regular
// file to replace.
bool CheckOutput(const std::string& option, const std::string& path, const HostOptions& options,
                 std::string* error) {
    const std::string named = option + " " + path;
    struct stat info {};
    if (path.back() == '/' || (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))) {
        *error = named + ": that is a directory; give the name of a file to write";
        return false;
    }
    if (lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
        *error = named + ": that is " + std::string(KindOf(info.st_mode)) +
                 "; qpmhost writes only regular files";
        return false;
    }
    if (!options.page.empty() && SameFile(path, options.page)) {
        *error = named + ": that is the page itself";
        return false;
    }
    return true;
}

bool CheckFolder(const std::string& option, const std::string& path, std::string* error) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        *error = option + " " + path + ": no such directory";
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        *error = option + " " + path + ": that is not a directory";
        return false;
    }
    return true;
}

}  // namespace

bool CheckOptionPaths(const HostOptions& options, std::string* error) {
    const std::vector<std::pair<std::string, std::string>> outputs = {
        {"--png", options.pngPath},
        {"--gif", options.gifPath},
        {"--apng", options.apngPath},
        {"--print", options.printPath}};
    for (size_t i = 0; i < outputs.size(); ++i) {
        const auto& [option, path] = outputs[i];
        if (path.empty()) continue;
        if (!CheckOutput(option, path, options, error)) return false;
        for (size_t j = i + 1; j < outputs.size(); ++j) {
            if (outputs[j].second == path || SameFile(outputs[j].second, path)) {
                *error = option;
                *error += " and " + outputs[j].first + " name the same file " + path;
                return false;
            }
        }
    }
    for (const std::string& folder : options.allowedFolders)
        if (!CheckFolder("--allow-files", folder, error)) return false;
    // Only the default Windows directory is made when missing: a folder the
    // user names and mistypes is not created behind their back.
    if (!options.windowsDirectory.empty() &&
        !CheckFolder("--windows-dir", options.windowsDirectory, error))
        return false;
    return true;
}
