// A tmux server of the test's own (its own socket), for driving qpmhost
// in a real terminal: start a shell in a fixed-size pane, type into it,
// read the screen back.
#pragma once

#include <functional>
#include <string>

class TmuxSession {
public:
    // A detached session `columns` x `rows` running a plain shell, whose
    // prompt is on the screen once started() is true.
    TmuxSession(int columns, int rows);
    ~TmuxSession();
    TmuxSession(const TmuxSession&) = delete;
    TmuxSession& operator=(const TmuxSession&) = delete;

    static bool Available();
    bool started() const { return started_; }

    void Type(const std::string& text);  // literally, then Enter
    void Keys(const std::string& keys);  // tmux key names, e.g. "C-c"
    // The visible screen; with `escapes`, with colour escape sequences.
    std::string Screen(bool escapes = false);
    // A tmux format of the pane, e.g. "#{alternate_on}".
    std::string Format(const std::string& format);
    // Polls `done` (every 100 ms, the only waiting these tests do: tmux
    // and qpmhost run on their own) until it holds or `seconds` pass. The
    // deadline is generous: it only matters when something is wrong, and
    // a machine busy with other builds may be slow.
    bool WaitFor(const std::function<bool()>& done, int seconds = 30);

private:
    std::string Tmux(const std::string& arguments);

    std::string socket_;
    bool started_ = false;
};

std::string ShellQuote(const std::string& text);
