// Stream buffers and the notices they call for.
#include "net/stream_table.h"

#include <qpm/protocol.h>

#include <algorithm>
#include <cstring>

LONG_PTR StreamTable::Open(HWND owner, const std::string& url) {
    LONG_PTR handle = nextHandle_++;
    Stream& stream = streams_[handle];
    stream.owner = owner;
    stream.url = url;
    return handle;
}

HWND StreamTable::OwnerOf(LONG_PTR handle) const {
    auto it = streams_.find(handle);
    return it == streams_.end() ? nullptr : it->second.owner;
}

std::string StreamTable::UrlOf(LONG_PTR handle) const {
    auto it = streams_.find(handle);
    return it == streams_.end() ? std::string() : it->second.url;
}

int32_t StreamTable::Read(LONG_PTR handle, char* buffer, int32_t size) {
    auto it = streams_.find(handle);
    if (it == streams_.end() || buffer == nullptr || size < 0) return -1;
    Stream& stream = it->second;
    stream.readSinceNotice = true;
    if (stream.Buffered() > 0) {
        if (stream.readSinceAnnounced >= kBytesPerNotice) return 0;  // the rest after a 1047
        const size_t n = stream.buffer.Read(buffer, size_t(size));
        stream.readSinceAnnounced += n;
        return int32_t(n);
    }
    if (stream.transfer == Transfer::kComplete) {
        stream.endRead = true;
        return -1;
    }
    return 0;
}

void StreamTable::MarkReady(LONG_PTR handle) {
    auto it = streams_.find(handle);
    if (it != streams_.end()) it->second.ready = true;
}

bool StreamTable::Close(LONG_PTR handle) {
    auto it = streams_.find(handle);
    if (it == streams_.end()) return false;
    bool running = it->second.transfer == Transfer::kRunning;
    streams_.erase(it);
    return running;
}

std::vector<LONG_PTR> StreamTable::ForgetOwner(HWND owner) {
    std::vector<LONG_PTR> running;
    for (auto it = streams_.begin(); it != streams_.end();) {
        if (it->second.owner != owner) {
            ++it;
            continue;
        }
        if (it->second.transfer == Transfer::kRunning) running.push_back(it->first);
        it = streams_.erase(it);
    }
    return running;
}

size_t StreamTable::Room(LONG_PTR handle) const {
    auto it = streams_.find(handle);
    if (it == streams_.end()) return kBufferLimit;
    const size_t buffered = it->second.Buffered();
    return buffered >= kBufferLimit ? 0 : kBufferLimit - buffered;
}

void StreamTable::Append(LONG_PTR handle, const char* data, size_t size) {
    auto it = streams_.find(handle);
    if (it != streams_.end() && it->second.transfer == Transfer::kRunning)
        it->second.buffer.Append(data, size);
}

void StreamTable::Complete(LONG_PTR handle) {
    auto it = streams_.find(handle);
    if (it != streams_.end() && it->second.transfer == Transfer::kRunning)
        it->second.transfer = Transfer::kComplete;
}

void StreamTable::Fail(LONG_PTR handle, int32_t code) {
    auto it = streams_.find(handle);
    if (it == streams_.end() || it->second.transfer != Transfer::kRunning) return;
    it->second.transfer = Transfer::kFailed;
    it->second.failCode = code;
}

UINT StreamTable::Due(const Stream& stream) {
    if (stream.announcing || stream.endRead) return 0;
    const bool hasData = stream.Buffered() > 0;
    if (stream.transfer == Transfer::kRunning)
        return stream.ready && hasData ? QPMM_STREAMREADY : 0;
    if (stream.ready) {
        // The component reads: let it have the rest (or, complete, the end).
        if (hasData || stream.transfer == Transfer::kComplete) return QPMM_STREAMREADY;
        return QPMM_STREAMFAILED;
    }
    // Not ready, but it read since the last notice: its 1047 is on the way.
    if (stream.readSinceNotice) return 0;
    return stream.transfer == Transfer::kComplete ? QPMM_STREAMEND : QPMM_STREAMFAILED;
}

bool StreamTable::HasDueNotice() const {
    for (const auto& entry : streams_)
        if (Due(entry.second) != 0) return true;
    return false;
}

bool StreamTable::NextNotice(Notice* out) {
    for (auto it = streams_.begin(); it != streams_.end(); ++it) {
        Stream& stream = it->second;
        UINT message = Due(stream);
        if (message == 0) continue;
        *out = Notice{stream.owner, message, 0, it->first};
        if (message == QPMM_STREAMREADY) {
            stream.ready = false;
            stream.readSinceNotice = false;
            stream.readSinceAnnounced = 0;
            stream.announcing = true;
        } else {
            // The end notice is the handle's last word: forget it now.
            if (message == QPMM_STREAMFAILED) out->wParam = WPARAM(uint32_t(stream.failCode));
            streams_.erase(it);
        }
        return true;
    }
    return false;
}

void StreamTable::NoticeDone(const Notice& notice) {
    auto it = streams_.find(notice.handle);
    if (it != streams_.end() && notice.message == QPMM_STREAMREADY) it->second.announcing = false;
}
