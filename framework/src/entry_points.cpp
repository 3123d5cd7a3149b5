// The exports every component library offers its host.
#include <qpm/module.h>

#include "instance.h"

#include <cstdio>

namespace {

HINSTANCE moduleInstance = nullptr;

}  // namespace

HINSTANCE ModuleInstance() { return moduleInstance; }

const char* ComponentClassName() {
    static char name[64];
    if (name[0] == '\0') snprintf(name, sizeof name, "WYVQPM_%s", ComponentName);
    return name;
}

int32_t RegisterComponentClass() {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = QPMLibWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = sizeof(LONG_PTR);  // window long 0: the InstanceRecord's block
    wc.hInstance = moduleInstance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = ComponentClassName();
    // A second registration simply fails; the class is there either way.
    RegisterClassA(&wc);
    return 1;
}

extern "C" void WINAPI QPMSetInstance(HINSTANCE instance) {
    if (moduleInstance != nullptr) return;
    moduleInstance = instance;
    RegisterComponentClass();
}

// Both ranges are compared as unsigned 16-bit values; the answer is the
// highest version both sides speak, or 0.
extern "C" WORD WINAPI QPMGetVersion(WORD lowest, WORD highest) {
    if (lowest > kHighestVersion) return 0;
    if (highest < kLowestVersion) return 0;
    return highest < kHighestVersion ? highest : kHighestVersion;
}

extern "C" int32_t WINAPI QPMCalcSize(InitRecord* record) { return CalcComponentSize(record); }

extern "C" HWND WINAPI QPMInit(HWND parent, InitRecord* record) {
    RegisterComponentClass();
    HWND window = CreateWindowExA(
        0, ComponentClassName(), "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
        0, record->width, record->height, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(1)),
        moduleInstance, nullptr);
    if (window == nullptr) return nullptr;
    if (!CreateInstance(window, record)) {
        if (IsWindow(window)) DestroyWindow(window);
        return nullptr;
    }
    ShowWindow(window, SW_SHOW);
    return window;
}
