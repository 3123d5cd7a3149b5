// The ticker's settings, text store and start-up.
#include "message_ticker.h"

#include "data_file.h"
#include "ticker_stream.h"

#include <qpm/attributes.h>
#include <qpm/host_requests.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

MessageTicker::MessageTicker()
    : firstChar(0),
      textLength(0),
      textBlock(nullptr),
      text(nullptr),
      offsetX(0),
      active(true),
      fontSize(kDefaultFontSize),
      showBorder(false) {
    wantsOffscreen = true;
    memset(faceName, 0, sizeof faceName);
    strcpy(faceName, "Arial");
}

MessageTicker::~MessageTicker() { FreeText(); }

void MessageTicker::FreeText() {
    if (textBlock == nullptr) return;
    GlobalUnlock(textBlock);
    GlobalFree(textBlock);
    textBlock = nullptr;
    text = nullptr;
}

void MessageTicker::ReadSettings() {
    char font[64];
    if (GetAttribute(instance, "FONT", font, sizeof font)) {
        // A font's face name holds 31 characters and its terminator.
        size_t n = strlen(font);
        if (n > size_t(kFaceNameLength)) n = kFaceNameLength;
        memset(faceName, 0, sizeof faceName);
        memcpy(faceName, font, n);
    }
    fontSize = ReadFontSize(instance);
    WarnOfClampedSize();
    if (GetBoolAttribute(instance, "SHOWBORDER"))
        showBorder = true;
    else if (GetBoolAttribute(instance, "NOBORDER"))
        showBorder = false;
}

int32_t MessageTicker::ReadFontSize(const InstanceRecord* record) {
    int32_t size = kDefaultFontSize;
    GetIntAttribute(record, "SIZE", &size);
    // Below 0 counts as 0, what a value without digits gives.
    if (size < 0) return 0;
    return size > kLargestFontSize ? kLargestFontSize : size;
}

// Says so when "SIZE" asks for what the ticker does not draw.
void MessageTicker::WarnOfClampedSize() const {
    int32_t asked = kDefaultFontSize;
    if (!GetIntAttribute(instance, "SIZE", &asked) || (asked >= 0 && asked <= kLargestFontSize))
        return;
    char value[20] = "";
    GetAttribute(instance, "SIZE", value, sizeof value);
    char message[96];
    snprintf(message, sizeof message, "ticker: SIZE=\"%s\" is outside 0 to %d; %d is used", value,
             int(kLargestFontSize), int(fontSize));
    OutputDebugStringA(message);
}

int32_t MessageTicker::Start() {
    ReadSettings();
    char inline_[kTextAttributeSize];
    if (GetAttribute(instance, "TEXT", inline_, sizeof inline_)) {
        AppendText(inline_, 0);
    } else if (instance->dataFile != nullptr) {
        LoadTextFile(instance->dataFile);
    } else if (RequestSource()) {
        // The text arrives on a stream; OnTextComplete starts the scrolling.
        active = false;
        return 1;
    }
    if (textBlock == nullptr) return 0;
    Restart();
    return 1;
}

int32_t MessageTicker::AppendText(const char* bytes, int32_t count) {
    if (count == 0) count = int32_t(strlen(bytes));
    if (count <= 0) return 1;
    // Only what fits under the maximum is added.
    const bool cut = count > kLargestText - textLength;
    if (cut) count = kLargestText - textLength;
    if (count <= 0) return 0;
    const int32_t newLength = textLength + count;
    if (textBlock) {
        GlobalUnlock(textBlock);
        HGLOBAL grown =
            GlobalReAlloc(textBlock, size_t(newLength) + 2, GMEM_MOVEABLE | GMEM_ZEROINIT);
        if (grown == nullptr) {
            text = static_cast<char*>(GlobalLock(textBlock));  // the text stays as it was
            return 0;
        }
        textBlock = grown;
    } else {
        textBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size_t(newLength) + 2);
        if (textBlock == nullptr) return 0;
    }
    text = static_cast<char*>(GlobalLock(textBlock));
    if (text == nullptr) return 0;
    char* out = text + textLength;
    for (int32_t i = 0; i < count; ++i) out[i] = IsWhiteSpace(bytes[i]) ? ' ' : bytes[i];
    out[count] = '\0';
    textLength = newLength;
    return cut ? 0 : 1;
}

bool MessageTicker::LoadTextFile(const char* path) {
    FreeText();
    HGLOBAL block = ReadDataFile(path, &textLength);
    firstChar = 0;
    if (block == nullptr) {
        textLength = 0;
        return false;
    }
    textBlock = block;
    text = static_cast<char*>(GlobalLock(block));
    return text != nullptr;
}

bool MessageTicker::RequestSource() {
    if (instance->pluginMode) return true;  // the browser delivers the tag's source itself
    char source[kTextAttributeSize];
    if (!GetAttribute(instance, "SRC", source, sizeof source)) return false;
    char context[kHostInfoSize] = "";
    GetHostInfo(instance, kInfoContext, context);
    UrlRequest request{source, context, nullptr, 0, 0};
    LONG_PTR handle = HostOpenStream(instance, &request, 0);
    if (handle == kNoStream) return false;
    DataStream* stream = CreateStream(source);
    if (stream == nullptr) {
        if (handle != kStreamLater) HostCloseStream(instance, handle);  // give a handle back
        return false;
    }
    if (handle == kStreamLater) {
        // Accepted, to be delivered by the host (1115): no handle to attach yet.
        stream->AwaitDelivery(source);
        return true;
    }
    stream->Attach(handle);
    return true;
}

DataStream* MessageTicker::CreateStream(const char*) {
    return new (std::nothrow) TickerStream(this);
}

void MessageTicker::OnTextComplete() {
    active = true;
    if (text != nullptr) Restart();
}
