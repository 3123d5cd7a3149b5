// Fuzz target: the ticker's text from a data file, from a stream, or
// inline, made of any bytes (NULs and bytes above 127 included), then
// scrolled and painted for a few ticks.
//
// Input: a flags byte (bits 0-1: data file, stream that ends, stream that
// fails, inline "TEXT"; bit 2: a border), a byte of font size, a byte of
// chunk size for the stream's reads, a byte of ticks, then the text.
//
// Beyond "no crash": a data file's text is its bytes exactly; a streamed
// text is every byte that arrived, white space turned into spaces, in
// order, whatever the chunks; once stopped, no layer object is left.
#include <qpm/module.h>
#include <qpm/protocol.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "fuzz_support.h"
#include "message_ticker.h"
#include "support/scripted_host.h"

namespace {

constexpr LONG_PTR kHandle = 5;
constexpr char kUrl[] = "http://127.0.0.1/text";

std::string folder;
ScriptedHost* host = nullptr;

enum Source { kDataFile, kStreamEnds, kStreamFails, kInline };

MessageTicker* TickerOf(HWND window) {
    auto block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
    auto* record = static_cast<InstanceRecord*>(GlobalLock(block));
    GlobalUnlock(block);
    return static_cast<MessageTicker*>(record->component);
}

std::string Spaced(std::string bytes) {
    for (char& c : bytes)
        if (c == ' ' || (c >= '\t' && c <= '\r')) c = ' ';
    return bytes;
}

// Reads answered from `text` in pieces of at most `chunk` bytes; at its
// end -1 (the stream ends) or 0 (nothing more now: the host fails it).
void ServeInPieces(const std::string& text, size_t chunk, bool ends) {
    auto position = std::make_shared<size_t>(0);
    host->Answer(QPMR_READSTREAM, [=](WPARAM, LPARAM lParam) -> LRESULT {
        auto* request = reinterpret_cast<ReadRequest*>(lParam);
        size_t left = text.size() - *position;
        if (left == 0) return ends ? -1 : 0;
        size_t n = std::min({left, chunk, size_t(request->size)});
        memcpy(request->buffer, text.data() + *position, n);
        *position += n;
        return LRESULT(n);
    });
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folder = UsePrivateFolder("qpm_fuzz_ticker");
    QPMSetInstance(nullptr);
    host = new ScriptedHost(400, 100);
    host->AnswerValue(QPMR_OPENSTREAM, kHandle);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    host->ClearRequests();  // the host records every request; keep only this input's
    FuzzInput input(data, size);
    const uint8_t flags = input.Byte();
    const auto source = Source(flags & 3);
    const std::string fontSize = std::to_string(input.Byte());
    const size_t chunk = 1 + input.Byte() * 8;
    const int ticks = input.Byte() % 4;
    const std::string text = input.Rest();
    const std::string dataFile = folder + "/data.txt";

    std::string inlineText = text.substr(0, text.find('\0'));
    std::vector<std::string> names{"SIZE", "SRC"}, values{fontSize, kUrl};
    if (flags & 4) names.push_back("SHOWBORDER"), values.push_back("");
    if (source == kInline) names.push_back("TEXT"), values.push_back(inlineText);
    std::vector<char*> namePointers, valuePointers;
    for (size_t i = 0; i < names.size(); ++i)
        namePointers.push_back(names[i].data()), valuePointers.push_back(values[i].data());
    namePointers.push_back(nullptr);
    valuePointers.push_back(nullptr);
    if (source == kDataFile) std::ofstream(dataFile, std::ios::binary) << text;
    ServeInPieces(text, chunk, source == kStreamEnds);

    const ObjectCounts before = ObjectCounts::Now();
    InitRecord init{};
    init.size = sizeof init;
    init.attrCount = int32_t(names.size());
    init.attrNames = namePointers.data();
    init.attrValues = valuePointers.data();
    init.dataFile = source == kDataFile ? const_cast<char*>(dataFile.c_str()) : nullptr;
    init.width = 120;
    init.height = 24;
    HWND window = QPMInit(host->window(), &init);
    Require(window != nullptr, "the ticker's window is made");
    LRESULT started = SendMessageA(window, QPMM_START, 0, 0);
    std::string expected = text;
    if (source == kInline) {
        Require(started == (inlineText.empty() ? 0 : 1), "inline text starts unless empty");
        // "TEXT" is read into 512 bytes: 511 characters count.
        expected = Spaced(inlineText.substr(0, MessageTicker::kTextAttributeSize - 1));
    } else {
        Require(started == 1, "a data file or a stream starts the ticker");
    }
    if (source == kStreamEnds || source == kStreamFails) {
        host->Pump();
        SendMessageA(window, QPMM_STREAMREADY, 0, kHandle);
        if (source == kStreamFails) SendMessageA(window, QPMM_STREAMFAILED, 0, kHandle);
        expected = Spaced(text);
    }
    MessageTicker* ticker = TickerOf(window);
    const std::string got =
        ticker->text ? std::string(ticker->text, size_t(ticker->textLength)) : std::string();
    if (started) Require(got == expected, "the text is what arrived");
    for (int i = 0; i < ticks; ++i) QpmAdvanceClock(MessageTicker::kScrollPeriod);
    SendMessageA(window, QPMM_IDLE, 0, 0);
    DestroyWindow(window);
    host->Pump();
    before.RequireSameNow();
    unlink(dataFile.c_str());
    return 0;
}
