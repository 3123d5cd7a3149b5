// The debug trace: QPM_TRACE=area,area,... (or "all") switches areas on.
// Lines go to stderr, prefixed with the tick count and the area.
#include "internal/kernel_internal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct MessageName {
    UINT number;
    const char* name;
};

// Windows messages, then the component protocol: host messages from 1025,
// requests from 1044, and the plug-in adapter's two.
const MessageName kMessageNames[] = {
    {WM_NULL, "WM_NULL"},
    {WM_CREATE, "WM_CREATE"},
    {WM_DESTROY, "WM_DESTROY"},
    {WM_MOVE, "WM_MOVE"},
    {WM_SIZE, "WM_SIZE"},
    {WM_ACTIVATE, "WM_ACTIVATE"},
    {WM_SETFOCUS, "WM_SETFOCUS"},
    {WM_KILLFOCUS, "WM_KILLFOCUS"},
    {WM_ENABLE, "WM_ENABLE"},
    {WM_SETTEXT, "WM_SETTEXT"},
    {WM_GETTEXT, "WM_GETTEXT"},
    {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
    {WM_PAINT, "WM_PAINT"},
    {WM_CLOSE, "WM_CLOSE"},
    {WM_QUIT, "WM_QUIT"},
    {WM_ERASEBKGND, "WM_ERASEBKGND"},
    {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
    {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
    {WM_SETCURSOR, "WM_SETCURSOR"},
    {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
    {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
    {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
    {WM_NCCREATE, "WM_NCCREATE"},
    {WM_NCDESTROY, "WM_NCDESTROY"},
    {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
    {WM_NCPAINT, "WM_NCPAINT"},
    {WM_NCACTIVATE, "WM_NCACTIVATE"},
    {WM_KEYDOWN, "WM_KEYDOWN"},
    {WM_KEYUP, "WM_KEYUP"},
    {WM_CHAR, "WM_CHAR"},
    {WM_COMMAND, "WM_COMMAND"},
    {WM_TIMER, "WM_TIMER"},
    {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
    {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
    {WM_LBUTTONUP, "WM_LBUTTONUP"},
    {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
    {WM_IME_SETCONTEXT, "WM_IME_SETCONTEXT"},
    {WM_QUERYNEWPALETTE, "WM_QUERYNEWPALETTE"},
    {1025, "QPMM_START"},
    {1026, "QPMM_RESET"},
    {1027, "QPMM_STOP"},
    {1028, "QPMM_CONFIRM"},
    {1029, "QPMM_IDLE"},
    {1030, "QPMM_PRINT"},
    {1034, "QPMM_STREAMREADY"},
    {1035, "QPMM_STREAMEND"},
    {1036, "QPMM_NOTIFY"},
    {1037, "QPMM_STREAMNOTICE"},
    {1038, "QPMM_STREAMNOTICE2"},
    {1039, "QPMM_STREAMRESUME"},
    {1040, "QPMM_STREAMFAILED"},
    {1044, "QPMR_OPENSTREAM"},
    {1045, "QPMR_CLOSESTREAM"},
    {1046, "QPMR_READSTREAM"},
    {1047, "QPMR_STREAMREADY"},
    {1054, "QPMR_HOSTINFO"},
    {1055, "QPMR_SUPPORTS"},
    {1056, "QPMR_CONFIRMED"},
    {1069, "QPMR_RESIZE"},
    {1114, "QPMM_STREAMDATA"},
    {1115, "QPMM_DELIVERSTREAM"},
};

const std::string& TraceSetting() {
    static const std::string setting = [] {
        const char* v = getenv("QPM_TRACE");
        return std::string(",") + (v ? v : "") + ",";
    }();
    return setting;
}

}  // namespace

BOOL QpmTraceEnabled(LPCSTR area) {
    const std::string& s = TraceSetting();
    if (s.size() <= 2 || !area) return FALSE;
    if (s.find(",all,") != std::string::npos) return TRUE;
    return s.find(std::string(",") + area + ",") != std::string::npos ? TRUE : FALSE;
}

void QpmTrace(LPCSTR area, LPCSTR format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    fprintf(stderr, "[%10u %-7s] %s\n", unsigned(qpm::NowTicks()), area ? area : "", line);
}

LPCSTR QpmMessageName(UINT message) {
    for (const MessageName& m : kMessageNames)
        if (m.number == message) return m.name;
    static char unknown[24];
    if (message >= WM_USER && message < WM_APP)
        snprintf(unknown, sizeof unknown, "WM_USER+%u", message - WM_USER);
    else
        snprintf(unknown, sizeof unknown, "0x%04X", message);
    return unknown;
}
