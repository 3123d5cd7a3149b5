// What the probe component records and how a test steers it. Shared by
// the probe library and the tests that load it with LoadLibraryA.
#pragma once

#include <windows.h>

#include <cstdint>

// Slot numbers of the component operations, as the probe logs them.
enum ProbeSlot {
    kSlotDestructor = 0,
    kSlotStart = 1,
    kSlotReset = 2,
    kSlotStop = 3,
    kSlotConfirm = 4,
    kSlotOnDestroy = 5,
    kSlotOnTimer = 6,
    kSlotStreamDataAvailable = 7,
    kSlotStreamData = 8,
    kSlotStreamEnd = 9,
    kSlotStreamResume = 10,
    kSlotDeliverStream = 11,
    kSlotStreamFailed = 12,
    kSlotCreateStream = 13,
    kSlotNotify = 14,
    kSlotIdle = 15,
    kSlotStreamNotice = 16,
    kSlotStreamNotice2 = 17,
    kSlotOnSize = 18,
    kSlotPaint = 19,
    kSlotPrint = 20,
    kSlotHandleMessage = 21,
    kSlotRequestFailed = 100,  // OnFailed of the stream Start opened (a = code)
};

struct ProbeEvent {
    int32_t slot;
    LONG_PTR a, b, c, d;  // the operation's arguments, in order
    bool operator==(const ProbeEvent& o) const {
        return slot == o.slot && a == o.a && b == o.b && c == o.c && d == o.d;
    }
};

struct ProbeState {
    // Steering.
    int32_t failCreate;      // CreateComponent returns null
    int32_t wantsOffscreen;  // the component asks for off-screen painting
    int32_t startResult;     // Start's answer (default 1)
    int32_t confirmResult;   // Confirm's answer (default 1)
    int32_t printResult;     // Print's answer (default 0)
    int32_t deliverResult;   // not used: DeliverStream keeps the base behaviour
    int32_t calcResult;      // CalcComponentSize's answer (default 1)
    int32_t calcWidth, calcHeight;
    COLORREF paintColor;    // Paint fills (2,2)-(12,12) with this colour
    LONG_PTR streamHandle;  // Start attaches a stream to this handle when not -1
    int32_t streamCount;    // how many streams Start makes (each attached to streamHandle + i)

    // Observations.
    int32_t created;    // components made
    int32_t destroyed;  // components deleted
    int32_t eventCount;
    ProbeEvent events[512];
    // At the last Paint: the record's printing flag, the DC's window
    // origin and colours, and the instance's size at the last OnSize.
    int32_t paintPrinting;
    POINT paintOrigin;
    COLORREF paintTextColor, paintBkColor;
    int32_t sizeWidthAtOnSize, sizeHeightAtOnSize;

    // A request of its own (the plug-in variant under a test browser):
    // when requestUrl is not empty, Start opens one stream with it.
    char requestUrl[640];
    char requestData[64];
    int32_t requestDataNull;  // the request's data is null, not requestData
    int32_t requestMethod;
    int32_t requestDataLength;
    int32_t openResult;  // what that Open answered
    int32_t closeOnEnd;  // StreamEnd closes the stream it names first
};

typedef ProbeState* (*ProbeGetStateFn)(void);
