// The Netscape plug-in API: the types, tables and codes that pass
// between a browser and a plug-in, as the published API declares them.
// Shared by pellux's plug-in adapter and by hosts that play the browser.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

typedef int16_t NPError;
typedef uint8_t NPBool;
typedef int16_t NPReason;
typedef char* NPMIMEType;

#define NPERR_NO_ERROR 0
#define NPERR_GENERIC_ERROR 1
#define NPERR_INVALID_INSTANCE_ERROR 2
#define NPERR_INVALID_FUNCTABLE_ERROR 3
#define NPERR_MODULE_LOAD_FAILED_ERROR 4
#define NPERR_OUT_OF_MEMORY_ERROR 5
#define NPERR_INVALID_PLUGIN_ERROR 6
#define NPERR_INVALID_PLUGIN_DIR_ERROR 7
#define NPERR_INCOMPATIBLE_VERSION_ERROR 8
#define NPERR_INVALID_PARAM 9
#define NPERR_INVALID_URL 10
#define NPERR_FILE_NOT_FOUND 11
#define NPERR_NO_DATA 12
#define NPERR_STREAM_NOT_SEEKABLE 13

#define NPRES_DONE 0
#define NPRES_NETWORK_ERR 1
#define NPRES_USER_BREAK 2

#define NP_EMBED 1
#define NP_FULL 2

#define NP_NORMAL 1
#define NP_SEEK 2
#define NP_ASFILE 3
#define NP_ASFILEONLY 4

// Callbacks use the caller-pops convention of the published API.
#if defined(_WIN32) && !defined(_WIN64)
#define NP_LOADDS __cdecl
#else
#define NP_LOADDS
#endif

typedef struct _NPP {
    void* pdata;  // the plug-in's: here, the component window
    void* ndata;  // the browser's
} NPP_t;
typedef NPP_t* NPP;

typedef struct _NPStream {
    void* pdata;
    void* ndata;
    const char* url;
    uint32_t end;
    uint32_t lastmodified;
    void* notifyData;
} NPStream;

typedef struct _NPWindow {
    void* window;  // HWND of the browser's window for the instance
    int32_t x;
    int32_t y;
    uint32_t width;
    uint32_t height;
    struct {
        uint16_t top, left, bottom, right;
    } clipRect;
    int32_t type;  // NPWindowTypeWindow: `window` is a window handle
} NPWindow;
#define NPWindowTypeWindow 1

typedef struct _NPSavedData {
    int32_t len;
    void* buf;
} NPSavedData;

typedef struct _NPPrint {
    uint16_t mode;
    union {
        struct {
            NPBool pluginPrinted;
            NPBool printOne;
            void* platformPrint;
        } fullPrint;
        struct {
            NPWindow window;
            void* platformPrint;
        } embedPrint;
    } print;
} NPPrint;

typedef struct _NPByteRange NPByteRange;

typedef NPError(NP_LOADDS* NPP_NewProcPtr)(NPMIMEType, NPP, uint16_t, int16_t, char**, char**,
                                           NPSavedData*);
typedef NPError(NP_LOADDS* NPP_DestroyProcPtr)(NPP, NPSavedData**);
typedef NPError(NP_LOADDS* NPP_SetWindowProcPtr)(NPP, NPWindow*);
typedef NPError(NP_LOADDS* NPP_NewStreamProcPtr)(NPP, NPMIMEType, NPStream*, NPBool, uint16_t*);
typedef NPError(NP_LOADDS* NPP_DestroyStreamProcPtr)(NPP, NPStream*, NPReason);
typedef void(NP_LOADDS* NPP_StreamAsFileProcPtr)(NPP, NPStream*, const char*);
typedef int32_t(NP_LOADDS* NPP_WriteReadyProcPtr)(NPP, NPStream*);
typedef int32_t(NP_LOADDS* NPP_WriteProcPtr)(NPP, NPStream*, int32_t, int32_t, void*);
typedef void(NP_LOADDS* NPP_PrintProcPtr)(NPP, NPPrint*);
typedef int16_t(NP_LOADDS* NPP_HandleEventProcPtr)(NPP, void*);
typedef void(NP_LOADDS* NPP_URLNotifyProcPtr)(NPP, const char*, NPReason, void*);
typedef NPError(NP_LOADDS* NPP_GetValueProcPtr)(NPP, int, void*);
typedef NPError(NP_LOADDS* NPP_SetValueProcPtr)(NPP, int, void*);

