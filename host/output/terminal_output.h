// The live terminal display: the page on the alternate screen, drawn by
// a TerminalPicture (a graphics protocol or symbols), with a status line
// at the bottom naming the page, the URL transfers running and the way
// out. The terminal is put back (main screen, cursor, line mode) on
// every way out: a normal end, 'q', Ctrl-C, SIGTERM or SIGHUP (through a
// self-pipe), and even a crash.
#pragma once

#include <termios.h>

#include <memory>
#include <string>
#include <vector>

#include "output/page_output.h"
#include "output/terminal_graphics.h"
#include "output/terminal_picture.h"

class TerminalOutput : public PageOutput {
public:
    explicit TerminalOutput(TerminalGraphics graphics = TerminalGraphics::kAuto)
        : graphics_(graphics) {}
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
    void ShowTransfers(const std::vector<TransferStatus>& transfers) override;

private:
    bool OpenTerminal(std::string* error);
    void EnterScreen();
    void LeaveScreen();
    void QuerySize();
    void Redraw();
    void DrawPicture();
    void DrawStatusLine();
    void WriteOut(const std::string& bytes);

    TerminalGraphics graphics_;
    std::unique_ptr<TerminalPicture> picture_;
    int tty_ = -1;
    bool active_ = false;  // on the alternate screen, in raw mode
    termios saved_{};
    TerminalArea screen_{80, 24, 0, 0};
    std::string title_, transfers_;
    // The last picture, drawn again after a resize or a question.
    std::vector<unsigned char> shownPixels_;
    QpmPixels shown_{};
    bool quit_ = false;
};
