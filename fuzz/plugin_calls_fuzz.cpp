// Fuzz target: the plug-in adapter under any sequence of browser calls.
// The built ticker library is loaded as a Netscape browser loads a
// plug-in; up to three instances receive NPP_New (any mode, any
// arguments), NPP_SetWindow (any size, with or without a window),
// NPP_NewStream (the URL a component asked for, or any other),
// NPP_WriteReady, NPP_Write (any offset, any length, any bytes, chunk by
// chunk), NPP_DestroyStream (any reason), NPP_StreamAsFile, NPP_Print and
// NPP_Destroy, calls with a null instance or stream among them, while the
// clock runs the components' timers. The browser answers NPN_GetURL and
// NPN_PostURL as the input says, and NPN_DestroyStream sometimes calls
// NPP_DestroyStream back, as browsers do.
//
// The browser keeps its side of the contract: a stream is used only
// between its NPP_NewStream and its NPP_DestroyStream, an instance only
// between NPP_New and NPP_Destroy, and an instance's open streams are
// destroyed before it is.
//
// Beyond "no crash": once every instance is destroyed, no window, memory
// block, GDI object or file is left, and the private folder is empty.
#include <qpm/npapi.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "fuzz_support.h"
#include "support/scripted_host.h"

namespace {

constexpr int kInstances = 3;
constexpr int kStreams = 4;
constexpr int kMaxSteps = 64;

const char* const kNames[] = {"TEXT",     "SRC",     "SIZE",     "FONT", "SHOWBORDER",
                              "NOBORDER", "SUBTYPE", "DATAFILE", "TYPE"};

struct Stream {
    bool open = false;
    std::string url;
    NPStream npStream{};
};

struct Instance {
    bool live = false;
    NPP_t npp{};
    std::unique_ptr<ScriptedHost> page;
    NPWindow window{};
    std::vector<std::string> names, values;
    std::array<Stream, kStreams> streams;
};

struct Browser {
    std::string folder;
    NPPluginFuncs plugin{};
    NPNetscapeFuncs table{};
    FuzzInput* input = nullptr;
    std::vector<std::string> askedUrls;  // what the components asked for
    std::array<Instance, kInstances>* instances = nullptr;
};

Browser browser;
ScriptedHost* warmUp = nullptr;  // kept for the whole run

NPError Answer() { return browser.input->Flag() ? NPERR_NO_ERROR : NPERR_GENERIC_ERROR; }

NPError NP_LOADDS GetUrl(NPP, const char* url, const char*) {
    if (url) browser.askedUrls.emplace_back(url);
    return Answer();
}

NPError NP_LOADDS PostUrl(NPP, const char* url, const char*, uint32_t, const char*, NPBool) {
    if (url) browser.askedUrls.emplace_back(url);
    return Answer();
}

// The plug-in closes a stream: the browser may end it at once.
NPError NP_LOADDS DestroyStream(NPP instance, NPStream* npStream, NPReason reason) {
    if (!browser.instances || !browser.input->Flag()) return NPERR_NO_ERROR;
    for (Instance& i : *browser.instances)
        for (Stream& s : i.streams)
            if (s.open && &s.npStream == npStream && &i.npp == instance) {
                s.open = false;
                browser.plugin.destroystream(instance, npStream, reason);
            }
    return NPERR_NO_ERROR;
}

const char* NP_LOADDS UserAgent(NPP) { return "Fuzzscape/4.0"; }

template <class Fn>
Fn Proc(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

void NewInstance(FuzzInput& in, Instance& instance) {
    instance.names.clear();
    instance.values.clear();
    const uint32_t count = in.Below(6);
    for (uint32_t a = 0; a < count; ++a) {
        const uint32_t choice = in.Below(sizeof kNames / sizeof kNames[0] + 1);
        instance.names.push_back(choice < sizeof kNames / sizeof kNames[0] ? kNames[choice]
                                                                           : in.Field());
        instance.values.push_back(in.Field());
    }
    std::vector<char*> names, values;
    for (std::string& n : instance.names) names.push_back(n.data());
    for (std::string& v : instance.values) values.push_back(v.data());
    const uint16_t mode = in.Flag() ? uint16_t(in.Below(65536)) : NP_EMBED;
    instance.npp = NPP_t{};
    char type[] = "application/x-pellux-ticker";
    instance.live = browser.plugin.newp(type, &instance.npp, mode, int16_t(count), names.data(),
                                        values.data(), nullptr) == NPERR_NO_ERROR;
}

void SetWindow(FuzzInput& in, Instance& instance) {
    const int width = int(in.Below(1024)), height = int(in.Below(256));
    if (!instance.page) instance.page = std::make_unique<ScriptedHost>(width, height);
    instance.window = NPWindow{};
    instance.window.window = in.Below(8) == 0 ? nullptr : instance.page->window();
    instance.window.width = uint32_t(width);
    instance.window.height = uint32_t(height);
    instance.window.type = NPWindowTypeWindow;
    browser.plugin.setwindow(&instance.npp, &instance.window);
}

void NewStream(FuzzInput& in, Instance& instance, Stream& stream) {
    if (!browser.askedUrls.empty() && in.Flag())
        stream.url = browser.askedUrls[in.Below(uint32_t(browser.askedUrls.size()))];
    else
        stream.url = in.Field();
    stream.npStream = NPStream{};
    stream.npStream.url = stream.url.c_str();
    stream.npStream.end = in.Below(1u << 20);
    uint16_t type = 0;
    char mime[] = "text/plain";
    stream.open = browser.plugin.newstream(&instance.npp, mime, &stream.npStream, in.Flag(),
                                           in.Flag() ? &type : nullptr) == NPERR_NO_ERROR;
}

void Write(FuzzInput& in, Instance& instance, Stream& stream) {
    browser.plugin.writeready(&instance.npp, &stream.npStream);
    const int32_t offset = int32_t(in.Below(1u << 31)) - (in.Flag() ? 1 << 30 : 0);
    std::string bytes = in.Bytes(in.Below(4096));
    int32_t length = int32_t(bytes.size());
    if (in.Below(16) == 0) length = -1 - int32_t(in.Below(1024));  // a length no browser gives
    browser.plugin.write(&instance.npp, &stream.npStream, offset, length,
                         bytes.empty() && in.Flag() ? nullptr : bytes.data());
}

void EndStream(FuzzInput& in, Instance& instance, Stream& stream) {
    static const NPReason kReasons[] = {NPRES_DONE, NPRES_NETWORK_ERR, NPRES_USER_BREAK, 77};
    stream.open = false;
    browser.plugin.destroystream(&instance.npp, &stream.npStream, kReasons[in.Below(4)]);
}

void Print(FuzzInput& in, Instance& instance) {
    NPPrint print{};
    print.mode = in.Flag() ? NP_FULL : NP_EMBED;
    if (print.mode == NP_EMBED) print.print.embedPrint.window = instance.window;
    browser.plugin.print(&instance.npp, &print);
}

void Destroy(FuzzInput& in, Instance& instance) {
    for (Stream& s : instance.streams)
        if (s.open) EndStream(in, instance, s);
    NPSavedData* saved = nullptr;
    browser.plugin.destroy(&instance.npp, in.Flag() ? &saved : nullptr);
    instance.live = false;
}

// Calls that a browser in error might make: a null instance or stream.
void NullCall(FuzzInput& in, Instance& instance) {
    NPWindow window{};
    NPStream stream{};
    char mime[] = "text/plain";
    char data[4] = "abc";
    switch (in.Below(8)) {
        case 0:
            browser.plugin.setwindow(nullptr, &window);
            break;
        case 1:
            browser.plugin.setwindow(&instance.npp, nullptr);
            break;
        case 2:
            browser.plugin.newstream(nullptr, mime, &stream, 0, nullptr);
            break;
        case 3:
            browser.plugin.newstream(&instance.npp, mime, nullptr, 0, nullptr);
            break;
        case 4:
            browser.plugin.write(nullptr, &stream, 0, 3, data);
            break;
        case 5:
            browser.plugin.write(&instance.npp, nullptr, 0, 3, data);
            break;
        case 6:
            browser.plugin.destroystream(&instance.npp, nullptr, NPRES_DONE);
            break;
        default:
            browser.plugin.destroy(nullptr, nullptr);
            break;
    }
}

void Step(FuzzInput& in, std::array<Instance, kInstances>& instances) {
    Instance& instance = instances[in.Below(kInstances)];
    Stream& stream = instance.streams[in.Below(kStreams)];
    const uint32_t op = in.Below(11);
    if (!instance.live) {
        if (op < 6) NewInstance(in, instance);
        return;
    }
    switch (op) {
        case 0:
            SetWindow(in, instance);
            break;
        case 1:
            if (!stream.open) NewStream(in, instance, stream);
            break;
        case 2:
        case 3:
            if (stream.open) Write(in, instance, stream);
            break;
        case 4:
            if (stream.open) EndStream(in, instance, stream);
            break;
        case 5:
            if (stream.open)
                browser.plugin.asfile(&instance.npp, &stream.npStream, in.Field().c_str());
            break;
        case 6:
            Print(in, instance);
            break;
        case 7:
            Destroy(in, instance);
            break;
        case 8:
            NullCall(in, instance);
            break;
        default:
            QpmAdvanceClock(in.Below(1000));
            if (instance.page) instance.page->Pump();
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    browser.folder = UsePrivateFolder("qpm-fuzz-plugin");
    HMODULE library = LoadLibraryA(QPM_PELLUX_LIBRARY);
    Require(library != nullptr, "the ticker library loads");
    auto getEntryPoints = Proc<NPError(WINAPI*)(NPPluginFuncs*)>(library, "NP_GetEntryPoints");
    auto initialize = Proc<NPError(WINAPI*)(NPNetscapeFuncs*)>(library, "NP_Initialize");
    Require(getEntryPoints && initialize, "the plug-in entry points are exported");
    browser.plugin.size = sizeof browser.plugin;
    browser.table.size = sizeof browser.table;
    browser.table.version = 19;
    browser.table.geturl = GetUrl;
    browser.table.posturl = PostUrl;
    browser.table.destroystream = DestroyStream;
    browser.table.uagent = UserAgent;
    Require(getEntryPoints(&browser.plugin) == NPERR_NO_ERROR, "NP_GetEntryPoints");
    Require(initialize(&browser.table) == NPERR_NO_ERROR, "NP_Initialize");
    // The layer's stock objects are made on first use and kept: made here,
    // they are not counted against the first input.
    warmUp = new ScriptedHost(100, 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const ObjectCounts before = ObjectCounts::Now();
    {
        std::array<Instance, kInstances> instances;
        browser.input = &in;
        browser.instances = &instances;
        browser.askedUrls.clear();
        for (int step = 0; step < kMaxSteps && !in.empty(); ++step) Step(in, instances);
        for (Instance& instance : instances)
            if (instance.live) Destroy(in, instance);
        for (Instance& instance : instances)
            if (instance.page) instance.page->Pump();
        browser.instances = nullptr;
    }
    before.RequireSameNow();
    Require(FolderEntries(browser.folder).empty(), "no file is left in the private folder");
    return 0;
}
