// The plug-in callbacks the adapter hands the browser in its function
// table (NP_GetEntryPoints), with the caller-pops convention of the
// published API.
#pragma once

#include <qpm/npapi.h>

// Instances: prepare the waiting record, stop the component.
NPError NP_LOADDS NPP_New(NPMIMEType type, NPP instance, uint16_t mode, int16_t argc, char* argn[],
                          char* argv[], NPSavedData* saved);
NPError NP_LOADDS NPP_Destroy(NPP instance, NPSavedData** saved);

// The component window: made on the first call, resized on later ones.
NPError NP_LOADDS NPP_SetWindow(NPP instance, NPWindow* window);

// Streams: delivered, written and ended as the component's data streams.
NPError NP_LOADDS NPP_NewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool seekable,
                                uint16_t* streamType);
int32_t NP_LOADDS NPP_WriteReady(NPP instance, NPStream* stream);
int32_t NP_LOADDS NPP_Write(NPP instance, NPStream* stream, int32_t offset, int32_t length,
                            void* buffer);
NPError NP_LOADDS NPP_DestroyStream(NPP instance, NPStream* stream, NPReason reason);
void NP_LOADDS NPP_StreamAsFile(NPP instance, NPStream* stream, const char* fileName);
void NP_LOADDS NPP_Print(NPP instance, NPPrint* printInfo);
