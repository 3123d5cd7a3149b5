// The plug-in side of a library under the recording test browser: the
// probe component (whose own requests the tests steer) or the ticker.
#pragma once

#include <gtest/gtest.h>
#include <qpm/protocol.h>
#include <qpm/records.h>

#include <cstring>
#include <string>
#include <vector>

#include "adapters/test_browser.h"
#include "framework/loaded/probe/probe_state.h"
#include "support/host_extensions.h"

class PluginTest : public ::testing::Test {
protected:
    explicit PluginTest(const char* library = QPM_PROBE_LIBRARY) : browser(library) {}
    void SetUp() override {
        HoldTime(100000);
        ASSERT_TRUE(browser.Start());
        if (auto state = Proc<ProbeGetStateFn>("ProbeGetState")) probe = state();
    }

    // An export of the library, as the function type it has.
    template <class Fn>
    Fn Proc(const char* name) {
        return reinterpret_cast<Fn>(
            reinterpret_cast<void (*)(void)>(GetProcAddress(browser.library, name)));
    }

    // A probe instance with a window, whose Start asks for `url` with
    // `data` (null for none) by `method`.
    NPError Requesting(TestInstance& instance, const std::string& url, const char* data,
                       int32_t method = 0, int32_t dataLength = 0) {
        snprintf(probe->requestUrl, sizeof probe->requestUrl, "%s", url.c_str());
        snprintf(probe->requestData, sizeof probe->requestData, "%s", data ? data : "");
        probe->requestDataNull = data == nullptr;
        probe->requestMethod = method;
        probe->requestDataLength = dataLength;
        probe->openResult = -1;
        EXPECT_EQ(browser.New(instance, {}), NPERR_NO_ERROR);
        return browser.SetWindow(instance, 200, 20);
    }

    // The component window's attribute `name` ("<none>" when missing) and
    // count, read from its InstanceRecord.
    std::string Attribute(HWND window, const char* name, int32_t* count = nullptr) {
        HGLOBAL block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
        auto* record = block ? static_cast<InstanceRecord*>(GlobalLock(block)) : nullptr;
        if (record == nullptr) return "<no record>";
        std::string value = "<none>";
        for (int32_t i = 0; i < record->attrCount; ++i)
            if (strcmp(record->attrNames[i], name) == 0) value = record->attrValues[i];
        if (count) *count = record->attrCount;
        GlobalUnlock(block);
        return value;
    }

    TestBrowser browser;
    ProbeState* probe = nullptr;
};
