// A plug-in whose every answer the test decides: what each entry point
// and NPP_* callback returns or does, with a record of the calls the
// browser made and the browser's function table, so that a test can
// also call every NPN_* function itself.
#pragma once

#include <qpm/npapi.h>

#include <climits>
#include <string>
#include <vector>

struct PluginScript {
    static constexpr int32_t kTakeAll = INT32_MIN;  // NPP_Write takes the whole chunk

    NPError getEntryPoints = NPERR_NO_ERROR;
    NPError initialize = NPERR_NO_ERROR;
    bool leaveOutWrite = false;  // no NPP_Write in the plug-in's table
    NPError newInstance = NPERR_NO_ERROR;
    std::string urlFromNew;  // asked for with NPN_GetURL inside NPP_New when set
    NPError setWindow = NPERR_NO_ERROR;
    NPError newStream = NPERR_NO_ERROR;
    // Answers in turn, the last one repeated (none: 1 MiB, kTakeAll).
    std::vector<int32_t> writeReady, write;
    bool destroyInWrite = false;  // NPN_DestroyStream(user break) inside NPP_Write
    int32_t savedBytes = 0;       // NPP_Destroy hands back saved data this long

    NPNetscapeFuncs* browser = nullptr;
    std::vector<NPP> instances;      // in NPP_New order
    std::vector<NPStream*> streams;  // in NPP_NewStream order
    // "New 2", "SetWindow 400x50", "NewStream data.txt", "WriteReady",
    // "Write 0 10", "DestroyStream 0", "Destroy", "Shutdown", ...
    std::vector<std::string> calls;
};

// A fresh script, with no calls recorded.
extern "C" PluginScript* ScriptedPlugin();
