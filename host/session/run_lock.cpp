// The run lock, an flock(2) on a file of the user data directory.
#include "session/run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// How long Share waits for a run that is sweeping, in steps.
constexpr int kShareAttempts = 200;
constexpr useconds_t kShareStepMicroseconds = 25000;  // 5 s in all

}  // namespace

RunLock::RunLock(const std::string& path) : path_(path) {
    // Not inherited by programs qpmhost starts: only this process holds it.
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) error_ = "cannot open the run lock " + path + ": " + strerror(errno);
}

RunLock::~RunLock() {
    if (fd_ >= 0) close(fd_);
}

bool RunLock::TryAlone() {
    if (fd_ < 0) return false;
    while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) error_ = "cannot lock " + path_ + ": " + strerror(errno);
        return false;
    }
    return true;
}

bool RunLock::Share() {
    if (fd_ < 0) return false;
    for (int attempt = 0; attempt < kShareAttempts; ++attempt) {
        if (flock(fd_, LOCK_SH | LOCK_NB) == 0) return true;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) break;
        usleep(kShareStepMicroseconds);
    }
    error_ = "cannot lock " + path_ + ": " + strerror(errno);
    return false;
}
