// MessageBoxA: the host's handler answers it (and may run a nested message
// loop meanwhile, as the real modal box does). Without a handler nobody
// can answer: MessageBoxA returns 0 with ERROR_CANCELLED.
#include "user/user_internal.h"

namespace {

QpmMessageBoxHandler boxHandler = nullptr;
void* boxContext = nullptr;

}  // namespace

using namespace qpm;

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (owner && !LookupWindowOrFail(owner)) return 0;
    const char* title = caption ? caption : "Error";  // Windows' title for a NULL caption
    QPM_TRACE("msg", "MessageBoxA \"%s\": \"%s\" type %#x", title, text ? text : "", type);
    if (!boxHandler) {
        SetLastError(ERROR_CANCELLED);
        return 0;
    }
    return boxHandler(owner, text ? text : "", title, type, boxContext);
}

void QpmSetMessageBoxHandler(QpmMessageBoxHandler handler, void* context) {
    boxHandler = handler;
    boxContext = context;
}
