// A child on a pseudo-terminal.
#include "host/e2e/pty_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host/e2e/qpmhost_process.h"

extern char** environ;

PtyProcess::PtyProcess(const std::vector<std::string>& arguments,
                       const std::map<std::string, std::string>& environment, int columns, int rows,
                       int pixelWidth, int pixelHeight) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    const char* slave = ptsname(master_);
    if (slave == nullptr) return;
    winsize size{};
    size.ws_col = (unsigned short)columns;
    size.ws_row = (unsigned short)rows;
    size.ws_xpixel = (unsigned short)pixelWidth;
    size.ws_ypixel = (unsigned short)pixelHeight;
    ioctl(master_, TIOCSWINSZ, &size);

    std::vector<std::string> args = {QPMHOST_PATH};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::map<std::string, std::string> variables;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const size_t equals = entry.find('=');
        if (equals != std::string::npos)
            variables[entry.substr(0, equals)] = entry.substr(equals + 1);
    }
    errorPath_ = MakeScratchDirectory() + "/stderr";
    variables["XDG_DATA_HOME"] = errorPath_ + ".data";
    for (const auto& v : environment) variables[v.first] = v.second;
    std::vector<std::string> entries;
    for (const auto& v : variables) entries.push_back(v.first + "=" + v.second);
    std::vector<char*> envp;
    for (std::string& e : entries) envp.push_back(e.data());
    envp.push_back(nullptr);

    // A new session first, then the pty opened as its first terminal:
    // it becomes the controlling terminal, /dev/tty.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, slave, O_RDWR, 0);
    posix_spawn_file_actions_adddup2(&files, 0, 1);
    posix_spawn_file_actions_addopen(&files, 2, errorPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (posix_spawn(&pid_, argv[0], &files, &attributes, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
}

PtyProcess::~PtyProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    if (master_ >= 0) close(master_);
}

bool PtyProcess::ReadUntil(const std::function<bool(const std::string&)>& done, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done(output_)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, int(std::min<long>(left.count(), 100))) <= 0) continue;
        char buffer[65536];
        const ssize_t n = read(master_, buffer, sizeof buffer);
        // EIO: every process holding the terminal has gone.
        if (n <= 0) return done(output_);
        output_.append(buffer, size_t(n));
    }
    return true;
}

std::string PtyProcess::errors() const {
    std::ifstream in(errorPath_);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void PtyProcess::Type(const std::string& bytes) {
    ssize_t ignored = write(master_, bytes.data(), bytes.size());
    (void)ignored;
}

int PtyProcess::Wait(int seconds) {
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) break;
        if (std::chrono::steady_clock::now() > deadline) return -1;
        // Keep reading, so that its writes never block on a full terminal.
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, 100) > 0) {
            char buffer[65536];
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n > 0) output_.append(buffer, size_t(n));
        }
    }
    pid_ = -1;
    // What it wrote last may still wait in the terminal.
    for (pollfd p{master_, POLLIN, 0}; poll(&p, 1, 0) > 0;) {
        char buffer[65536];
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0) break;
        output_.append(buffer, size_t(n));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
