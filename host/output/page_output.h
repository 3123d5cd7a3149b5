// Where the page is shown: the one small interface of qpmhost's output
// back ends (terminal, window, PNG, animation, null).
//
// Live outputs (terminal, window) run under the real clock: the message
// loop waits on their descriptors and shows each new picture of the
// page. The others run headless under the manual clock and are shown
// the page at the virtual times they ask for.
#pragma once

#include <qpm_platform.h>

#include <string>
#include <vector>

#include "output/transfer_status.h"

class PageOutput {
public:
    virtual ~PageOutput() = default;

    // Whether the output can be shown at all (a terminal, a display),
    // asked before any component runs.
    virtual bool Available(std::string* /*error*/) { return true; }
    // Prepares the display for a page of the given size.
    virtual bool Open(int width, int height, const std::string& title, std::string* error) = 0;
    // Shows a picture of the page (live: each new one; headless: each capture).
    virtual void Show(const QpmPixels& pixels) = 0;
    // Finishes: restores the terminal, closes the window, writes the file.
    virtual bool Close(std::string* error) = 0;

    // Live displays only.
    virtual bool Live() const { return false; }
    // Descriptors whose input the loop must wake up for.
    virtual std::vector<int> EventDescriptors() const { return {}; }
    // Handles pending input; false when the user asked to quit.
    virtual bool HandleEvents() { return true; }
    // Gives the terminal back for a question, and takes it again.
    virtual void Suspend() {}
    virtual void Resume() {}
    // The URL transfers running now (none: they have all ended), shown
    // to the user while the page runs: the status line, the title.
    virtual void ShowTransfers(const std::vector<TransferStatus>& /*transfers*/) {}
};
