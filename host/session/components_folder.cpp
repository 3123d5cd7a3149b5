// The installer's copy in the components folder.
#include "session/components_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "session/log.h"
#include "session/user_data.h"

namespace {

bool ReadWhole(const std::string& path, std::string* content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    *content = bytes.str();
    return !in.bad();
}

bool WriteAll(int fd, const std::string& content) {
    size_t done = 0;
    while (done < content.size()) {
        ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

// Writes `content` to a new file beside `target` and renames it over
// `target`: never a half-written library under the real name.
bool ReplaceFile(const std::string& target, const std::string& content, std::string* error) {
    std::string temporary = target + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) {
        *error = "cannot write in " + target.substr(0, target.rfind('/')) + ": " + strerror(errno);
        return false;
    }
    bool written = WriteAll(fd, content) && fchmod(fd, 0755) == 0;
    const int writeError = errno;
    written = close(fd) == 0 && written;
    if (written && rename(temporary.c_str(), target.c_str()) == 0) return true;
    *error = "cannot write " + target + ": " + strerror(written ? errno : writeError);
    unlink(temporary.c_str());
    return false;
}

}  // namespace

std::string DefaultComponentsDirectory() { return UserDataDirectory() + "/components"; }

std::string PlaceInstallerCopy(const std::string& builtLibrary, const std::string& folder,
                               std::string* error) {
    std::string built, copy;
    if (!ReadWhole(builtLibrary, &built)) {
        *error = "cannot read the installer " + builtLibrary + ": " + strerror(errno);
        return "";
    }
    if (!MakeDirectories(folder)) {
        *error = "cannot make the components folder " + folder + ": " + strerror(errno);
        return "";
    }
    std::string target = folder + "/" + builtLibrary.substr(builtLibrary.rfind('/') + 1);
    if (ReadWhole(target, &copy) && copy == built) return target;
    if (!ReplaceFile(target, built, error)) return "";
    LogVerbose("copied the installer %s to %s", builtLibrary.c_str(), target.c_str());
    return target;
}
