// Fuzz target: the installer's Start on any "TYPE", "SRC", "QPMSRC" and
// "QPMPLATFORMS" (direct, or packed into "SUBTYPE" as an alternate host
// gives them), in a scripted host that answers the download request and
// the host information request as the input says.
//
// Input: a flags byte (bit 0: packed form; bits 1-2: the answer to the
// open-stream request: refused, delivered later, a handle), a byte of
// attribute count, then per attribute a name choice byte (a known name,
// or a NUL-terminated name of its own) and a NUL-terminated value; then
// the host information answer.
//
// Beyond "no crash": Start answers 1; the status text is one of those
// Start may show; a download that started has its temporary file, asked
// for one address with neither a comma nor a blank in it; once the host
// stops the installer, no temporary file and no layer object is left.
#include <qpm/module.h>
#include <qpm/protocol.h>

#include <cstring>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "fuzz_support.h"
#include "qpm_installer.h"
#include "status_texts.h"
#include "support/scripted_host.h"

namespace {

std::string folder;
ScriptedHost* host = nullptr;

const char* const kNames[] = {"TYPE", "SRC", "QPMSRC", "QPMPLATFORMS", "SUBTYPE", "type", "QpmSrc"};

bool StartsLike(const char* status, const char* format) {
    const char* percent = strstr(format, "%s");
    size_t fixed = percent ? size_t(percent - format) : strlen(format) + 1;
    return strncmp(status, format, fixed) == 0;
}

bool IsStartStatus(const char* status) {
    for (const char* text : {kTextNoType, kTextCannotInstallType, kTextPlatformUnsupported,
                             kTextNoSource, kTextCannotRequest, kTextDownloading})
        if (StartsLike(status, text)) return true;
    return false;
}

QPMInstaller* InstallerOf(HWND window) {
    auto block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
    auto* record = static_cast<InstanceRecord*>(GlobalLock(block));
    GlobalUnlock(block);
    return record ? static_cast<QPMInstaller*>(record->component) : nullptr;
}

void AnswerFrom(FuzzInput& input, int openAnswer) {
    static const LONG_PTR kOpenAnswers[] = {kNoStream, kStreamLater, 7, 0};
    LONG_PTR handle = kOpenAnswers[openAnswer];
    host->AnswerValue(QPMR_OPENSTREAM, handle);
    std::string info = input.Field().substr(0, kHostInfoSize - 1);
    bool answers = input.Flag();
    host->Answer(QPMR_HOSTINFO, [info, answers](WPARAM, LPARAM lParam) -> LRESULT {
        memcpy(reinterpret_cast<char*>(lParam), info.c_str(), info.size() + 1);
        return answers ? 1 : 0;
    });
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folder = UsePrivateFolder("qpm_fuzz_installer");
    QPMSetInstance(nullptr);
    host = new ScriptedHost(400, 100);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const uint8_t flags = input.Byte();
    std::vector<std::string> names, values;
    for (uint32_t n = input.Below(8); n > 0; --n) {
        uint8_t choice = input.Byte();
        names.push_back(choice < 224 ? kNames[choice % 7] : input.Field());
        values.push_back(input.Field());
    }
    AnswerFrom(input, (flags >> 1) & 3);
    std::vector<char*> namePointers, valuePointers;
    for (size_t i = 0; i < names.size(); ++i) {
        namePointers.push_back(names[i].data());
        valuePointers.push_back(values[i].data());
    }
    namePointers.push_back(nullptr);
    valuePointers.push_back(nullptr);

    const ObjectCounts before = ObjectCounts::Now();
    host->ClearRequests();
    InitRecord init{};
    init.size = sizeof init;
    init.attrCount = int32_t(names.size());
    init.attrNames = namePointers.data();
    init.attrValues = valuePointers.data();
    init.mode = (flags & 1) ? kAltHostMark : 0;
    init.width = 400;
    init.height = 80;
    HWND window = QPMInit(host->window(), &init);
    Require(window != nullptr, "the installer's window is made");
    Require(SendMessageA(window, QPMM_START, 0, 0) == 1, "Start answers 1");
    QPMInstaller* installer = InstallerOf(window);
    Require(IsStartStatus(installer->statusText), "the status is one Start shows");
    if (strcmp(installer->statusText, kTextDownloading) == 0) {
        Require(installer->tempPath[0] != '\0', "a download has its temporary file");
        Require(GetFileAttributesA(installer->tempPath) != INVALID_FILE_ATTRIBUTES,
                "the temporary file exists");
        const std::string& url = installer->sourceList;
        Require(!url.empty() && url.find_first_of(", \t\r\n\v\f") == std::string::npos,
                "the address is one item of QPMSRC");
    }
    host->Pump();
    SendMessageA(window, QPMM_STOP, 0, 0);
    Require(!IsWindow(window), "a stopped installer's window is gone");
    Require(FolderEntries(folder).empty(), "no temporary file is left");
    before.RequireSameNow();
    return 0;
}
