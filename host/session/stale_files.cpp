// Removing the temporary files of runs that were killed.
#include "session/stale_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include "session/log.h"
#include "session/run_lock.h"
#include "session/type_table.h"

namespace {

using NameTest = std::function<bool(const std::string&)>;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// GetTempFileNameA's names: the first three letters of the prefix, the
// number (1 to ffff) in lower-case hex without leading zeros, ".tmp".
bool IsTempFileName(const std::string& name, const std::string& prefix) {
    if (name.size() < prefix.size() + 5 || name.size() > prefix.size() + 8) return false;
    const size_t digits = name.size() - prefix.size() - 4;
    if (name.compare(0, prefix.size(), prefix) != 0 || name[prefix.size()] == '0') return false;
    if (name.compare(name.size() - 4, 4, ".tmp") != 0) return false;
    for (size_t i = prefix.size(); i < prefix.size() + digits; ++i)
        if (!IsDigit(name[i]) && (name[i] < 'a' || name[i] > 'f')) return false;
    return true;
}

// mkstemp's names: the template's stem and six letters or digits.
bool IsMkstempName(const std::string& name, const std::string& stem) {
    if (name.size() != stem.size() + 6 || name.compare(0, stem.size(), stem) != 0) return false;
    for (size_t i = stem.size(); i < name.size(); ++i)
        if (!IsDigit(name[i]) && !IsLetter(name[i])) return false;
    return true;
}

// A decimal number as std::to_string writes a positive one; 0 otherwise.
long ParsePositive(const std::string& text) {
    if (text.empty() || text.size() > 9 || text[0] == '0') return 0;
    for (char c : text)
        if (!IsDigit(c)) return 0;
    return std::stol(text);
}

// The writer's pid in ".<base>.<pid>.<n>.new", or 0 when `name` is not such a name.
pid_t SiblingWriter(const std::string& name, const std::string& base) {
    const std::string head = "." + base + ".", tail = ".new";
    if (name.size() <= head.size() + tail.size() || name.compare(0, head.size(), head) != 0 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return 0;
    const std::string middle = name.substr(head.size(), name.size() - head.size() - tail.size());
    const size_t dot = middle.find('.');
    if (dot == std::string::npos || ParsePositive(middle.substr(dot + 1)) == 0) return 0;
    return pid_t(ParsePositive(middle.substr(0, dot)));
}

bool IsGone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

// Removes the regular files in `folder` that `stale` picks. Symbolic
// links and directories are never touched, nor followed.
void RemoveMatching(const std::string& folder, const NameTest& stale) {
    DIR* listing = opendir(folder.c_str());
    if (!listing) return;
    const int fd = dirfd(listing);
    while (const dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        struct stat info {};
        if (!stale(name) || fstatat(fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode))
            continue;
        if (unlinkat(fd, name.c_str(), 0) == 0)
            LogVerbose("removed stale temporary file %s/%s", folder.c_str(), name.c_str());
        else
            LogVerbose("cannot remove stale temporary file %s/%s: %s", folder.c_str(), name.c_str(),
                       strerror(errno));
    }
    closedir(listing);
}

void RemoveStaleTemporaryFiles(const RunFolders& folders) {
    RemoveMatching(folders.temporary,
                   [](const std::string& name) { return IsTempFileName(name, "Plu"); });
    const std::string installerStem = std::string(kInstallerLibrary) + ".";
    RemoveMatching(folders.components, [&](const std::string& name) {
        return IsTempFileName(name, "QPM") || IsMkstempName(name, installerStem);
    });
}

}  // namespace

void TakeRunLockAndSweep(RunLock& lock, const RunFolders& folders) {
    if (!lock.opened()) {
        LogVerbose("%s: no stale temporary files are looked for", lock.error().c_str());
        return;
    }
    if (lock.TryAlone())
        RemoveStaleTemporaryFiles(folders);
    else if (lock.error().empty())
        LogVerbose("another qpmhost is running: its temporary files are left alone");
    else
        LogVerbose("%s: no stale temporary files are looked for", lock.error().c_str());
    if (!lock.Share()) LogVerbose("%s: the run goes on without it", lock.error().c_str());
}

void RemoveDeadWritersFiles(const std::string& target) {
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : target.substr(0, slash);
    const std::string base = target.substr(slash + 1);
    RemoveMatching(folder, [&](const std::string& name) {
        const pid_t writer = SiblingWriter(name, base);
        return writer > 0 && IsGone(writer);
    });
}
