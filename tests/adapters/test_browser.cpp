// The recording test browser's table and calls.
#include "adapters/test_browser.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TestBrowser* current = nullptr;

template <class Fn>
Fn Proc(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

std::string Text(const char* s) { return s ? s : "null"; }

NPError NP_LOADDS GetUrl(NPP instance, const char* url, const char* target) {
    current->calls.push_back("GetURL " + Text(url) + (target ? " " + Text(target) : ""));
    if (current->onGetUrl) current->onGetUrl(instance);
    return current->urlAnswer;
}

NPError NP_LOADDS PostUrl(NPP, const char* url, const char*, uint32_t length, const char* body,
                          NPBool) {
    current->calls.push_back("PostURL " + Text(url) + " " + std::to_string(length) + " " +
                             std::string(body, length));
    return current->urlAnswer;
}

NPError NP_LOADDS DestroyStream(NPP instance, NPStream* stream, NPReason reason) {
    current->calls.push_back("DestroyStream " + Text(stream->url) + " " + std::to_string(reason));
    if (current->destroyCallsBack) current->plugin.destroystream(instance, stream, reason);
    return NPERR_NO_ERROR;
}

const char* NP_LOADDS UserAgent(NPP) {
    current->calls.push_back("UserAgent");
    return "Testscape/4.0";
}

}  // namespace

TestBrowser::TestBrowser(const char* libraryPath) {
    current = this;
    library = LoadLibraryA(libraryPath);
    EXPECT_NE(library, nullptr) << libraryPath;
    getEntryPoints = Proc<decltype(getEntryPoints)>(library, "NP_GetEntryPoints");
    initialize = Proc<decltype(initialize)>(library, "NP_Initialize");
    shutdown = Proc<decltype(shutdown)>(library, "NP_Shutdown");
    plugin.size = sizeof plugin;
    table.size = sizeof table;
    table.version = 19;  // major 0
    table.geturl = GetUrl;
    table.posturl = PostUrl;
    table.destroystream = DestroyStream;
    table.uagent = UserAgent;
}

TestBrowser::~TestBrowser() {
    if (shutdown) shutdown();
    if (library) FreeLibrary(library);
    current = nullptr;
}

bool TestBrowser::Start() {
    return getEntryPoints && initialize && getEntryPoints(&plugin) == NPERR_NO_ERROR &&
           initialize(&table) == NPERR_NO_ERROR;
}

NPError TestBrowser::New(TestInstance& instance, const AttrList& attrs, uint16_t mode) {
    instance.attributes = std::make_unique<AttributeList>(attrs);
    AttributeList& a = *instance.attributes;
    return plugin.newp(const_cast<char*>("application/x-test"), &instance.npp, mode,
                       int16_t(a.Count()), a.Names(), a.Values(), nullptr);
}

NPError TestBrowser::SetWindow(TestInstance& instance, int width, int height) {
    if (!instance.page) instance.page = std::make_unique<ScriptedHost>(width, height);
    instance.window.window = instance.page->window();
    instance.window.width = uint32_t(width);
    instance.window.height = uint32_t(height);
    instance.window.type = NPWindowTypeWindow;
    return plugin.setwindow(&instance.npp, &instance.window);
}

NPError TestBrowser::Deliver(TestInstance& instance, NPStream& stream, uint16_t* type) {
    return plugin.newstream(&instance.npp, const_cast<char*>("text/plain"), &stream, 0, type);
}

void TestBrowser::Write(TestInstance& instance, NPStream& stream, const std::string& text,
                        const std::vector<int>& chunks) {
    size_t at = 0;
    for (size_t i = 0; at < text.size(); ++i) {
        int32_t n = i < chunks.size() ? chunks[i] : int32_t(text.size() - at);
        n = std::min<int32_t>(
            {n, int32_t(text.size() - at), plugin.writeready(&instance.npp, &stream)});
        EXPECT_EQ(
            plugin.write(&instance.npp, &stream, int32_t(at), n, &const_cast<char&>(text[at])), n);
        at += size_t(n);
    }
}
