// Message pumping and message names for the Windows builds of the tests.
#include <qpm/protocol.h>
#include <qpm_platform.h>

#include <cstdio>

namespace {

// Enough passes to empty any queue a test builds; a window that never
// validates itself would otherwise be painted forever.
constexpr UINT kMaxDispatched = 100000;

// Removes the next ready message, unless it is WM_TIMER (the tests
// deliver ticks themselves; timers come last, so nothing else is ready
// then) or WM_QUIT (left for the host's own loop, as on the layer).
bool NextToDispatch(MSG* msg) {
    if (!PeekMessageA(msg, nullptr, 0, 0, PM_NOREMOVE)) return false;
    if (msg->message == WM_TIMER || msg->message == WM_QUIT) return false;
    return PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE);
}

struct Name {
    UINT number;
    const char* name;
};

#define QPM_NAME(m) \
    { m, #m }
// The layer's names, and those Wine sends that the layer does not.
const Name kNames[] = {
    QPM_NAME(WM_NULL),
    QPM_NAME(WM_CREATE),
    QPM_NAME(WM_DESTROY),
    QPM_NAME(WM_MOVE),
    QPM_NAME(WM_SIZE),
    QPM_NAME(WM_ACTIVATE),
    QPM_NAME(WM_SETFOCUS),
    QPM_NAME(WM_KILLFOCUS),
    QPM_NAME(WM_ENABLE),
    QPM_NAME(WM_SETTEXT),
    QPM_NAME(WM_GETTEXT),
    QPM_NAME(WM_GETTEXTLENGTH),
    QPM_NAME(WM_PAINT),
    QPM_NAME(WM_CLOSE),
    QPM_NAME(WM_QUIT),
    QPM_NAME(WM_ERASEBKGND),
    QPM_NAME(WM_SHOWWINDOW),
    QPM_NAME(WM_ACTIVATEAPP),
    QPM_NAME(WM_SETCURSOR),
    QPM_NAME(WM_MOUSEACTIVATE),
    QPM_NAME(WM_CHILDACTIVATE),
    QPM_NAME(WM_GETMINMAXINFO),
    QPM_NAME(WM_WINDOWPOSCHANGING),
    QPM_NAME(WM_WINDOWPOSCHANGED),
    QPM_NAME(WM_GETICON),
    QPM_NAME(WM_NCCREATE),
    QPM_NAME(WM_NCDESTROY),
    QPM_NAME(WM_NCCALCSIZE),
    QPM_NAME(WM_NCHITTEST),
    QPM_NAME(WM_NCPAINT),
    QPM_NAME(WM_NCACTIVATE),
    QPM_NAME(WM_SYNCPAINT),
    QPM_NAME(WM_KEYDOWN),
    QPM_NAME(WM_KEYUP),
    QPM_NAME(WM_CHAR),
    QPM_NAME(WM_COMMAND),
    QPM_NAME(WM_TIMER),
    QPM_NAME(WM_MOUSEMOVE),
    QPM_NAME(WM_LBUTTONDOWN),
    QPM_NAME(WM_LBUTTONUP),
    QPM_NAME(WM_PARENTNOTIFY),
    QPM_NAME(WM_IME_SETCONTEXT),
    QPM_NAME(WM_IME_NOTIFY),
    QPM_NAME(WM_QUERYNEWPALETTE),
    QPM_NAME(WM_PALETTEISCHANGING),
    QPM_NAME(WM_PALETTECHANGED),
    QPM_NAME(WM_DISPLAYCHANGE),
    QPM_NAME(WM_NCMOUSEMOVE),
    QPM_NAME(QPMM_START),
    QPM_NAME(QPMM_RESET),
    QPM_NAME(QPMM_STOP),
    QPM_NAME(QPMM_CONFIRM),
    QPM_NAME(QPMM_IDLE),
    QPM_NAME(QPMM_PRINT),
    QPM_NAME(QPMM_STREAMREADY),
    QPM_NAME(QPMM_STREAMEND),
    QPM_NAME(QPMM_NOTIFY),
    QPM_NAME(QPMM_STREAMNOTICE),
    QPM_NAME(QPMM_STREAMNOTICE2),
    QPM_NAME(QPMM_STREAMRESUME),
    QPM_NAME(QPMM_STREAMFAILED),
    QPM_NAME(QPMM_STREAMDATA),
    QPM_NAME(QPMM_DELIVERSTREAM),
    QPM_NAME(QPMR_OPENSTREAM),
    QPM_NAME(QPMR_CLOSESTREAM),
    QPM_NAME(QPMR_READSTREAM),
    QPM_NAME(QPMR_STREAMREADY),
    QPM_NAME(QPMR_HOSTINFO),
    QPM_NAME(QPMR_SUPPORTS),
    QPM_NAME(QPMR_CONFIRMED),
    QPM_NAME(QPMR_RESIZE),
};
#undef QPM_NAME

}  // namespace

UINT QpmPumpMessages(void) {
    UINT handled = 0;
    MSG msg;
    while (handled < kMaxDispatched && NextToDispatch(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        ++handled;
    }
    return handled;
}

LPCSTR QpmMessageName(UINT message) {
    for (const Name& n : kNames)
        if (n.number == message) return n.name;
    static char unknown[24];
    if (message >= WM_USER && message < WM_APP)
        snprintf(unknown, sizeof unknown, "WM_USER+%u", message - WM_USER);
    else
        snprintf(unknown, sizeof unknown, "0x%04X", message);
    return unknown;
}
