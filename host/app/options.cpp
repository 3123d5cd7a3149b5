// Command-line parsing.
#include "app/options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>

namespace {

const char kUsage[] =
    "Usage: qpmhost [options] PAGE.html\n"
    "       qpmhost [options] --component LIB|TYPE [--attr NAME=VALUE]... [--width W --height H]\n"
    "       qpmhost [--windows-dir DIR] --uninstall TYPE\n"
    "\n"
    "Runs the components (<embed>, <object>) of a page, or one component, and shows\n"
    "them live in the terminal (default), in a window, or writes images.\n"
    "\n"
    "Output:\n"
    "  --terminal         show the page in this terminal (the default): with kitty,\n"
    "                     sixel or iTerm2 graphics where the terminal has them, else\n"
    "                     in coloured symbols\n"
    "  --term-graphics kitty|sixel|iterm|symbols\n"
    "                     draw the terminal with these graphics, whatever it seems to be\n"
    "  --window, --x11    show the page in a window ($WAYLAND_DISPLAY or $DISPLAY)\n"
    "  --png FILE         headless: write the page as PNG after --after ms\n"
    "  --after MS         virtual time to run before --png/--print/the first frame (0)\n"
    "  --gif FILE         headless: write --frames frames as an animated GIF\n"
    "  --apng FILE        headless: the same as an animated PNG\n"
    "  --frames N         number of frames (20)\n"
    "  --frame-ms MS      virtual time between frames (150)\n"
    "  --print FILE       print every component (message 1030) onto a page, to PNG\n"
    "  --null             headless, show nothing (with --print or --verbose)\n"
    "  --stream-timeout MS  headless: longest wait for a URL transfer (10000)\n"
    "\n"
    "Host:\n"
    "  --allow-files DIR  let the page read files in DIR and below (data files,\n"
    "                     file:// URLs); by default only its own folder (repeatable)\n"
    "  --windows-dir DIR  the Windows directory, where DRX.REG lives\n"
    "                     (default $XDG_DATA_HOME/qpm/windows)\n"
    "  --context TEXT     host information item 2 (empty)\n"
    "  --user-name NAME   host information items 5 and 6 (default: your account)\n"
    "  --user-addr ADDR   host information item 7 (default: login@hostname)\n"
    "  --cacert FILE      trust the CA certificates (PEM) in FILE for https, besides\n"
    "                     the system's; a server that fails verification is not read\n"
    "  --yes | --no       answer a component's question without asking\n"
    "  --npapi            play the Netscape browser: each component runs as a plug-in\n"
    "  --alt-host         be an alternate host: DRX* entry points, attributes in SUBTYPE\n"
    "  --verbose          print on stderr what the components ask of the host\n"
    "                     and how the URL transfers are going\n"
    "  -h, --help         this text\n"
    "\n"
    "Installing components:\n"
    "  An element whose type is not installed and that has QPMSRC runs the installer,\n"
    "  which asks before it installs (--yes, --no). The installer runs from a copy\n"
    "  in the components folder $XDG_DATA_HOME/qpm/components (default\n"
    "  ~/.local/share/qpm/components), and the modules it installs land there; each\n"
    "  is recorded in section DRX-Win32 of DRX.REG in the Windows directory.\n"
    "  --uninstall TYPE   remove an installed type: its DRX.REG entries and its module\n"
    "                     (by hand: delete its line in DRX.REG and the file it names)\n"
    "\n"
    "In the terminal, q or Ctrl-C quits; in the window, q, Escape or closing it.\n"
    "Running URL transfers show on the status line or in the window's title.\n"
    "Exit codes: 0 ok, 1 usage, 2 page unreadable,\n"
    "3 a component could not be loaded or started, 4 no display or output not written,\n"
    "129 or 143 ended by SIGHUP or SIGTERM.\n";

bool ParseCount(const char* text, int low, int high, int* out) {
    if (text == nullptr || *text == '\0') return false;
    errno = 0;
    char* end = nullptr;
    long value = strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) return false;
    *out = int(value);
    return true;
}

