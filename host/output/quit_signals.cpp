// The self-pipe for signals.
#include "output/quit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace {

int selfPipe[2] = {-1, -1};

void OnSignal(int signal) {
    const int saved = errno;
    const char byte = char(signal);
    ssize_t ignored = write(selfPipe[1], &byte, 1);
    (void)ignored;
    errno = saved;
}

const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGWINCH};

}  // namespace

bool InstallQuitSignals() {
    if (selfPipe[0] < 0 && pipe2(selfPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals) sigaction(s, &action, nullptr);
    return true;
}

int QuitSignalDescriptor() { return selfPipe[0]; }

bool DrainQuitSignals(bool* resized) {
    bool quit = false;
    char bytes[64];
    ssize_t n;
    while (selfPipe[0] >= 0 && (n = read(selfPipe[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i) {
            if (bytes[i] == SIGWINCH)
                *resized = true;
            else
                quit = true;
        }
    }
    return quit;
}

void RemoveQuitSignals() {
    for (int s : kSignals) signal(s, SIG_DFL);
}
