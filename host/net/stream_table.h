// The host's streams: what each handle has buffered, how far its
// transfer got, and which notice its component is due next.
//
// The rules, per stream: once the component has said it is ready (1047)
// and data is buffered, or the transfer has finished, it is told with
// 1034 and reads with 1046 (data, then 0 while the transfer runs, then
// -1 at the end). A failed transfer first lets the component read what
// arrived, then reports the failure with 1040. When a transfer finishes
// and the component is not reading (it has not said it is ready and read
// nothing since the last 1034), it gets 1035 (or 1040) at once. After
// 1035 or 1040 the handle is forgotten, as after the component's 1045.
//
// One 1034 lets the component read at most kBytesPerNotice; then reads
// return 0 until its next 1047 brings the next 1034. A component posts a
// 1047 after every read, so without this bound a transfer that arrived
// whole (a file URL) would queue one posted message per 1024 bytes, 65536
// for 64 MiB, before the first could be handled, and hold off every other
// message meanwhile.
//
// Back-pressure: a stream holds at most kBufferLimit bytes its component
// has not read. The transfers ask Room() before they add more and wait
// (paused) while there is none, so a fast or endless source costs
// memory only for what the component keeps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "net/byte_queue.h"

class StreamTable {
public:
    static constexpr size_t kBufferLimit = size_t{256} << 10;

    // A notice the host must send to `window`: 1034, 1035 or 1040 (with
    // wParam the failure code), lParam = the handle.
    struct Notice {
        HWND window;
        UINT message;
        WPARAM wParam;
        LONG_PTR handle;
    };

    // A new handle (1 and up) for `owner`, the component window.
    LONG_PTR Open(HWND owner, const std::string& url);
    bool Known(LONG_PTR handle) const { return streams_.count(handle) != 0; }
    HWND OwnerOf(LONG_PTR handle) const;
    std::string UrlOf(LONG_PTR handle) const;
    size_t Count() const { return streams_.size(); }

    // Requests from the component.
    int32_t Read(LONG_PTR handle, char* buffer, int32_t size);
    void MarkReady(LONG_PTR handle);
    // Forgets the handle; true when its transfer was still running.
    bool Close(LONG_PTR handle);
    // Forgets every handle of a component that went; returns those whose
    // transfers still run.
    std::vector<LONG_PTR> ForgetOwner(HWND owner);

    // How many more bytes the stream takes now: kBufferLimit less what
    // is unread (0 when full). A handle no longer known takes anything,
    // to be dropped.
    size_t Room(LONG_PTR handle) const;

    // Progress of the transfer behind a handle (unknown handles are ignored).
    void Append(LONG_PTR handle, const char* data, size_t size);
    void Complete(LONG_PTR handle);
    void Fail(LONG_PTR handle, int32_t code);

    // The next notice due, with the stream's state updated as if it had
    // been sent; false when none is due. Call NoticeDone once the notice
    // has been sent.
    bool NextNotice(Notice* out);
    void NoticeDone(const Notice& notice);
    bool HasDueNotice() const;

    static constexpr size_t kBytesPerNotice = size_t(256) * 1024;

private:
    enum class Transfer { kRunning, kComplete, kFailed };
    struct Stream {
        HWND owner = nullptr;
        std::string url;
        ByteQueue buffer;
        Transfer transfer = Transfer::kRunning;
        int32_t failCode = 0;
        bool ready = false;       // a 1047 came since the last 1034
        bool announcing = false;  // a 1034 for it is being sent
        bool readSinceNotice = false;
        size_t readSinceAnnounced = 0;  // bytes read since the last 1034
        bool endRead = false;           // a read has returned the end
        size_t Buffered() const { return buffer.Size(); }
    };

    // 0 when nothing is due, else the message that is.
    static UINT Due(const Stream& stream);

    std::map<LONG_PTR, Stream> streams_;
    LONG_PTR nextHandle_ = 1;
};
