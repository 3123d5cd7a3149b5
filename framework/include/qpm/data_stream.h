// DataStream: the base class of every stream through which a component
// receives the content of a URL.
//
// The component asks its host to open a URL; the host answers with a
// handle and announces data, the end or a failure with window messages;
// the stream pulls the data with read requests in 1024-byte chunks and
// hands each to OnData. Under the plug-in adapter the same objects are
// fed by the browser's pushes instead. Streams live in their component's
// doubly linked list, newest first; the component owns and deletes them.
#pragma once

#include <qpm/protocol.h>
#include <qpm/records.h>

#include <windows.h>

#include <cstdint>

class Component;

class DataStream {
public:
    explicit DataStream(Component* owner);
    virtual ~DataStream();                                                    // 0
    virtual void OnIdle();                                                    // 1
    virtual void OnDataAvailable();                                           // 2: the pull loop
    virtual void OnData(const char* buffer, int32_t length, int32_t offset);  // 3
    virtual void OnEnd();                                                     // 4
    virtual void Resume();                                                    // 5
    virtual void OnFailed(int32_t code);                                      // 6
    virtual void OnNotice(int32_t value, int32_t length, const char* bytes);  // 7
    virtual void OnNotice2(int32_t value, const char* bytes);                 // 8

    // Asks the host to open the request's URL; the flags go as wParam. An
    // answer of kStreamLater is success: the stream waits for its delivery.
    bool Open(UrlRequest* request, WPARAM flags);
    // Waits for the stream that will be delivered for `url` (message 1115,
    // after an open answered kStreamLater): DeliverStream hands that
    // stream to this one. False when the URL cannot be kept.
    bool AwaitDelivery(const char* url);
    // Takes a host handle and starts receiving; false for kNoStream.
    bool Attach(LONG_PTR newHandle);
    // Ends the stream towards the host and drops the handle.
    void Close();
    // Pulls up to `size` bytes: > 0 read, 0 nothing now, < 0 end or failure.
    int32_t Read(char* buffer, int32_t size);

    static constexpr int32_t kChunkSize = 1024;
    static constexpr DWORD kPendingTimeout = 60000;  // ms a plug-in-mode request may wait

    Component* owner;
    LONG_PTR handle;       // the host's handle (or the NPStream); kNoStream = none
    DataStream* next;      // older stream
    DataStream* prev;      // newer stream; null for the head
    bool attached;         // attached to a host stream and may read
    bool dataWaiting;      // the host announced data; cleared by Read
    bool autoRead;         // read everything when data is announced
    bool finished;         // the subclass is done; the idle sweep deletes the stream
    int32_t status;        // code of the last failure
    int32_t offset;        // bytes handed to OnData by the pull loop so far
    char* pendingUrl;      // plug-in mode: the URL asked for, until its stream arrives
    uint32_t requestTime;  // GetTickCount when pendingUrl was recorded

    // Calls into this stream that have not returned yet. A host may send
    // messages back while the stream waits for a request; the idle sweep
    // never deletes a stream that is in the middle of a call.
    int32_t callDepth;

protected:
    InstanceRecord* Instance() const;
    bool InPluginMode() const;

private:
    void ReleasePendingUrl();
    bool AwaitRequested(const UrlRequest* request);
    DataStream(const DataStream&) = delete;
    DataStream& operator=(const DataStream&) = delete;
};
