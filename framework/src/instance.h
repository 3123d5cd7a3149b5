// Creating a component window's InstanceRecord and its string block.
#pragma once

#include <qpm/records.h>

// Makes the component object and the window's InstanceRecord (window
// long 0). 1 on success; 0 on failure, with nothing left allocated.
int32_t CreateInstance(HWND window, InitRecord* record);

// Fills `out` from a creation record: the copied fields, the alternate
// host mark (taken off the caller's `mode`), the attribute pairs and the
// data file copied into a string block of its own, and an off-screen
// bitmap of the window's client size when asked for (the paint keeps it
// at the client size when the window is resized).
void SetUpInstance(InstanceRecord* out, HWND window, InitRecord* record, bool wantsOffscreen);

// Unlocks and frees the string block, if any, and clears the field.
void ReleaseStringBlock(InstanceRecord* record);

// Window long 0 of a component window: the InstanceRecord's block.
HGLOBAL InstanceBlock(HWND window);
