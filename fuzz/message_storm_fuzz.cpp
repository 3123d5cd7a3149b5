// Fuzz target: host message storms. A ticker and an installer, both from
// their built libraries, receive any sequence of host messages (1025 to
// 1040, 1114, 1115, WM_SIZE, WM_TIMER, WM_PAINT, the window's
// destruction) with any stream keys and records, while the scripted host
// answers every request as the input says, sometimes by sending a
// message back first, and the installer's question is answered (or
// interrupted) the same way. The installer installs, from whatever it
// downloads, the module DRX.REG names for its type: the test module,
// which the target keeps loaded, so the hand-over and the relaying
// window procedure are stormed too.
//
// The input is read as it is needed: the first byte chooses the windows
// and their attributes, then each step is an operation byte and its
// arguments, and every host answer takes its own bytes from the same
// input when it is asked.
//
// Beyond "no crash": once the host has stopped what is left, every
// window is gone, no temporary file stays, and the layer holds no more
// objects than before the input.
#include <qpm/protocol.h>
#include <qpm/records.h>
#include <qpm_platform.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "fuzz_support.h"
#include "support/scripted_host.h"

namespace {

using SetInstanceFn = void(WINAPI*)(HINSTANCE);
using InitFn = HWND(WINAPI*)(HWND, InitRecord*);

constexpr char kType[] = "application/x-storm";
constexpr char kModuleUrl[] = "http://127.0.0.1/module";
constexpr char kTextUrl[] = "http://127.0.0.1/text";
constexpr int kMaxNesting = 3;
constexpr int kMaxSteps = 64;

const UINT kMessages[] = {1025, 1026, 1027,    1028,     1029,     1030,      1031, 1032,
                          1033, 1034, 1035,    1036,     1037,     1038,      1039, 1040,
                          1114, 1115, WM_SIZE, WM_TIMER, WM_PAINT, WM_DESTROY};
const LONG_PTR kKeys[] = {kNoStream, kStreamLater, 0, 5, 7, 9};

// The delivered-stream record of message 1115: the url at a browser
// stream's offset.
struct DeliveredStream {
    void* pdata;
    void* ndata;
    const char* url;
};

struct Storm {
    std::string folder;
    std::string modulePath;
    InitFn tickerInit = nullptr;
    InitFn installerInit = nullptr;
    ScriptedHost* host = nullptr;
    HDC printer = nullptr;
    FuzzInput* input = nullptr;  // the current input
    std::vector<HWND> windows;   // the components of the current input
    int nesting = 0;
};

Storm storm;

void Step(FuzzInput& in);

InitFn LoadComponentLibrary(const char* path) {
    HMODULE library = LoadLibraryA(path);
    Require(library != nullptr, "a component library loads");
    auto setInstance = reinterpret_cast<SetInstanceFn>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(library, "QPMSetInstance")));
    setInstance(library);
    return reinterpret_cast<InitFn>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(library, "QPMInit")));
}

// Sometimes the host sends a message back before it answers.
void MaybeSendBack() {
    if (storm.nesting >= kMaxNesting || (storm.input->Byte() & 3) != 0) return;
    ++storm.nesting;
    Step(*storm.input);
    --storm.nesting;
}

LRESULT AnswerOpen(WPARAM, LPARAM) {
    MaybeSendBack();
    return kKeys[storm.input->Below(6)];
}

LRESULT AnswerRead(WPARAM, LPARAM lParam) {
    MaybeSendBack();
    auto* request = reinterpret_cast<ReadRequest*>(lParam);
    uint8_t how = storm.input->Byte();
    if (how < 16) return -1;
    if (how < 32) return 0;
    std::string bytes = storm.input->Bytes(storm.input->Below(2048));
    size_t n = std::min(bytes.size(), size_t(request->size > 0 ? request->size : 0));
    memcpy(request->buffer, bytes.data(), n);
    return LRESULT(n);
}

