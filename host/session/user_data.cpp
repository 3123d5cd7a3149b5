// The user's data directory.
#include "session/user_data.h"

#include <sys/stat.h>

#include <cstdlib>

std::string UserDataDirectory() {
    const char* data = getenv("XDG_DATA_HOME");
    if (data && *data == '/') return std::string(data) + "/qpm";
    const char* home = getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.local/share/qpm";
}

std::string TemporaryDirectory() { return UserDataDirectory() + "/tmp"; }

std::string RunLockPath() { return UserDataDirectory() + "/qpmhost.lock"; }

bool MakeDirectories(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
    mkdir(path.c_str(), 0755);
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
