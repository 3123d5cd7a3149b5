// qpmhost's command line.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "output/terminal_graphics.h"
#include "session/hosting.h"

enum class OutputMode {
    kTerminal,   // live, in the terminal (the default)
    kWindow,     // live, in a window (X11 or Wayland)
    kPng,        // headless: one PNG after --after ms
    kAnimation,  // headless: --frames frames to a GIF or APNG
    kNull,       // headless, nothing shown (--null, or --print alone)
};

enum class ConsentAnswer { kAsk, kYes, kNo };

struct HostOptions {
    std::string page;                                             // PAGE.html
    std::string component;                                        // --component LIB (or a type)
    std::vector<std::pair<std::string, std::string>> attributes;  // --attr NAME=VALUE
    int width = 0, height = 0;  // --width/--height (with --component)

    OutputMode output = OutputMode::kTerminal;
    TerminalGraphics terminalGraphics = TerminalGraphics::kAuto;  // --term-graphics
    std::string pngPath, gifPath, apngPath, printPath;
    int afterMs = 0;
    int frames = 20;
    int frameMs = 150;
    int streamTimeoutMs = 10000;  // headless: how long to wait for a transfer

    std::vector<std::string> allowedFolders;  // --allow-files DIR...: beyond the page's folder

    std::string windowsDirectory;
    std::string caCertificates;  // --cacert FILE
    std::string uninstallType;   // --uninstall TYPE
    std::string context;
    std::string userName, userAddress;
    ConsentAnswer consent = ConsentAnswer::kAsk;
    HostingMode hosting = HostingMode::kComponent;  // --npapi, --alt-host
    bool verbose = false;
    bool help = false;

    bool Headless() const {
        return output == OutputMode::kPng || output == OutputMode::kAnimation ||
               output == OutputMode::kNull;
    }
};

// Parses argv; false with `error` set (one line, no program name) when
// the command line is wrong.
bool ParseOptions(int argc, const char* const* argv, HostOptions* options, std::string* error);

// The --help text.
const char* UsageText();
