// OutputDebugStringA: a program's word to whoever watches. On Windows a
// debugger shows it; here the host's handler takes it, and without one
// it goes to stderr, a line at a time.
#include "internal/kernel_internal.h"

#include <qpm_platform.h>

#include <cstdio>
#include <cstring>

namespace {

QpmDebugOutputHandler debugHandler = nullptr;
void* debugContext = nullptr;

}  // namespace

void WINAPI OutputDebugStringA(LPCSTR text) {
    if (text == nullptr) return;
    if (debugHandler) {
        debugHandler(text, debugContext);
        return;
    }
    const size_t length = strlen(text);
    fputs(text, stderr);
    if (length == 0 || text[length - 1] != '\n') fputc('\n', stderr);
}

void QpmSetDebugOutputHandler(QpmDebugOutputHandler handler, void* context) {
    debugHandler = handler;
    debugContext = context;
}
