// The plug-in adapter's module globals and the helpers its callbacks
// share.
#pragma once

#include <qpm/npapi.h>
#include <qpm/records.h>

#include <cstddef>

// The browser's function table, stored by NP_Initialize; null when there
// is no browser (before NP_Initialize, after NP_Shutdown).
extern NPNetscapeFuncs* browserFuncs;

// The record NPP_New prepared for an instance that has no component
// window yet, or null. Only one waits at a time: a later NPP_New
// replaces it (and frees it).
extern InstanceRecord* waitingRecord;

// Frees the waiting record, if any, with its string block.
void ReleaseWaitingRecord();

// Whether the browser's table reaches the entry at `offset` (a table
// shorter than the published one has no entries past its size).
bool BrowserHasEntry(size_t offset);
#define BROWSER_FUNCTION(entry)                                                          \
    (BrowserHasEntry(offsetof(NPNetscapeFuncs, entry)) && browserFuncs->entry != nullptr \
         ? browserFuncs->entry                                                           \
         : nullptr)

// The instance's component window while it exists, else null.
HWND LiveWindow(NPP instance);

// The InstanceRecord of a component window, locked; null when it has
// none. UnlockRecord when done.
InstanceRecord* LockRecord(HWND window);
void UnlockRecord(HWND window);