class Parser {
public:
    Parser(int argc, const char* const* argv, HostOptions* options)
        : argc_(argc), argv_(argv), options_(options) {}
    bool Run(std::string* error);

private:
    bool Option(const std::string& name, std::string* error);
    bool Value(const std::string& name, const char** out, std::string* error);
    bool Number(const std::string& name, int low, int high, int* out, std::string* error);
    bool SetOutput(OutputMode mode, const std::string& name, std::string* error);
    bool SetHosting(HostingMode mode, const std::string& name, std::string* error);
    bool Check(std::string* error);

    int argc_;
    const char* const* argv_;
    HostOptions* options_;
    int index_ = 1;
    std::string outputOption_;
    std::string hostingOption_;
    bool afterGiven_ = false, framesGiven_ = false, graphicsGiven_ = false;
};

bool Parser::Value(const std::string& name, const char** out, std::string* error) {
    if (index_ + 1 >= argc_) {
        *error = name + " needs a value";
        return false;
    }
    *out = argv_[++index_];
    return true;
}

bool Parser::Number(const std::string& name, int low, int high, int* out, std::string* error) {
    const char* text = nullptr;
    if (!Value(name, &text, error)) return false;
    if (ParseCount(text, low, high, out)) return true;
    *error = name + " wants a whole number from " + std::to_string(low) + " to " +
             std::to_string(high) + ", not \"" + text + "\"";
    return false;
}

bool Parser::SetHosting(HostingMode mode, const std::string& name, std::string* error) {
    if (!hostingOption_.empty() && options_->hosting != mode) {
        *error = name + " cannot be combined with " + hostingOption_;
        return false;
    }
    options_->hosting = mode;
    hostingOption_ = name;
    return true;
}

bool Parser::SetOutput(OutputMode mode, const std::string& name, std::string* error) {
    if (!outputOption_.empty() && options_->output != mode) {
        *error = name + " cannot be combined with " + outputOption_;
        return false;
    }
    options_->output = mode;
    outputOption_ = name;
    return true;
}

bool Parser::Option(const std::string& name, std::string* error) {
    const char* text = nullptr;
    HostOptions& o = *options_;
    if (name == "--help" || name == "-h") return (o.help = true);
    if (name == "--verbose" || name == "-v") return (o.verbose = true);
    if (name == "--yes") return (o.consent = ConsentAnswer::kYes, true);
    if (name == "--no") return (o.consent = ConsentAnswer::kNo, true);
    if (name == "--npapi") return SetHosting(HostingMode::kNpapi, name, error);
    if (name == "--alt-host") return SetHosting(HostingMode::kAltHost, name, error);
    if (name == "--window" || name == "--x11") return SetOutput(OutputMode::kWindow, name, error);
    if (name == "--terminal") return SetOutput(OutputMode::kTerminal, name, error);
    if (name == "--term-graphics") {
        if (!Value(name, &text, error)) return false;
        if (ParseTerminalGraphics(text, &o.terminalGraphics)) return (graphicsGiven_ = true);
        *error = std::string("--term-graphics wants kitty, sixel, iterm or symbols, not \"") +
                 text + "\"";
        return false;
    }
    if (name == "--null") return SetOutput(OutputMode::kNull, name, error);
    if (name == "--after")
        return (afterGiven_ = true, Number(name, 0, 86400000, &o.afterMs, error));
    if (name == "--frames") return (framesGiven_ = true, Number(name, 1, 10000, &o.frames, error));
    if (name == "--frame-ms") return Number(name, 1, 60000, &o.frameMs, error);
    if (name == "--stream-timeout") return Number(name, 1, 3600000, &o.streamTimeoutMs, error);
    if (name == "--width") return Number(name, 1, 16384, &o.width, error);
    if (name == "--height") return Number(name, 1, 16384, &o.height, error);

    if ((name == "--png" || name == "--gif" || name == "--apng" || name == "--print") &&
        index_ + 1 < argc_ && *argv_[index_ + 1] == '\0') {
        *error = name + " wants a file name, not \"\"";
        return false;
    }
    const std::map<std::string, std::string*> strings = {
        {"--component", &o.component},   {"--windows-dir", &o.windowsDirectory},
        {"--context", &o.context},       {"--user-name", &o.userName},
        {"--user-addr", &o.userAddress}, {"--print", &o.printPath},
        {"--cacert", &o.caCertificates}, {"--uninstall", &o.uninstallType}};
    if (auto it = strings.find(name); it != strings.end()) {
        if (!Value(name, &text, error)) return false;
        *it->second = text;
        return true;
    }
    if (name == "--allow-files") {
        if (!Value(name, &text, error)) return false;
        if (*text == '\0') {
            *error = "--allow-files wants a directory, not \"\"";
            return false;
        }
        o.allowedFolders.push_back(text);
        return true;
    }
    if (name == "--png" || name == "--gif" || name == "--apng") {
        if (!Value(name, &text, error)) return false;
        (name == "--png" ? o.pngPath : name == "--gif" ? o.gifPath : o.apngPath) = text;
        return SetOutput(name == "--png" ? OutputMode::kPng : OutputMode::kAnimation, name, error);
    }
    if (name == "--attr") {
        if (!Value(name, &text, error)) return false;
        const char* equals = strchr(text, '=');
        if (equals == nullptr || equals == text) {
            *error = std::string("--attr wants NAME=VALUE, not \"") + text + "\"";
            return false;
        }
        o.attributes.push_back({std::string(text, equals), equals + 1});
        return true;
    }
    *error = "unknown option " + name + " (see --help)";
    return false;
}

