// stderr output.
#include "session/log.h"

#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace {

bool verbose = false;
bool holding = false;

std::vector<std::string>& Held() {
    static std::vector<std::string> held;
    return held;
}

// "qpmhost: " + prefix + the message + a line break. Names and values
// from pages and files may hold any byte: none of them may reach the
// terminal as a control sequence.
std::string Line(const char* prefix, const char* format, va_list args) {
    char message[4096];
    vsnprintf(message, sizeof message, format, args);
    for (char* c = message; *c; ++c)
        if ((static_cast<unsigned char>(*c) < 0x20 && *c != '\t') || *c == 0x7F) *c = '?';
    return std::string("qpmhost: ") + prefix + message + "\n";
}

void Emit(const std::string& line, bool mayHold) {
    if (mayHold && holding)
        Held().push_back(line);
    else
        fputs(line.c_str(), stderr);
}

}  // namespace

void SetVerbose(bool on) { verbose = on; }
bool IsVerbose() { return verbose; }

void HoldErrorsWhileOnScreen(bool hold) {
    holding = hold && isatty(STDERR_FILENO);
    if (holding) return;
    for (const std::string& line : Held()) fputs(line.c_str(), stderr);
    Held().clear();
}

void LogError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string line = Line("", format, args);
    va_end(args);
    Emit(line, true);
}

void LogWarning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string line = Line("warning: ", format, args);
    va_end(args);
    Emit(line, true);
}

void LogVerbose(const char* format, ...) {
    if (!verbose) return;
    va_list args;
    va_start(args, format);
    const std::string line = Line("", format, args);
    va_end(args);
    Emit(line, false);
}