typedef struct _NPPluginFuncs {
    uint16_t size;
    uint16_t version;
    NPP_NewProcPtr newp;
    NPP_DestroyProcPtr destroy;
    NPP_SetWindowProcPtr setwindow;
    NPP_NewStreamProcPtr newstream;
    NPP_DestroyStreamProcPtr destroystream;
    NPP_StreamAsFileProcPtr asfile;
    NPP_WriteReadyProcPtr writeready;
    NPP_WriteProcPtr write;
    NPP_PrintProcPtr print;
    NPP_HandleEventProcPtr event;
    NPP_URLNotifyProcPtr urlnotify;
    void* javaClass;
    NPP_GetValueProcPtr getvalue;
    NPP_SetValueProcPtr setvalue;
} NPPluginFuncs;

typedef NPError(NP_LOADDS* NPN_GetURLProcPtr)(NPP, const char*, const char*);
typedef NPError(NP_LOADDS* NPN_PostURLProcPtr)(NPP, const char*, const char*, uint32_t, const char*,
                                               NPBool);
typedef NPError(NP_LOADDS* NPN_RequestReadProcPtr)(NPStream*, NPByteRange*);
typedef NPError(NP_LOADDS* NPN_NewStreamProcPtr)(NPP, NPMIMEType, const char*, NPStream**);
typedef int32_t(NP_LOADDS* NPN_WriteProcPtr)(NPP, NPStream*, int32_t, void*);
typedef NPError(NP_LOADDS* NPN_DestroyStreamProcPtr)(NPP, NPStream*, NPReason);
typedef void(NP_LOADDS* NPN_StatusProcPtr)(NPP, const char*);
typedef const char*(NP_LOADDS* NPN_UserAgentProcPtr)(NPP);
typedef void*(NP_LOADDS* NPN_MemAllocProcPtr)(uint32_t);
typedef void(NP_LOADDS* NPN_MemFreeProcPtr)(void*);
typedef uint32_t(NP_LOADDS* NPN_MemFlushProcPtr)(uint32_t);
typedef void(NP_LOADDS* NPN_ReloadPluginsProcPtr)(NPBool);

typedef struct _NPNetscapeFuncs {
    uint16_t size;
    uint16_t version;
    NPN_GetURLProcPtr geturl;
    NPN_PostURLProcPtr posturl;
    NPN_RequestReadProcPtr requestread;
    NPN_NewStreamProcPtr newstream;
    NPN_WriteProcPtr write;
    NPN_DestroyStreamProcPtr destroystream;
    NPN_StatusProcPtr status;
    NPN_UserAgentProcPtr uagent;
    NPN_MemAllocProcPtr memalloc;
    NPN_MemFreeProcPtr memfree;
    NPN_MemFlushProcPtr memflush;
    NPN_ReloadPluginsProcPtr reloadplugins;
    void* getJavaEnv;
    void* getJavaPeer;
    void* geturlnotify;
    void* posturlnotify;
    void* getvalue;
    void* setvalue;
    void* invalidaterect;
    void* invalidateregion;
    void* forceredraw;
} NPNetscapeFuncs;

// The shortest tables a plug-in and a browser accept: the plug-in's up
// to and with `event`, the browser's up to and with `reloadplugins`.
// Their sizes follow the pointer size: 44 and 52 bytes in a 32-bit
// build, 88 and 104 in a 64-bit one (the two 16-bit fields are padded
// to a pointer's alignment there).
constexpr uint16_t kPluginFuncsMinSize = offsetof(NPPluginFuncs, urlnotify);
constexpr uint16_t kBrowserFuncsMinSize = offsetof(NPNetscapeFuncs, getJavaEnv);
static_assert(kPluginFuncsMinSize == (sizeof(void*) == 4 ? 44 : 88), "plug-in table layout");
static_assert(kBrowserFuncsMinSize == (sizeof(void*) == 4 ? 52 : 104), "browser table layout");
#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(NPStream, url) == 8, "NPStream: the URL is its third 32-bit field");
#endif
