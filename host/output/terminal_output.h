// The live terminal display: the page in 24-bit colour half blocks on
// the alternate screen, redrawn cell by cell as it changes. The terminal
// is put back (main screen, cursor, line mode) on every way out: a
// normal end, 'q', Ctrl-C, SIGTERM or SIGHUP (through a self-pipe), and
// even a crash.
#pragma once

#include <termios.h>

#include <string>

#include "output/page_output.h"
#include "output/terminal_cells.h"

class TerminalOutput : public PageOutput {
public:
    TerminalOutput() = default;
    ~TerminalOutput() override;

    bool Available(std::string* error) override;
    bool Open(int width, int height, const std::string& title, std::string* error) override;
    void Show(const QpmPixels& pixels) override;
    bool Close(std::string* error) override;

    bool Live() const override { return true; }
    std::vector<int> EventDescriptors() const override;
    bool HandleEvents() override;
    void Suspend() override;
    void Resume() override;

private:
    bool OpenTerminal(std::string* error);
    void EnterScreen();
    void LeaveScreen();
    void QuerySize();
    void DrawStatusLine();
    void WriteOut(const std::string& bytes);

    int tty_ = -1;
    bool active_ = false;  // on the alternate screen, in raw mode
    termios saved_{};
    int columns_ = 80, rows_ = 24;
    std::string title_;
    CellGrid shown_;
    bool haveShown_ = false;
    bool quit_ = false;
};
