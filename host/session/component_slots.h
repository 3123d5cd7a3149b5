// The life of the page's components, in the calling order a host owes
// them: LoadLibraryA, QPMSetInstance, QPMGetVersion (once per library);
// then per element QPMCalcSize when the page left the size open,
// QPMInit in the host's window, message 1025; 1027 at the end.
#pragma once

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
