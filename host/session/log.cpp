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

void Print(const char* format, va_list args) {
    fputs("qpmhost: ", stderr);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
}

}  // namespace

void SetVerbose(bool on) { verbose = on; }
bool IsVerbose() { return verbose; }

void HoldErrorsWhileOnScreen(bool hold) {
    holding = hold && isatty(STDERR_FILENO);
    if (holding) return;
    for (const std::string& message : Held()) fprintf(stderr, "qpmhost: %s\n", message.c_str());
    Held().clear();
}

void LogError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    char message[2048];
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    if (holding)
        Held().push_back(message);
    else
        fprintf(stderr, "qpmhost: %s\n", message);
}

void LogVerbose(const char* format, ...) {
    if (!verbose) return;
    va_list args;
    va_start(args, format);
    Print(format, args);
    va_end(args);
}
