// A component window of the test component, made through QPMInit in a
// scripted host, with its record locked for the test's direct calls.
#pragma once

#include <gtest/gtest.h>
#include <qpm_platform.h>

#include "framework/linked/plugin_double.h"
#include "framework/linked/units_component.h"
#include "support/host_extensions.h"
#include "support/scripted_host.h"

class UnitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        HoldTime(5000);
        SetPluginBridge(&PluginDoubleBridge());
        QPMSetInstance(nullptr);
        InitRecord init{};
        init.size = sizeof init;
        init.width = 100;
        init.height = 20;
        window = QPMInit(host.window(), &init);
        ASSERT_NE(window, nullptr);
        block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
        record = static_cast<InstanceRecord*>(GlobalLock(block));
        component = UnitsComponent::last;
        ASSERT_NE(component, nullptr);
        component->instance = record;
        host.Pump();
        host.ClearRequests();
    }
    void TearDown() override {
        if (IsWindow(window)) {
            GlobalUnlock(block);
            DestroyWindow(window);
        }
        SetPluginBridge(nullptr);
    }
    // Restores the component's record after a message went through the
    // window procedure (as the framework does before every call).
    void Reattach() { component->instance = record; }

    ScriptedHost host{400, 100};
    HWND window = nullptr;
    HGLOBAL block = nullptr;
    InstanceRecord* record = nullptr;
    UnitsComponent* component = nullptr;
};
