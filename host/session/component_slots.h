// The life of the page's components, in the calling order a host owes
// them: LoadLibraryA, QPMSetInstance, QPMGetVersion (once per library);
// then per element QPMCalcSize when the page left the size open,
// QPMInit in the host's window, message 1025; 1027 at the end.
#pragma once

#include <string>

struct Host;
struct ComponentSlot;

// One slot per component block of the page, with its creation record.
void CreateSlots(Host& host);
// Finds and loads each slot's library and settles its size. A slot
// that fails is reported and left out; the others go on.
void PrepareSlots(Host& host);
// Creates each prepared slot's window and starts it (1025).
void StartSlots(Host& host);
// Stops every live component (1027) and forgets its streams.
void StopSlots(Host& host);

// For the other ways of running components (session/hosting.h):
// the library of the slot's type (given, known or in DRX.REG), or ""
// with the slot failed; the installer is not offered.
std::string SlotLibraryPath(Host& host, ComponentSlot& slot);
// Reports why the slot cannot run and leaves it out (exit code 3).
void FailSlot(Host& host, ComponentSlot& slot, const std::string& why);
// Refuses (and fails) the slot when its data file may not be read: outside
// the page's folders, or not a regular file. True when it may run.
bool CheckDataFile(Host& host, ComponentSlot& slot);
// "; its data file PATH: why" when a slot that did not start had a data
// file that is missing, unreadable or empty; "" otherwise.
std::string DataFileTrouble(const Host& host, const ComponentSlot& slot);
// The verbose line that says where the slot's component sits.
void LogPlacement(const Host& host, const ComponentSlot& slot);
