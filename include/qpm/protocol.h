// The host protocol: messages a host sends to a component window, the
// requests a component sends to its host, and the records they point to.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The interface versions this protocol has: a host and a component
// library agree on the highest both speak (QPMGetVersion).
constexpr WORD kLowestVersion = 257;
constexpr WORD kHighestVersion = 258;

// Host to component (wParam / lParam as noted).
constexpr UINT QPMM_START = 1025;  // lParam: the creation record (not read)
constexpr UINT QPMM_RESET = 1026;
constexpr UINT QPMM_STOP = 1027;
constexpr UINT QPMM_CONFIRM = 1028;
constexpr UINT QPMM_IDLE = 1029;
constexpr UINT QPMM_PRINT = 1030;          // lParam: PrintRecord*
constexpr UINT QPMM_STREAMREADY = 1034;    // lParam: stream key
constexpr UINT QPMM_STREAMEND = 1035;      // lParam: stream key
constexpr UINT QPMM_NOTIFY = 1036;         // wParam: value
constexpr UINT QPMM_STREAMNOTICE = 1037;   // lParam: StreamNoticeRecord* or null
constexpr UINT QPMM_STREAMNOTICE2 = 1038;  // lParam: StreamNotice2Record* or null
constexpr UINT QPMM_STREAMRESUME = 1039;   // lParam: stream key
constexpr UINT QPMM_STREAMFAILED = 1040;   // wParam: code, lParam: stream key
constexpr UINT QPMM_STREAMDATA = 1114;     // lParam: StreamDataRecord* (plug-in adapter)
constexpr UINT QPMM_DELIVERSTREAM = 1115;  // lParam: the NPStream (plug-in adapter)

// Component to host, sent to the parent of the component window.
constexpr UINT QPMR_OPENSTREAM = 1044;   // wParam: flags, lParam: UrlRequest*
constexpr UINT QPMR_CLOSESTREAM = 1045;  // lParam: stream handle
constexpr UINT QPMR_READSTREAM = 1046;   // lParam: ReadRequest*
constexpr UINT QPMR_STREAMREADY = 1047;  // posted; lParam: stream handle
constexpr UINT QPMR_HOSTINFO = 1054;     // wParam: item (16 bits), lParam: 512-byte buffer
constexpr UINT QPMR_SUPPORTS = 1055;     // wParam: a request number
constexpr UINT QPMR_CONFIRMED = 1056;    // lParam: the component's type name, or 0
constexpr UINT QPMR_RESIZE = 1069;       // lParam: SizeRequest*

// A creation record's `mode` at or above this value says the record came
// from an alternate host; the framework takes the mark off.
constexpr int32_t kAltHostMark = 1234;

// The id of a component window's idle timer: WM_TIMER with it idles the
// component as message 1029 does (in plug-in mode, where no host sends 1029).
constexpr UINT_PTR kIdleTimerId = 1234;

// The ranges an installer relays: down to its child, up to its host.
constexpr UINT kFirstHostMessage = 1025;
constexpr UINT kLastHostMessage = 1043;
constexpr UINT kFirstRequest = 1044;
constexpr UINT kLastRequest = 1113;

// Stream keys: the host's handle (0 or more) or, under the plug-in
// adapter, the NPStream's address.
constexpr LONG_PTR kNoStream = -1;     // no handle; an open-stream refusal
constexpr LONG_PTR kStreamLater = -2;  // open accepted; delivered later by 1115

// Host information items (request 1054).
constexpr int kInfoRegistryPath = 1;
constexpr int kInfoContext = 2;
constexpr int kInfoUserFirstName = 5;
constexpr int kInfoUserName = 6;
constexpr int kInfoUserAddress = 7;
constexpr int kInfoUserAgent = 8;
constexpr int kHostInfoSize = 512;

struct UrlRequest {
    const char* url;
    const char* context;  // host information item 2, passed back; may be null or empty
    const char* data;     // query (GET) or body (POST); may be null or empty
    int32_t method;       // 1 = POST, anything else = GET
    int32_t dataLength;   // POST body length; 0 = the string length
};
constexpr int32_t kMethodPost = 1;

struct ReadRequest {
    LONG_PTR handle;
    char* buffer;
    int32_t size;
};

struct SizeRequest {
    int32_t width;
    int32_t height;
};

// Message 1037: key, value, a 16-bit length, then the bytes.
struct StreamNoticeRecord {
    LONG_PTR key;
    int32_t value;
    uint16_t length;
    char bytes[1];
};

// Message 1038: key, value, then a NUL-terminated string.
struct StreamNotice2Record {
    LONG_PTR key;
    int32_t value;
    char bytes[1];
};

// Message 1114: a chunk pushed by the plug-in adapter.
struct StreamDataRecord {
    LONG_PTR key;
    const char* data;
    int32_t length;
    int32_t offset;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(UrlRequest) == 20, "UrlRequest is five 32-bit fields");
static_assert(offsetof(UrlRequest, context) == 4, "UrlRequest layout");
static_assert(offsetof(UrlRequest, data) == 8, "UrlRequest layout");
static_assert(offsetof(UrlRequest, method) == 12, "UrlRequest layout");
static_assert(offsetof(UrlRequest, dataLength) == 16, "UrlRequest layout");
static_assert(sizeof(ReadRequest) == 12, "ReadRequest is three 32-bit fields");
static_assert(offsetof(ReadRequest, buffer) == 4, "ReadRequest layout");
static_assert(offsetof(ReadRequest, size) == 8, "ReadRequest layout");
static_assert(sizeof(SizeRequest) == 8, "SizeRequest is two 32-bit fields");
static_assert(offsetof(StreamNoticeRecord, value) == 4, "notice record layout");
static_assert(offsetof(StreamNoticeRecord, length) == 8, "notice record layout");
static_assert(offsetof(StreamNoticeRecord, bytes) == 10, "notice record layout");
static_assert(offsetof(StreamNotice2Record, value) == 4, "second notice record layout");
static_assert(offsetof(StreamNotice2Record, bytes) == 8, "second notice record layout");
static_assert(sizeof(StreamDataRecord) == 16, "stream data record layout");
static_assert(offsetof(StreamDataRecord, data) == 4, "stream data record layout");
static_assert(offsetof(StreamDataRecord, length) == 8, "stream data record layout");
static_assert(offsetof(StreamDataRecord, offset) == 12, "stream data record layout");
#endif
