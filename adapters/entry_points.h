// pellux's exports beyond the framework's: the Netscape plug-in entry
// points and the alternate host's. Like the framework's, they are
// stdcall functions on 32-bit Windows, exported by their plain names.
#pragma once

#include <qpm/module.h>
#include <qpm/npapi.h>
#include <qpm/records.h>

extern "C" {
// Fills the plug-in's table with the callbacks; the browser's table
// must reach at least `event` (kPluginFuncsMinSize bytes).
QPM_EXPORT NPError WINAPI NP_GetEntryPoints(NPPluginFuncs* table);
// Keeps the browser's table (also when a check fails); its major
// version must be 0 and it must reach `reloadplugins`.
QPM_EXPORT NPError WINAPI NP_Initialize(NPNetscapeFuncs* table);
// Forgets the browser's table.
QPM_EXPORT NPError WINAPI NP_Shutdown(void);

// The alternate host's entry points: the framework's, given an
// AltInitRecord, whose attributes the component reads in the packed form.
QPM_EXPORT HWND WINAPI DRXInit(HWND parent, AltInitRecord* record);
QPM_EXPORT WORD WINAPI DRXGetVersion(WORD lowest, WORD highest);
QPM_EXPORT int32_t WINAPI DRXCalcSize(AltInitRecord* record);
}
