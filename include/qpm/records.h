// The records a host and a component library exchange, and the record
// the framework keeps per component window.
//
// The layouts are those of the 32-bit system: twelve 32-bit fields for
// InitRecord, and so on. On 64-bit builds, fields that hold an address
// or a handle are pointer-sized and integers stay 32-bit; the exact
// 32-bit offsets are checked at compile time when building for 32-bit.
#pragma once

#include <qpm/protocol.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>

// Which framework variant: 1 with the plug-in fields (pellux), 0 without
// (varnoq). The two records differ in layout, so every user must say.
#ifndef QPM_WITH_PLUGIN
#error "QPM_WITH_PLUGIN must be defined to 0 or 1"
#endif

class Component;

// The creation record a host passes to QPMInit and QPMCalcSize.
struct InitRecord {
    int32_t size;        // 48 on 32-bit: the byte size of the record
    char* typeName;      // the type being created, or null (not read by the framework)
    int32_t attrCount;   // number of attribute pairs
    char** attrNames;    // attribute names
    char** attrValues;   // attribute values, same index as the names
    char* dataFile;      // path of a local data file, or null
    int32_t mode;        // host-defined; kAltHostMark and above marks an alternate host
    int32_t width;       // window width in pixels
    int32_t height;      // window height in pixels
    COLORREF backColor;  // background colour
    COLORREF textColor;  // text colour
    int32_t fixedSize;   // non-zero: the host fixed the size; never ask for another
};

// The fixed-layout creation record of the alternate host entry points.
struct AltInitRecord {
    char type[512];      // attribute "TYPE"; empty = absent
    char subtype[512];   // attribute "SUBTYPE", which also packs further attributes
    char dataFile[512];  // data file path and attribute "DATAFILE"; empty = absent
    int32_t mode;        // as InitRecord::mode, without the mark
    int32_t width;
    int32_t height;
    COLORREF backColor;
    COLORREF textColor;
};

// What message 1030 points to: where and on what to print.
struct PrintRecord {
    int32_t reserved1;
    HDC hdc;          // device context to print on
    int32_t originX;  // window origin to set while the component paints
    int32_t reserved4;
    int32_t originY;
    int32_t reserved6;
};

// One per component window, in a movable global block whose handle is
// window long 0. It begins with a complete InitRecord, so its first
// bytes can serve as another component's creation record.
struct InstanceRecord : InitRecord {
    char* stringBlock;        // locked address of the attribute string block, or null
    int32_t altHost;          // 1 when the creation record carried the alternate-host mark
    HWND window;              // the component window, rewritten at every message
    HBITMAP offscreenBitmap;  // bitmap for off-screen painting, or null
    int32_t pluginMode;       // non-zero under the Netscape plug-in adapter
#if QPM_WITH_PLUGIN
    void* pluginInstance;  // the plug-in instance (NPP) whose first field is this window
    void* closingStream;   // the NPStream being destroyed at the moment, or null
#endif
    int32_t printing;         // 1 while message 1030 is handled
    PrintRecord printRecord;  // copy of the current print's record
    Component* component;     // the component object; null once deleted
};

// The 32-bit layouts, checked where they are real.
#if defined(_WIN32) && !defined(_WIN64)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(sizeof(InitRecord) == 48, "InitRecord is twelve 32-bit fields");
static_assert(offsetof(InitRecord, typeName) == 4, "InitRecord layout");
static_assert(offsetof(InitRecord, attrCount) == 8, "InitRecord layout");
static_assert(offsetof(InitRecord, attrNames) == 12, "InitRecord layout");
static_assert(offsetof(InitRecord, attrValues) == 16, "InitRecord layout");
static_assert(offsetof(InitRecord, dataFile) == 20, "InitRecord layout");
static_assert(offsetof(InitRecord, mode) == 24, "InitRecord layout");
static_assert(offsetof(InitRecord, width) == 28, "InitRecord layout");
static_assert(offsetof(InitRecord, height) == 32, "InitRecord layout");
static_assert(offsetof(InitRecord, backColor) == 36, "InitRecord layout");
static_assert(offsetof(InitRecord, textColor) == 40, "InitRecord layout");
static_assert(offsetof(InitRecord, fixedSize) == 44, "InitRecord layout");
static_assert(sizeof(PrintRecord) == 24, "PrintRecord is six 32-bit fields");
static_assert(offsetof(PrintRecord, hdc) == 4, "PrintRecord layout");
static_assert(offsetof(PrintRecord, originX) == 8, "PrintRecord layout");
static_assert(offsetof(PrintRecord, originY) == 16, "PrintRecord layout");
static_assert(sizeof(AltInitRecord) == 1556, "AltInitRecord: the 1556 bytes the framework uses");
static_assert(offsetof(AltInitRecord, type) == 0, "AltInitRecord layout");
static_assert(offsetof(AltInitRecord, subtype) == 512, "AltInitRecord layout");
static_assert(offsetof(AltInitRecord, dataFile) == 1024, "AltInitRecord layout");
static_assert(offsetof(AltInitRecord, mode) == 1536, "AltInitRecord layout");
static_assert(offsetof(AltInitRecord, width) == 1540, "AltInitRecord layout");
static_assert(offsetof(AltInitRecord, height) == 1544, "AltInitRecord layout");
static_assert(offsetof(AltInitRecord, backColor) == 1548, "AltInitRecord layout");
static_assert(offsetof(AltInitRecord, textColor) == 1552, "AltInitRecord layout");
static_assert(offsetof(InstanceRecord, stringBlock) == 48, "InstanceRecord layout");
static_assert(offsetof(InstanceRecord, altHost) == 52, "InstanceRecord layout");
static_assert(offsetof(InstanceRecord, window) == 56, "InstanceRecord layout");
static_assert(offsetof(InstanceRecord, offscreenBitmap) == 60, "InstanceRecord layout");
static_assert(offsetof(InstanceRecord, pluginMode) == 64, "InstanceRecord layout");
#if QPM_WITH_PLUGIN
static_assert(offsetof(InstanceRecord, pluginInstance) == 68, "InstanceRecord layout");
static_assert(offsetof(InstanceRecord, closingStream) == 72, "InstanceRecord layout");
static_assert(offsetof(InstanceRecord, printing) == 76, "InstanceRecord layout");
static_assert(offsetof(InstanceRecord, printRecord) == 80, "InstanceRecord layout");
static_assert(offsetof(InstanceRecord, component) == 104, "InstanceRecord layout");
static_assert(sizeof(InstanceRecord) == 108, "InstanceRecord layout");
#else
static_assert(offsetof(InstanceRecord, printing) == 68, "InstanceRecord layout");
static_assert(offsetof(InstanceRecord, printRecord) == 72, "InstanceRecord layout");
static_assert(offsetof(InstanceRecord, component) == 96, "InstanceRecord layout");
static_assert(sizeof(InstanceRecord) == 100, "InstanceRecord layout");
#endif
#pragma GCC diagnostic pop
#endif