bool Parser::Check(std::string* error) {
    HostOptions& o = *options_;
    if (o.help) return true;
    if (!o.uninstallType.empty()) {
        if (o.page.empty() && o.component.empty() && outputOption_.empty()) return true;
        *error = "--uninstall TYPE runs on its own, without a page or an output";
        return false;
    }
    if (o.page.empty() == o.component.empty()) {
        *error = o.page.empty() ? "give a page or --component LIB"
                                : "give a page or --component, not both";
        return false;
    }
    if (!o.attributes.empty() && o.component.empty()) {
        *error = "--attr belongs with --component";
        return false;
    }
    if (!o.gifPath.empty() && !o.apngPath.empty()) {
        *error = "--gif cannot be combined with --apng";
        return false;
    }
    if (framesGiven_ && o.output != OutputMode::kAnimation) {
        *error = "--frames needs --gif or --apng";
        return false;
    }
    if (!o.printPath.empty() && outputOption_.empty()) o.output = OutputMode::kNull;
    if (!o.printPath.empty() &&
        (o.output == OutputMode::kTerminal || o.output == OutputMode::kWindow)) {
        *error = "--print works headless: combine it with --png, --gif, --apng or --null";
        return false;
    }
    if (graphicsGiven_ && o.output != OutputMode::kTerminal) {
        *error = "--term-graphics belongs with the terminal, not " + outputOption_;
        return false;
    }
    if (afterGiven_ && !o.Headless()) {
        *error = "--after needs --png, --gif, --apng, --print or --null";
        return false;
    }
    return true;
}

bool Parser::Run(std::string* error) {
    for (; index_ < argc_; ++index_) {
        const std::string argument = argv_[index_];
        if (argument.size() > 1 && argument[0] == '-') {
            if (!Option(argument, error)) return false;
        } else if (options_->page.empty()) {
            options_->page = argument;
        } else {
            *error =
                "only one page at a time (\"" + options_->page + "\" and \"" + argument + "\")";
            return false;
        }
    }
    return Check(error);
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, HostOptions* options, std::string* error) {
    Parser parser(argc, argv, options);
    return parser.Run(error);
}

const char* UsageText() { return kUsage; }
