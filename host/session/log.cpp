// stderr output.
#include "session/log.h"

#include <cstdarg>
#include <cstdio>

namespace {

bool verbose = false;

void Print(const char* format, va_list args) {
    fputs("qpmhost: ", stderr);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
}

}  // namespace

void SetVerbose(bool on) { verbose = on; }
bool IsVerbose() { return verbose; }

void LogError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Print(format, args);
    va_end(args);
}

void LogVerbose(const char* format, ...) {
    if (!verbose) return;
    va_list args;
    va_start(args, format);
    Print(format, args);
    va_end(args);
}