LRESULT AnswerInfo(WPARAM, LPARAM lParam) {
    std::string info = storm.input->Field().substr(0, kHostInfoSize - 1);
    memcpy(reinterpret_cast<char*>(lParam), info.c_str(), info.size() + 1);
    return storm.input->Flag() ? 1 : 0;
}

LRESULT AnswerAnything(WPARAM, LPARAM) {
    MaybeSendBack();
    return storm.input->Flag() ? 1 : 0;
}

int AnswerQuestion(HWND, LPCSTR, LPCSTR, UINT, void*) {
    MaybeSendBack();
    static const int kAnswers[] = {IDYES, IDNO, IDCANCEL, 0};
    return kAnswers[storm.input->Below(4)];
}

HWND Target(FuzzInput& in) {
    if (storm.windows.empty()) return nullptr;
    return storm.windows[in.Below(uint32_t(storm.windows.size()))];
}

// One host message, with its parameters and record, to one window.
void SendHostMessage(FuzzInput& in) {
    HWND window = Target(in);
    const UINT message = kMessages[in.Below(sizeof kMessages / sizeof kMessages[0])];
    const LONG_PTR key = in.Flag() ? kKeys[in.Below(6)] : LONG_PTR(int32_t(in.Below(1u << 31)));
    const WPARAM wParam = in.Byte();
    const std::string bytes = in.Bytes(in.Below(64));
    switch (message) {
        case QPMM_PRINT: {
            PrintRecord print{0, storm.printer, 0, 0, 0, 0};
            SendMessageA(window, message, wParam, in.Flag() ? LPARAM(&print) : 0);
            return;
        }
        case QPMM_STREAMNOTICE:
        case QPMM_STREAMNOTICE2: {
            std::vector<char> record(sizeof(StreamNoticeRecord) + bytes.size() + 1, 0);
            auto* notice = reinterpret_cast<StreamNoticeRecord*>(record.data());
            notice->key = key;
            notice->length = uint16_t(bytes.size());
            memcpy(record.data() + (message == QPMM_STREAMNOTICE
                                        ? offsetof(StreamNoticeRecord, bytes)
                                        : offsetof(StreamNotice2Record, bytes)),
                   bytes.data(), bytes.size());
            SendMessageA(window, message, wParam, in.Flag() ? LPARAM(record.data()) : 0);
            return;
        }
        case QPMM_STREAMDATA: {
            StreamDataRecord chunk{key, bytes.data(), int32_t(bytes.size()), int32_t(in.Byte())};
            SendMessageA(window, message, wParam, in.Flag() ? LPARAM(&chunk) : 0);
            return;
        }
        case QPMM_DELIVERSTREAM: {
            DeliveredStream delivered{nullptr, nullptr, in.Flag() ? kTextUrl : kModuleUrl};
            SendMessageA(window, message, wParam, LPARAM(&delivered));
            return;
        }
        case WM_SIZE:
            SendMessageA(window, message, wParam % 3, MAKELPARAM(in.Below(600), in.Below(200)));
            return;
        case WM_TIMER:
            SendMessageA(window, message, in.Flag() ? kIdleTimerId : wParam % 3, 0);
            return;
        case WM_DESTROY:
            DestroyWindow(window);
            return;
        default:
            SendMessageA(window, message, wParam, key);
            return;
    }
}

void Step(FuzzInput& in) {
    switch (in.Byte() % 8) {
        case 0:
            storm.host->Pump();
            return;
        case 1:
            QpmAdvanceClock(in.Below(400));
            return;
        default:
            SendHostMessage(in);
            return;
    }
}

HWND Create(InitFn init, std::vector<std::string> names, std::vector<std::string> values) {
    std::vector<char*> namePointers, valuePointers;
    for (size_t i = 0; i < names.size(); ++i)
        namePointers.push_back(names[i].data()), valuePointers.push_back(values[i].data());
    namePointers.push_back(nullptr);
    valuePointers.push_back(nullptr);
    InitRecord record{};
    record.size = sizeof record;
    record.attrCount = int32_t(names.size());
    record.attrNames = namePointers.data();
    record.attrValues = valuePointers.data();
    record.width = 300;
    record.height = 40;
    return init(storm.host->window(), &record);
}

