// The installer library's hooks into the framework.
#include <qpm/module.h>

#include <new>

#include "qpm_installer.h"

const char ComponentName[] = "QPMInstaller";

// A new installer, or null when memory is short.
Component* CreateInstaller(InitRecord*) { return new (std::nothrow) QPMInstaller; }

// The installer's window: 400 by 80.
int32_t CalcInstallerSize(InitRecord* record) {
    record->width = 400;
    record->height = 80;
    return 1;
}

Component* CreateComponent(InitRecord* record) { return CreateInstaller(record); }
int32_t CalcComponentSize(InitRecord* record) { return CalcInstallerSize(record); }
