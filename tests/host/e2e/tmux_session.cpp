// tmux through its command line.
#include "host/e2e/tmux_session.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

const char kPrompt[] = "$";

std::string Capture(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

}  // namespace

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool TmuxSession::Available() { return system("command -v tmux >/dev/null 2>&1") == 0; }

TmuxSession::TmuxSession(int columns, int rows)
    : socket_("qpmhost-test-" + std::to_string(getpid())) {
    const std::string command = std::string("env -i PATH=/usr/bin:/bin HOME=/tmp ") +
                                "TERM=xterm-256color PS1='" + kPrompt + " ' sh";
    Tmux("-f /dev/null new-session -d -s main -x " + std::to_string(columns) + " -y " +
         std::to_string(rows) + " " + ShellQuote(command));
    // Typing before the shell reads would echo the line ahead of the
    // prompt: started means the prompt is there.
    started_ = Format("#{pane_id}").find('%') != std::string::npos &&
               WaitFor([&] { return Screen().find(kPrompt) == 0; });
}

TmuxSession::~TmuxSession() { Tmux("kill-server"); }

std::string TmuxSession::Tmux(const std::string& arguments) {
    return Capture("tmux -L " + socket_ + " " + arguments + " 2>/dev/null");
}

void TmuxSession::Type(const std::string& text) {
    Tmux("send-keys -t main -l " + ShellQuote(text));
    Tmux("send-keys -t main Enter");
}

void TmuxSession::Keys(const std::string& keys) { Tmux("send-keys -t main " + keys); }

std::string TmuxSession::Screen(bool escapes) {
    // -J joins the lines the terminal wrapped, so typed commands read whole.
    return Tmux(std::string("capture-pane -p -J ") + (escapes ? "-e " : "") + "-t main");
}

std::string TmuxSession::Format(const std::string& format) {
    std::string value = Tmux("display-message -p -t main " + ShellQuote(format));
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
    return value;
}

bool TmuxSession::WaitFor(const std::function<bool()>& done, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}
