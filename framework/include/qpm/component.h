// Component: the base class of every component object.
//
// The framework owns one component per component window and reaches it
// only through these virtual operations, in this slot order, which the
// window procedure calls for the host's messages. Most defaults do
// nothing; the stream operations forward to the component's data
// streams, found by their handle.
#pragma once

#include <qpm/records.h>

#include <windows.h>

#include <cstdint>

class DataStream;

class Component {
public:
    Component();
    virtual ~Component();                            // 0: closes and deletes every stream
    virtual int32_t Start();                         // 1: message 1025
    virtual void Reset();                            // 2: message 1026
    virtual void Stop();                             // 3: message 1027
    virtual int32_t Confirm();                       // 4: message 1028
    virtual void OnDestroy();                        // 5: WM_DESTROY
    virtual void OnTimer(UINT_PTR id);               // 6: WM_TIMER, id != kIdleTimerId
    virtual void StreamDataAvailable(LONG_PTR key);  // 7: message 1034
    virtual void StreamData(LONG_PTR key, const char* data, int32_t length,
                            int32_t offset);                       // 8: 1114
    virtual void StreamEnd(LONG_PTR key);                          // 9: message 1035
    virtual void StreamResume(LONG_PTR key);                       // 10: message 1039
    virtual int32_t DeliverStream(LONG_PTR key, const char* url);  // 11: message 1115
    virtual void StreamFailed(LONG_PTR key, int32_t code);         // 12: message 1040
    virtual DataStream* CreateStream(const char* url);             // 13
    virtual void Notify(WPARAM value);                             // 14: message 1036
    virtual void Idle();                                           // 15: 1029, timer kIdleTimerId
    virtual void StreamNotice(LONG_PTR key, int32_t value, int32_t length,
                              const char* bytes);                                // 16
    virtual void StreamNotice2(LONG_PTR key, int32_t value, const char* bytes);  // 17
    virtual void OnSize(int32_t width, int32_t height);                          // 18: WM_SIZE
    virtual void Paint(HDC dc);                                                  // 19
    virtual int32_t Print(PrintRecord* record);                                  // 20: message 1030
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);   // 21

    // The first stream whose handle is `key`, or null.
    DataStream* FindStream(LONG_PTR key) const;

    // True once the host has stopped this component (1027) or destroyed
    // its window while a call into it was still running: the framework
    // carries that out when the call returns. A component coming back
    // from a modal wait (a message box lets messages through) checks it
    // before it goes on, and then only returns.
    bool StopPending() const;

    DataStream* streams;       // newest first; the component owns them
    InstanceRecord* instance;  // valid only during a call from the framework
    bool wantsOffscreen;       // set by a derived constructor: paint through a bitmap

protected:
    // Closes and deletes every stream, from the head; the list is empty after.
    void CloseAndDeleteStreams();

private:
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;
};

// Paints the component now, outside WM_PAINT, on its window's own DC: a
// change shows at once instead of at the next paint.
void RepaintNow(InstanceRecord* record);
