// A component that examines its host: it prints what it receives and
// what the host answers to its requests, one line each on stdout, so an
// end-to-end test can compare the lines with what a host must do.
// Environment switches pick misbehaviour: PROBE_VERSION_ZERO (speaks no
// version), PROBE_NO_WINDOW (QPMInit fails), PROBE_REFUSE (1025 answers
// 0), PROBE_ASK (asks a question with MessageBoxA while starting),
// PROBE_FETCH=URL (opens streams with data to URL while starting).
#include <qpm/protocol.h>
#include <qpm/records.h>
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

HINSTANCE instance;

void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    putchar('\n');
    fflush(stdout);
}

LRESULT Ask(HWND window, UINT request, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(GetParent(window), request, wParam, lParam);
}

void ProbeHostInfo(HWND window) {
    for (int item : {1, 2, 3, 5, 6, 7, 8}) {
        char buffer[kHostInfoSize];
        strcpy(buffer, "untouched");
        LRESULT known = Ask(window, QPMR_HOSTINFO, WPARAM(item), reinterpret_cast<LPARAM>(buffer));
        Say("info %d -> %ld [%s]", item, long(known), buffer);
    }
}

void ProbeSupports(HWND window) {
    for (UINT request :
         {QPMR_OPENSTREAM, QPMR_READSTREAM, QPMR_HOSTINFO, QPMR_RESIZE, QPMR_CONFIRMED, 1100u})
        Say("supports %u -> %ld", request, long(Ask(window, QPMR_SUPPORTS, request, 0)));
}

// Requests a careless component might send; the host must survive them.
void ProbeBadRequests(HWND window) {
    Say("open null -> %ld", long(Ask(window, QPMR_OPENSTREAM, 0, 0)));
    UrlRequest noUrl{nullptr, nullptr, nullptr, 0, 0};
    Say("open no url -> %ld",
        long(Ask(window, QPMR_OPENSTREAM, 0, reinterpret_cast<LPARAM>(&noUrl))));
    UrlRequest ftp{"ftp://example.org/x", "", nullptr, 0, 0};
    Say("open ftp -> %ld", long(Ask(window, QPMR_OPENSTREAM, 0, reinterpret_cast<LPARAM>(&ftp))));
    Say("read null -> %ld", long(Ask(window, QPMR_READSTREAM, 0, 0)));
    char buffer[16];
    ReadRequest unknown{999, buffer, sizeof buffer};
    Say("read unknown -> %ld",
        long(Ask(window, QPMR_READSTREAM, 0, reinterpret_cast<LPARAM>(&unknown))));
    Say("close unknown -> %ld", long(Ask(window, QPMR_CLOSESTREAM, 0, 999)));
    Say("resize null -> %ld", long(Ask(window, QPMR_RESIZE, 0, 0)));
    SizeRequest negative{-5, 10};
    Say("resize negative -> %ld",
        long(Ask(window, QPMR_RESIZE, 0, reinterpret_cast<LPARAM>(&negative))));
    Say("info null -> %ld", long(Ask(window, QPMR_HOSTINFO, 2, 0)));
}

// Streams that carry data: a GET's goes into the query (after the URL's
// own), a POST's is the body, its length given or its string's.
void ProbeFetch(HWND window, const char* url) {
    const std::string withQuery = std::string(url) + "?k=v";
    const UrlRequest requests[] = {
        {url, "", "a=1&b=2", 0, 0},
        {withQuery.c_str(), nullptr, "a=1", 0, 0},
        {url, "", "x=1\0y", kMethodPost, 5},
        {url, "", "z=2", kMethodPost, 0},
    };
    for (const UrlRequest& request : requests) {
        LRESULT handle = Ask(window, QPMR_OPENSTREAM, 0, reinterpret_cast<LPARAM>(&request));
        Say("fetch %s %s -> %s", request.method == kMethodPost ? "POST" : "GET", request.url,
            handle > 0 ? "stream" : "none");
    }
}

void ProbeResize(HWND window) {
    SizeRequest size{200, 60};
    LRESULT done = Ask(window, QPMR_RESIZE, 0, reinterpret_cast<LPARAM>(&size));
    RECT mine, site;
    GetClientRect(window, &mine);
    GetClientRect(GetParent(window), &site);
    Say("resize 200x60 -> %ld, window %ldx%ld, site %ldx%ld", long(done), long(mine.right),
        long(mine.bottom), long(site.right), long(site.bottom));
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static bool idleSeen = false;
    switch (message) {
        case QPMM_START:
            Say("start");
            ProbeHostInfo(window);
            ProbeSupports(window);
            ProbeBadRequests(window);
            ProbeResize(window);
            if (const char* url = getenv("PROBE_FETCH")) ProbeFetch(window, url);
            return getenv("PROBE_REFUSE") ? 0 : 1;
        case QPMM_IDLE:
            if (!idleSeen) Say("idle");
            idleSeen = true;
            return 0;
        case QPMM_STOP:
            Say("stop");
            DestroyWindow(window);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

PROBE_EXPORT void QPMSetInstance(HINSTANCE module) {
    Say("set instance");
    instance = module;
}

PROBE_EXPORT WORD QPMGetVersion(WORD lowest, WORD highest) {
    Say("version %u..%u", unsigned(lowest), unsigned(highest));
    return getenv("PROBE_VERSION_ZERO") ? 0 : 258;
}

PROBE_EXPORT int32_t QPMCalcSize(InitRecord* record) {
    Say("calc size");
    record->width = 300;
    record->height = 44;
    return 1;
}

PROBE_EXPORT HWND QPMInit(HWND parent, InitRecord* record) {
    Say("init %dx%d attributes %d", record->width, record->height, record->attrCount);
    for (int i = 0; i < record->attrCount; ++i)
        Say("attr %s=%s", record->attrNames[i], record->attrValues[i]);
    Say("data file %s", record->dataFile ? record->dataFile : "(none)");
    Say("colours %06x %06x fixed %d", unsigned(record->backColor), unsigned(record->textColor),
        record->fixedSize);
    if (getenv("PROBE_ASK")) {
        int answer =
            MessageBoxA(parent, "Install the probe component?\nFingerprint 0123456789abcdef",
                        "Probe question", MB_YESNOCANCEL | MB_ICONQUESTION);
        Say("answer %d", answer);
    }
    if (getenv("PROBE_NO_WINDOW")) return nullptr;
    WNDCLASSA wc{};
    wc.lpfnWndProc = &ProbeProc;
    wc.hInstance = instance;
    wc.lpszClassName = "QpmHostProbe";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "QpmHostProbe", "", WS_CHILD | WS_VISIBLE, 0, 0, record->width,
                           record->height, parent, reinterpret_cast<HMENU>(1), instance, nullptr);
}
