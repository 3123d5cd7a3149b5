// What the installer tests' module records, read by the tests through its
// export "TestModuleGetState". The module takes its orders from the
// attributes it is created with (the installer passes its own on):
//   START=n      answer n to 1025 (default 1)
//   FAILCREATE   make no component, so QPMInit fails
//   CONFIRM=start  send 1056 while answering 1025
//   CONFIRM=notify send 1056 on message 1036
//   ASKHOST      ask the host for information item 2 in 1025 and 1029
#pragma once

#include <windows.h>

struct TestModuleState {
    int idles;           // 1029s received
    int prints;          // 1030s
    char hostInfo[512];  // the answer to ASKHOST
};

typedef TestModuleState* (*TestModuleStateFn)(void);
