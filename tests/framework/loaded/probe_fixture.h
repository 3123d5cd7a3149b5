// A test fixture that loads the probe component library as a host would
// and runs it inside a scripted host window, under the manual clock.
#pragma once

#include <gtest/gtest.h>
#include <qpm/protocol.h>
#include <qpm/records.h>
#include <qpm_platform.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/loaded/probe/probe_state.h"
#include "support/attribute_list.h"
#include "support/host_extensions.h"
#include "support/scripted_host.h"

using SetInstanceFn = void(WINAPI*)(HINSTANCE);
using GetVersionFn = WORD(WINAPI*)(WORD, WORD);
using CalcSizeFn = int32_t(WINAPI*)(InitRecord*);
using InitFn = HWND(WINAPI*)(HWND, InitRecord*);

// An InitRecord with its attribute arrays, owned by the test.
struct TestRecord {
    AttributeList attributes;
    std::string dataFile;
    InitRecord record{};

    explicit TestRecord(const AttrList& attrs = {}, const char* file = nullptr)
        : attributes(attrs) {
        if (file) dataFile = file;
        record.size = sizeof(InitRecord);
        attributes.Fill(&record);
        record.dataFile = file ? dataFile.data() : nullptr;
        record.width = 200;
        record.height = 40;
        record.backColor = RGB(0, 0, 128);
        record.textColor = RGB(255, 255, 0);
    }
};

// GetProcAddress's answer as the function type it really is. The detour
// through void(*)(void) is how a FARPROC is converted without a warning.
template <class Fn>
Fn Proc(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

class ProbeTest : public ::testing::Test {
protected:
    void SetUp() override { Load(QPM_PROBE_LIBRARY); }

    void Load(const char* path) {
        HoldTime(100000);
        library = LoadLibraryA(path);
        ASSERT_NE(library, nullptr) << path;
        probe = Proc<ProbeGetStateFn>(library, "ProbeGetState")();
        setInstance = Proc<SetInstanceFn>(library, "QPMSetInstance");
        getVersion = Proc<GetVersionFn>(library, "QPMGetVersion");
        calcSize = Proc<CalcSizeFn>(library, "QPMCalcSize");
        init = Proc<InitFn>(library, "QPMInit");
        wndProc = Proc<WNDPROC>(library, "_QPMLibWndProc@16");
        ASSERT_TRUE(setInstance && getVersion && calcSize && init && wndProc);
        setInstance(library);
    }

    // Creates a component window in the host from `r`.
    HWND Create(TestRecord& r) { return init(host.window(), &r.record); }

    // The window's record, locked for the caller; Unlock when done.
    InstanceRecord* Lock(HWND w) {
        HGLOBAL block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(w, 0));
        return block ? static_cast<InstanceRecord*>(GlobalLock(block)) : nullptr;
    }
    void Unlock(HWND w) { GlobalUnlock(reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(w, 0))); }

    std::vector<ProbeEvent> Events() const {
        return std::vector<ProbeEvent>(probe->events, probe->events + probe->eventCount);
    }
    std::vector<int32_t> Slots() const {
        std::vector<int32_t> s;
        for (int32_t i = 0; i < probe->eventCount; ++i) s.push_back(probe->events[i].slot);
        return s;
    }
    void ClearEvents() { probe->eventCount = 0; }

    ScriptedHost host{400, 100};
    HMODULE library = nullptr;
    ProbeState* probe = nullptr;
    SetInstanceFn setInstance = nullptr;
    GetVersionFn getVersion = nullptr;
    CalcSizeFn calcSize = nullptr;
    InitFn init = nullptr;
    WNDPROC wndProc = nullptr;
};
