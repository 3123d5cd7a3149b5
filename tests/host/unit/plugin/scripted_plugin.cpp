// The scripted plug-in module: the three exports of a plug-in library
// and callbacks that do what the test's script says.
#include "scripted_plugin.h"

#include <algorithm>
#include <cstring>

namespace {

PluginScript script;
size_t writeReadyCalls = 0, writeCalls = 0;

void Record(std::string call) { script.calls.push_back(std::move(call)); }

int32_t Next(const std::vector<int32_t>& answers, size_t* calls, int32_t none) {
    if (answers.empty()) return none;
    return answers[std::min(answers.size() - 1, (*calls)++)];
}

NPError NP_LOADDS New(NPMIMEType, NPP npp, uint16_t, int16_t argc, char**, char**, NPSavedData*) {
    script.instances.push_back(npp);
    Record("New " + std::to_string(argc));
    if (!script.urlFromNew.empty())
        Record("NPN_GetURL = " +
               std::to_string(script.browser->geturl(npp, script.urlFromNew.c_str(), nullptr)));
    return script.newInstance;
}

NPError NP_LOADDS Destroy(NPP, NPSavedData** saved) {
    Record("Destroy");
    if (script.savedBytes > 0) {
        *saved = static_cast<NPSavedData*>(script.browser->memalloc(sizeof(NPSavedData)));
        (*saved)->len = script.savedBytes;
        (*saved)->buf = script.browser->memalloc(uint32_t(script.savedBytes));
        memset((*saved)->buf, 'x', size_t(script.savedBytes));
    }
    return NPERR_NO_ERROR;
}

NPError NP_LOADDS SetWindow(NPP, NPWindow* window) {
    Record("SetWindow " + std::to_string(window->width) + "x" + std::to_string(window->height));
    return script.setWindow;
}

NPError NP_LOADDS NewStream(NPP, NPMIMEType, NPStream* stream, NPBool, uint16_t*) {
    script.streams.push_back(stream);
    Record(std::string("NewStream ") + stream->url);
    return script.newStream;
}

NPError NP_LOADDS DestroyStream(NPP, NPStream*, NPReason reason) {
    Record("DestroyStream " + std::to_string(reason));
    return NPERR_NO_ERROR;
}

int32_t NP_LOADDS WriteReady(NPP, NPStream*) {
    Record("WriteReady");
    return Next(script.writeReady, &writeReadyCalls, 1 << 20);
}

int32_t NP_LOADDS Write(NPP npp, NPStream* stream, int32_t offset, int32_t length, void*) {
    Record("Write " + std::to_string(offset) + " " + std::to_string(length));
    if (script.destroyInWrite)
        Record("NPN_DestroyStream = " +
               std::to_string(script.browser->destroystream(npp, stream, NPRES_USER_BREAK)));
    const int32_t taken = Next(script.write, &writeCalls, PluginScript::kTakeAll);
    return taken == PluginScript::kTakeAll ? length : taken;
}

}  // namespace

extern "C" {

PluginScript* ScriptedPlugin() {
    script = PluginScript{};
    writeReadyCalls = writeCalls = 0;
    return &script;
}

NPError WINAPI NP_GetEntryPoints(NPPluginFuncs* table) {
    Record("GetEntryPoints");
    if (script.getEntryPoints != NPERR_NO_ERROR) return script.getEntryPoints;
    table->newp = &New;
    table->destroy = &Destroy;
    table->setwindow = &SetWindow;
    table->newstream = &NewStream;
    table->destroystream = &DestroyStream;
    table->writeready = &WriteReady;
    table->write = script.leaveOutWrite ? nullptr : &Write;
    return NPERR_NO_ERROR;
}

NPError WINAPI NP_Initialize(NPNetscapeFuncs* browser) {
    Record("Initialize");
    script.browser = browser;
    return script.initialize;
}

NPError WINAPI NP_Shutdown() {
    Record("Shutdown");
    return NPERR_NO_ERROR;
}
}
