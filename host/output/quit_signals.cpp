// The self-pipe for signals.
#include "output/quit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace {

int selfPipe[2] = {-1, -1};
volatile sig_atomic_t quitSignal = 0;
bool withJobControl = false;

void OnSignal(int signal) {
    const int saved = errno;
    if ((signal == SIGINT || signal == SIGTERM || signal == SIGHUP) && quitSignal == 0)
        quitSignal = signal;
    const char byte = char(signal);
    ssize_t ignored = write(selfPipe[1], &byte, 1);
    (void)ignored;
    errno = saved;
}

const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGWINCH};
const int kJobSignals[] = {SIGTSTP, SIGCONT};

void Handle(int signal) {
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

}  // namespace

bool InstallQuitSignals(bool jobControl) {
    if (selfPipe[0] < 0 && pipe2(selfPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    for (int s : kSignals) Handle(s);
    withJobControl = jobControl;
    if (jobControl)
        for (int s : kJobSignals) Handle(s);
    return true;
}

int QuitSignalDescriptor() { return selfPipe[0]; }

SignalsSeen DrainSignals() {
    SignalsSeen seen;
    char bytes[64];
    ssize_t n;
    while (selfPipe[0] >= 0 && (n = read(selfPipe[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i) {
            switch (bytes[i]) {
                case SIGWINCH:
                    seen.resized = true;
                    break;
                case SIGTSTP:
                    seen.stop = true;
                    break;
                case SIGCONT:
                    seen.resumed = true;
                    break;
                default:
                    seen.quit = true;
            }
        }
    }
    return seen;
}

int QuitSignalNumber() { return quitSignal; }

void StopHere() {
    signal(SIGTSTP, SIG_DFL);
    // The whole job stops, as it would have without the handler.
    kill(0, SIGTSTP);
    if (withJobControl) Handle(SIGTSTP);
}

void RemoveQuitSignals() {
    for (int s : kSignals) signal(s, SIG_DFL);
    if (withJobControl)
        for (int s : kJobSignals) signal(s, SIG_DFL);
    withJobControl = false;
}