void CreateComponents(FuzzInput& in) {
    const uint8_t choice = in.Byte();
    if (choice & 1) {
        std::vector<std::string> names{"SIZE"}, values{std::to_string(in.Byte() % 40)};
        if (choice & 4)
            names.push_back("TEXT"), values.push_back(in.Field());
        else
            names.push_back("SRC"), values.push_back(kTextUrl);
        storm.windows.push_back(Create(storm.tickerInit, names, values));
    }
    if (choice & 2) {
        static const char* const kStarts[] = {"0", "1", "2"};
        std::vector<std::string> names{"TYPE", "QPMSRC", "QPMPLATFORMS", "START"};
        std::vector<std::string> values{kType, kModuleUrl, "Win32", kStarts[in.Below(3)]};
        if (choice & 8) names.push_back("CONFIRM"), values.push_back("notify");
        if (choice & 16) names.push_back("ASKHOST"), values.push_back("");
        storm.windows.push_back(Create(storm.installerInit, names, values));
    }
    if (choice & 32) return;  // no start: the storm begins with the window as made
    for (HWND window : storm.windows) SendMessageA(window, QPMM_START, 0, 0);
}

// The host's part at the end: what is still there is stopped.
void StopEverything() {
    for (HWND window : storm.windows)
        if (IsWindow(window)) SendMessageA(window, QPMM_STOP, 0, 0);
    storm.host->Pump();
    for (HWND window : storm.windows) Require(!IsWindow(window), "a stopped window is gone");
    for (const std::string& name : FolderEntries(storm.folder))
        Require(name == "DRX.REG" || name == "installed", ("no temporary file: " + name).c_str());
    for (const std::string& name : FolderEntries(storm.folder + "/installed"))
        Require(name == "STORM32.DLL", ("nothing beside the module: " + name).c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    storm.folder = UsePrivateFolder("qpm_fuzz_storm");
    std::filesystem::create_directory(storm.folder + "/installed");
    storm.modulePath = storm.folder + "/installed/STORM32.DLL";
    Require(CopyFileA(QPM_TEST_MODULE, storm.modulePath.c_str(), FALSE) != 0,
            "the test module is in place");
    // Held for good: every installation of the type loads this same module.
    Require(LoadLibraryA(storm.modulePath.c_str()) != nullptr, "the test module loads");
    storm.tickerInit = LoadComponentLibrary(QPM_PELLUX_LIBRARY);
    storm.installerInit = LoadComponentLibrary(QPM_VARNOQ_LIBRARY);
    storm.host = new ScriptedHost(400, 200);
    storm.printer = QpmCreatePrinterDC(300, 100);
    storm.host->Answer(QPMR_OPENSTREAM, AnswerOpen);
    storm.host->Answer(QPMR_READSTREAM, AnswerRead);
    storm.host->Answer(QPMR_HOSTINFO, AnswerInfo);
    for (UINT request : {QPMR_CLOSESTREAM, QPMR_STREAMREADY, QPMR_SUPPORTS, QPMR_RESIZE})
        storm.host->Answer(request, AnswerAnything);
    QpmSetMessageBoxHandler(AnswerQuestion, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    storm.input = &in;
    std::ofstream(storm.folder + "/DRX.REG", std::ios::binary | std::ios::trunc)
        << "[DRX-Win32]\r\n"
        << kType << "=" << storm.modulePath << "\r\n";
    storm.host->ClearRequests();
    const ObjectCounts before = ObjectCounts::Now();
    CreateComponents(in);
    for (int steps = 0; steps < kMaxSteps && !in.empty(); ++steps) Step(in);
    StopEverything();
    before.RequireSameNow();
    storm.windows.clear();
    return 0;
}
