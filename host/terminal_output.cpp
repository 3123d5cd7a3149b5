// The terminal display.
#include "terminal_output.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const char kEnter[] = "\x1b[?1049h\x1b[?25l\x1b[2J";
const char kLeave[] = "\x1b[0m\x1b[2J\x1b[?25h\x1b[?1049l";

// What a signal handler needs: the descriptors, and the saved terminal mode.
int selfPipe[2] = {-1, -1};
int emergencyTty = -1;
termios emergencyMode;
volatile sig_atomic_t emergencyArmed = 0;

void OnSignal(int signal) {
    const int saved = errno;
    const char byte = char(signal);
    if (selfPipe[1] >= 0) {
        ssize_t ignored = write(selfPipe[1], &byte, 1);
        (void)ignored;
    }
    errno = saved;
}

// A crash still leaves the terminal usable: restore it, then die as before.
void OnFatalSignal(int signal) {
    if (emergencyArmed) {
        ssize_t ignored = write(emergencyTty, kLeave, sizeof kLeave - 1);
        (void)ignored;
        tcsetattr(emergencyTty, TCSANOW, &emergencyMode);
    }
    ::signal(signal, SIG_DFL);
    raise(signal);
}

void InstallHandlers() {
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGWINCH}) sigaction(s, &action, nullptr);
    action.sa_handler = &OnFatalSignal;
    action.sa_flags = SA_RESETHAND;
    for (int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) sigaction(s, &action, nullptr);
}

void RemoveHandlers() {
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGWINCH, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        signal(s, SIG_DFL);
}

bool MakeSelfPipe() {
    if (selfPipe[0] >= 0) return true;
    if (pipe2(selfPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    return true;
}

}  // namespace

TerminalOutput::~TerminalOutput() {
    std::string ignored;
    Close(&ignored);
}

bool TerminalOutput::Open(int, int, const std::string& title, std::string* error) {
    tty_ = open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (tty_ < 0 || !isatty(tty_) || tcgetattr(tty_, &saved_) != 0) {
        *error = "no terminal to show the page in (" + std::string(strerror(errno)) +
                 "); use --png FILE, --x11 or --null";
        if (tty_ >= 0) close(tty_);
        tty_ = -1;
        return false;
    }
    if (!MakeSelfPipe()) {
        *error = std::string("cannot make a pipe: ") + strerror(errno);
        return false;
    }
    title_ = title.empty() ? "qpmhost" : title;
    emergencyTty = tty_;
    emergencyMode = saved_;
    InstallHandlers();
    EnterScreen();
    return true;
}

void TerminalOutput::EnterScreen() {
    termios raw = saved_;
    // No echo, no line editing; Ctrl-C still raises SIGINT, which the
    // self-pipe turns into an orderly quit.
    raw.c_lflag &= tcflag_t(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    tcsetattr(tty_, TCSANOW, &raw);
    WriteOut(kEnter);
    active_ = true;
    emergencyArmed = 1;
    haveShown_ = false;
    QuerySize();
    DrawStatusLine();
}

void TerminalOutput::LeaveScreen() {
    if (!active_) return;
    emergencyArmed = 0;
    WriteOut(kLeave);
    tcsetattr(tty_, TCSANOW, &saved_);
    active_ = false;
}

void TerminalOutput::QuerySize() {
    winsize size{};
    if (ioctl(tty_, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 1) {
        columns_ = size.ws_col;
        rows_ = size.ws_row;
    }
}

void TerminalOutput::DrawStatusLine() {
    std::string line = " " + title_ + " - q or Ctrl-C quits";
    if (int(line.size()) > columns_) line.resize(size_t(columns_));
    WriteOut("\x1b[" + std::to_string(rows_) + ";1H\x1b[0m\x1b[2K" + line);
}

void TerminalOutput::Show(const QpmPixels& pixels) {
    if (!active_) return;
    // The last row holds the status line.
    CellGrid grid = SampleCells(pixels, columns_, rows_ - 1);
    WriteOut(RenderChanges(grid, haveShown_ ? &shown_ : nullptr));
    shown_ = std::move(grid);
    haveShown_ = true;
}

std::vector<int> TerminalOutput::EventDescriptors() const { return {tty_, selfPipe[0]}; }

bool TerminalOutput::HandleEvents() {
    char bytes[64];
    ssize_t n;
    while ((n = read(selfPipe[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i) {
            if (bytes[i] != SIGWINCH) {
                quit_ = true;
            } else if (active_) {
                QuerySize();
                WriteOut("\x1b[0m\x1b[2J");
                haveShown_ = false;
                DrawStatusLine();
            }
        }
    }
    if (active_) {
        while ((n = read(tty_, bytes, sizeof bytes)) > 0)
            for (ssize_t i = 0; i < n; ++i)
                if (bytes[i] == 'q' || bytes[i] == 'Q' || bytes[i] == 3) quit_ = true;
    }
    return !quit_;
}

void TerminalOutput::Suspend() { LeaveScreen(); }

void TerminalOutput::Resume() {
    if (tty_ >= 0 && !active_) EnterScreen();
}

bool TerminalOutput::Close(std::string*) {
    if (tty_ < 0) return true;
    LeaveScreen();
    RemoveHandlers();
    close(tty_);
    tty_ = -1;
    return true;
}

void TerminalOutput::WriteOut(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(tty_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += size_t(n);
    }
}
