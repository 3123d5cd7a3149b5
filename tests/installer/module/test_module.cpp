// A small component library for the installer's tests: the installer
// downloads it, installs it and runs it. One source, built with three
// export lists (all entry points, without "QPMSetInstance", without
// "QPMCalcSize").
#include <qpm/attributes.h>
#include <qpm/component.h>
#include <qpm/host_requests.h>
#include <qpm/module.h>

#include <cstring>
#include <new>

#include "installer/module/test_module_state.h"

namespace {

TestModuleState state;

bool Has(const InstanceRecord* record, const char* name) {
    char value[2];
    return GetAttribute(record, name, value, sizeof value) != 0;
}

class TestModule : public Component {
public:
    int32_t Start() override {
        if (Has(instance, "ASKHOST")) GetHostInfo(instance, kInfoContext, state.hostInfo);
        if (Is("CONFIRM", "start")) SendConfirmed();
        int32_t reply = 1;
        GetIntAttribute(instance, "START", &reply);
        return reply;
    }
    void Idle() override {
        ++state.idles;
        if (Has(instance, "ASKHOST")) GetHostInfo(instance, kInfoContext, state.hostInfo);
    }
    int32_t Print(PrintRecord*) override { return ++state.prints, 1; }
    void Notify(WPARAM) override {
        if (Is("CONFIRM", "notify")) SendConfirmed();
    }

private:
    bool Is(const char* name, const char* wanted) {
        char value[16] = "";
        return GetAttribute(instance, name, value, sizeof value) && strcmp(value, wanted) == 0;
    }
    void SendConfirmed() {
        SendMessageA(GetParent(instance->window), QPMR_CONFIRMED, 0,
                     reinterpret_cast<LPARAM>(instance->typeName));
    }
};

}  // namespace

extern "C" QPM_EXPORT TestModuleState* TestModuleGetState() { return &state; }

const char ComponentName[] = "TestModule";

Component* CreateComponent(InitRecord* record) {
    InstanceRecord view;
    ViewInitRecord(&view, record);
    if (Has(&view, "FAILCREATE")) return nullptr;
    return new (std::nothrow) TestModule;
}

int32_t CalcComponentSize(InitRecord* record) {
    record->width = 120;
    record->height = 30;
    return 1;
}
