// A recording test browser: loads a plug-in library with LoadLibraryA,
// finds its entry points with GetProcAddress, exchanges full function
// tables with it and records every browser function the plug-in calls
// ("GetURL http://h/x?a=1", "PostURL http://h/x 3 abc",
// "DestroyStream http://h/x 3", "UserAgent"). Each instance gets a
// scripted host window of its own as its browser window, so a request
// that wrongly reached a parent window would be seen there.
#pragma once

#include <qpm/npapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/attribute_list.h"
#include "support/scripted_host.h"

// A browser stream of this URL.
inline NPStream StreamOf(const char* url) {
    NPStream stream{};
    stream.url = url;
    return stream;
}

struct TestInstance {
    NPP_t npp{};
    std::unique_ptr<ScriptedHost> page;
    NPWindow window{};
    std::unique_ptr<AttributeList> attributes;

    HWND component() const { return static_cast<HWND>(npp.pdata); }
};

class TestBrowser {
public:
    explicit TestBrowser(const char* libraryPath);
    ~TestBrowser();
    TestBrowser(const TestBrowser&) = delete;
    TestBrowser& operator=(const TestBrowser&) = delete;

    // NP_GetEntryPoints and NP_Initialize with full tables; both results.
    bool Start();

    NPError New(TestInstance& instance, const AttrList& attrs, uint16_t mode = NP_EMBED);
    // Gives the instance a browser window of this size (once made, the
    // same window is passed again).
    NPError SetWindow(TestInstance& instance, int width, int height);
    NPError Deliver(TestInstance& instance, NPStream& stream, uint16_t* type = nullptr);
    // Writes `text` in chunks of these sizes (the last takes the rest).
    void Write(TestInstance& instance, NPStream& stream, const std::string& text,
               const std::vector<int>& chunks);

    HMODULE library = nullptr;
    NPError(WINAPI* getEntryPoints)(NPPluginFuncs*) = nullptr;
    NPError(WINAPI* initialize)(NPNetscapeFuncs*) = nullptr;
    NPError(WINAPI* shutdown)() = nullptr;
    NPPluginFuncs plugin{};
    NPNetscapeFuncs table{};

    std::vector<std::string> calls;      // the browser functions called, in order
    NPError urlAnswer = NPERR_NO_ERROR;  // NPN_GetURL's and NPN_PostURL's answer
    bool destroyCallsBack = false;      // NPN_DestroyStream calls NPP_DestroyStream, as browsers do
    std::function<void(NPP)> onGetUrl;  // what NPN_GetURL does besides recording
};
