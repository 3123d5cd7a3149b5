// The terminal display.
#include "output/terminal_output.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "output/quit_signals.h"

extern char** environ;

namespace {

const char kEnter[] = "\x1b[?1049h\x1b[?25l\x1b[2J";
const char kLeave[] = "\x1b[0m\x1b[2J\x1b[?25h\x1b[?1049l";

// What the crash handler needs: the terminal and its saved mode.
int emergencyTty = -1;
termios emergencyMode;
volatile sig_atomic_t emergencyArmed = 0;

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

const int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

void InstallFatalHandlers() {
    struct sigaction action {};
    action.sa_handler = &OnFatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (int s : kFatalSignals) sigaction(s, &action, nullptr);
}

void RemoveFatalHandlers() {
    for (int s : kFatalSignals) signal(s, SIG_DFL);
}

}  // namespace

TerminalOutput::~TerminalOutput() {
    std::string ignored;
    Close(&ignored);
}

bool TerminalOutput::Available(std::string* error) {
    // A terminal that says it is dumb (or says nothing) takes no colours,
    // no cursor moves and no alternate screen: nothing to draw a page with.
    const char* term = getenv("TERM");
    if (graphics_ == TerminalGraphics::kAuto && (!term || !*term || strcmp(term, "dumb") == 0)) {
        *error = std::string("this terminal (TERM=") + (term ? term : "") +
                 ") cannot show pictures; use --png FILE, --window or --null";
        return false;
    }
    if (!OpenTerminal(error)) return false;
    close(tty_);
    tty_ = -1;
    return true;
}

bool TerminalOutput::OpenTerminal(std::string* error) {
    tty_ = open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (tty_ >= 0 && isatty(tty_) && tcgetattr(tty_, &saved_) == 0) return true;
    *error = "no terminal to show the page in (" + std::string(strerror(errno)) +
             "); use --window, --png FILE or --null";
    if (tty_ >= 0) close(tty_);
    tty_ = -1;
    return false;
}

bool TerminalOutput::Open(int, int, const std::string& title, std::string* error) {
    if (!OpenTerminal(error)) return false;
    if (!InstallQuitSignals(true)) {
        *error = std::string("cannot make a pipe: ") + strerror(errno);
        close(tty_);
        tty_ = -1;
        return false;
    }
    title_ = title.empty() ? "qpmhost" : title;
    picture_ = std::make_unique<TerminalPicture>(graphics_, environ);
    emergencyTty = tty_;
    emergencyMode = saved_;
    InstallFatalHandlers();
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
    QuerySize();
    Redraw();
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
    if (ioctl(tty_, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row < 2) return;
    screen_.columns = size.ws_col;
    screen_.rows = size.ws_row;
    // Terminals that draw pixels mostly say how many they have.
    screen_.cellWidth = size.ws_xpixel / size.ws_col;
    screen_.cellHeight = size.ws_ypixel / size.ws_row;
}

// Everything anew: after entering the screen, a resize or a question.
void TerminalOutput::Redraw() {
    WriteOut("\x1b[0m\x1b[2J");
    if (picture_) picture_->Forget();
    DrawPicture();
    DrawStatusLine();
}

void TerminalOutput::DrawStatusLine() {
    std::string line = " " + title_;
    if (!transfers_.empty()) line += " | " + transfers_;
    line += " | q or Ctrl-C quits";
    // Bytes, not characters: the title may hold UTF-8, which is cut short.
    if (int(line.size()) > screen_.columns) line.resize(size_t(screen_.columns));
    WriteOut("\x1b[" + std::to_string(screen_.rows) + ";1H\x1b[0m\x1b[2K" + line);
}

void TerminalOutput::DrawPicture() {
    if (!active_ || shownPixels_.empty()) return;
    // The last row holds the status line.
    TerminalArea area = screen_;
    area.rows = screen_.rows - 1;
    bool cleared = false;
    WriteOut(picture_->Render(shown_, area, &cleared));
    // An image protocol leaves the cursor anywhere, and a clear takes the status line too.
    if (cleared || picture_->graphics() != TerminalGraphics::kSymbols) DrawStatusLine();
}

void TerminalOutput::Show(const QpmPixels& pixels) {
    shownPixels_.assign(pixels.bgrx, pixels.bgrx + size_t(pixels.stride) * pixels.height);
    shown_ = pixels;
    shown_.bgrx = shownPixels_.data();
    DrawPicture();
}

void TerminalOutput::ShowTransfers(const std::vector<TransferStatus>& transfers) {
    const std::string text = DescribeTransfers(transfers);
    if (text == transfers_) return;
    transfers_ = text;
    if (active_) DrawStatusLine();
}

std::vector<int> TerminalOutput::EventDescriptors() const { return {tty_, QuitSignalDescriptor()}; }

bool TerminalOutput::HandleEvents() {
    const SignalsSeen seen = DrainSignals();
    if (seen.quit) quit_ = true;
    if (seen.stop && active_) {
        // Ctrl-Z: the shell gets its screen back, then the process stops;
        // it goes on here once continued (fg), and takes the screen again.
        LeaveScreen();
        StopHere();
        if (DrainSignals().quit) quit_ = true;  // SIGCONT's own byte is spent here
        EnterScreen();
    } else if (seen.resumed && active_) {
        // Stopped by another signal (SIGSTOP): the shell may have reset
        // the line mode meanwhile.
        EnterScreen();
    } else if (seen.resized && active_) {
        QuerySize();
        Redraw();
    }
    if (active_) {
        char bytes[64];
        ssize_t n;
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
    RemoveQuitSignals();
    RemoveFatalHandlers();
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
