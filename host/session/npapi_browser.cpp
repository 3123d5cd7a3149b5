// qpmhost playing the Netscape browser.
#include "session/npapi_browser.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "page/url.h"
#include "session/component_slots.h"
#include "session/host.h"
#include "session/log.h"
#include "session/requests.h"

namespace {

const char kSiteClass[] = "QpmHostPluginSite";
const char kPumpClass[] = "QpmHostPluginPump";
constexpr UINT kPushMessage = WM_APP + 2;
// Data that arrives while a transfer runs is pushed at this pace; the
// end of a transfer is pushed at once.
constexpr UINT_PTR kPushTimer = 1;
constexpr UINT kPushPeriodMs = 50;
constexpr uint16_t kBrowserVersion = 19;  // major 0: the plug-in API of Netscape 4
constexpr int kDefaultWidth = 400;
constexpr int kDefaultHeight = 50;
const char kStreamType[] = "application/octet-stream";

NpapiBrowser* theBrowser = nullptr;  // the browser functions have no context of their own

std::string Quoted(const char* text) { return text ? "\"" + std::string(text) + "\"" : "null"; }

void* NP_LOADDS MemAlloc(uint32_t size) { return malloc(size); }
void NP_LOADDS MemFree(void* block) { free(block); }
uint32_t NP_LOADDS MemFlush(uint32_t) { return 0; }
void NP_LOADDS ReloadPlugins(NPBool) {}
NPError NP_LOADDS RequestRead(NPStream*, NPByteRange*) { return NPERR_STREAM_NOT_SEEKABLE; }
NPError NP_LOADDS NewStream(NPP, NPMIMEType, const char*, NPStream**) {
    return NPERR_GENERIC_ERROR;  // no streams from the plug-in to the browser
}
int32_t NP_LOADDS Write(NPP, NPStream*, int32_t, void*) { return -1; }

}  // namespace

struct NpapiBrowser::Library {
    std::string path;
    HMODULE module = nullptr;
    NPPluginFuncs funcs{};
    NPError(WINAPI* shutdown)() = nullptr;
    bool initialized = false;
    std::string error;
};

struct NpapiBrowser::Instance {
    NpapiBrowser* browser = nullptr;
    ComponentSlot* slot = nullptr;
    Library* library = nullptr;
    NPP_t npp{};
    NPWindow window{};
    bool created = false;  // NPP_New succeeded: NPP_Destroy is owed
    std::vector<std::string> names, values;
    std::vector<char*> argn, argv;
};

struct NpapiBrowser::Stream {
    NPStream np{};
    Instance* instance = nullptr;
    std::string url;      // as the plug-in asked for it (np.url)
    LONG_PTR handle = 0;  // in the host's stream table
    std::string unsent;   // arrived, not yet taken by NPP_Write
    int32_t offset = 0;
    bool delivered = false;  // NPP_NewStream accepted it
    bool finished = false;   // the transfer ended, with `code`
    bool ended = false;
    int32_t code = 0;
};

namespace {

// "#1 (type) <- NPP_New(...) = 0" and "#1 (type) -> NPN_GetURL(...) = 0".
void LogCall(const NpapiBrowser::Instance* instance, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void LogCall(const NpapiBrowser::Instance* instance, const char* format, ...) {
    if (!IsVerbose()) return;
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    LogVerbose("%s %s", instance ? instance->slot->label.c_str() : "(no instance)", text);
}

NpapiBrowser::Instance* InstanceOf(NPP npp) {
    return npp ? static_cast<NpapiBrowser::Instance*>(npp->ndata) : nullptr;
}

}  // namespace

NpapiBrowser::NpapiBrowser(Host& host) : host_(host) {
    theBrowser = this;
    table_.size = sizeof table_;
    table_.version = kBrowserVersion;
    table_.geturl = &GetUrl;
    table_.posturl = &PostUrl;
    table_.requestread = &RequestRead;
    table_.newstream = &NewStream;
    table_.write = &Write;
    table_.destroystream = &DestroyStream;
    table_.status = &Status;
    table_.uagent = &UserAgent;
    table_.memalloc = &MemAlloc;
    table_.memfree = &MemFree;
    table_.memflush = &MemFlush;
    table_.reloadplugins = &ReloadPlugins;
    // Told of every finished transfer, as the host's own log is.
    previousOnFinished_ = host_.transport->onFinished;
    host_.transport->onFinished = [this](LONG_PTR handle, const std::string& url, int32_t code) {
        if (previousOnFinished_) previousOnFinished_(handle, url, code);
        Finished(handle, code);
    };
}

NpapiBrowser::~NpapiBrowser() {
    Stop();
    host_.transport->onFinished = previousOnFinished_;
    if (theBrowser == this) theBrowser = nullptr;
}

NpapiBrowser::Library* NpapiBrowser::LoadPlugin(const std::string& path, std::string* error) {
    for (auto& library : libraries_) {
        if (library->path != path) continue;
        *error = library->error;
        return library->error.empty() ? library.get() : nullptr;
    }
    libraries_.push_back(std::make_unique<Library>());
    Library& library = *libraries_.back();
    library.path = path;
    library.module = LoadLibraryA(path.c_str());
    auto find = [&](const char* name) {
        return library.module ? reinterpret_cast<void (*)()>(GetProcAddress(library.module, name))
                              : nullptr;
    };
    auto getEntryPoints =
        reinterpret_cast<NPError(WINAPI*)(NPPluginFuncs*)>(find("NP_GetEntryPoints"));
    auto initialize = reinterpret_cast<NPError(WINAPI*)(NPNetscapeFuncs*)>(find("NP_Initialize"));
    library.shutdown = reinterpret_cast<NPError(WINAPI*)()>(find("NP_Shutdown"));
    if (library.module == nullptr) {
        library.error = "cannot load plug-in library " + path;
    } else if (!getEntryPoints || !initialize || !library.shutdown) {
        library.error = path +
                        " is not a plug-in: it does not export NP_GetEntryPoints, "
                        "NP_Initialize and NP_Shutdown";
    } else {
        library.funcs.size = sizeof library.funcs;
        const NPError entries = getEntryPoints(&library.funcs);
        const NPError initialized = entries ? entries : initialize(&table_);
        LogVerbose("%s: NP_GetEntryPoints = %d, NP_Initialize = %d", path.c_str(), entries,
                   entries ? -1 : initialized);
        library.initialized = entries == NPERR_NO_ERROR && initialized == NPERR_NO_ERROR;
        const NPPluginFuncs& f = library.funcs;
        if (!library.initialized)
            library.error = path + " refused the browser (plug-in API error " +
                            std::to_string(entries ? entries : initialized) + ")";
        else if (!f.newp || !f.destroy || !f.setwindow || !f.newstream || !f.destroystream ||
                 !f.writeready || !f.write)
            library.error = path + " left callbacks out of its plug-in table";
    }
    *error = library.error;
    return library.error.empty() ? &library : nullptr;
}

void NpapiBrowser::Prepare() {
    for (const auto& owned : host_.slots) {
        ComponentSlot& slot = *owned;
        const std::string path = SlotLibraryPath(host_, slot);
        if (path.empty()) continue;
        std::string error;
        Library* library = LoadPlugin(path, &error);
        if (library == nullptr) {
            FailSlot(host_, slot, error);
            continue;
        }
        prepared_[&slot] = library;
        // A browser knows no component's own size: the page's, or its default.
        slot.element->SetSizeDefaults(kDefaultWidth, kDefaultHeight);
        slot.width = slot.element->record()->width;
        slot.height = slot.element->record()->height;
    }
}

void NpapiBrowser::Start() {
    WNDCLASSA wc{};
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpfnWndProc = &SiteProc;
    wc.lpszClassName = kSiteClass;
    RegisterClassA(&wc);
    wc.lpfnWndProc = &PumpProc;
    wc.lpszClassName = kPumpClass;
    RegisterClassA(&wc);
    pump_ = CreateWindowExA(0, kPumpClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                            nullptr);
    SetTimer(pump_, kPushTimer, kPushPeriodMs, nullptr);
    for (const auto& slot : host_.slots) {
        auto prepared = prepared_.find(slot.get());
        if (!slot->failed && prepared != prepared_.end()) StartInstance(*slot, *prepared->second);
    }
}

void NpapiBrowser::StartInstance(ComponentSlot& slot, Library& library) {
    if (!CheckDataFile(host_, slot)) return;
    instances_.push_back(std::make_unique<Instance>());
    Instance& instance = *instances_.back();
    instance.browser = this;
    instance.slot = &slot;
    instance.library = &library;
    instance.npp.ndata = &instance;
    const Placement& p = host_.layout.blocks[slot.block];
    slot.site =
        CreateWindowExA(0, kSiteClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, p.x, p.y,
                        slot.width, slot.height, host_.pageWindow, nullptr, nullptr, nullptr);
    if (slot.site == nullptr) return FailSlot(host_, slot, "the host could not create its window");
    SetWindowLongPtrA(slot.site, 0, reinterpret_cast<LONG_PTR>(&instance));
    // The attributes as the page has them, in its order.
    const PageElement& element = host_.page.blocks[slot.block].element;
    for (const PageAttribute& a : element.attributes) {
        instance.names.push_back(a.name);
        instance.values.push_back(a.value);
    }
    for (size_t i = 0; i < instance.names.size(); ++i) {
        instance.argn.push_back(instance.names[i].data());
        instance.argv.push_back(instance.values[i].data());
    }
    const std::string& type = slot.element->type();
    const NPError created = library.funcs.newp(const_cast<char*>(type.c_str()), &instance.npp,
                                               NP_EMBED, int16_t(instance.argn.size()),
                                               instance.argn.data(), instance.argv.data(), nullptr);
    LogCall(&instance, "<- NPP_New(%s, embed, %zu attributes) = %d", Quoted(type.c_str()).c_str(),
            instance.argn.size(), created);
    if (created != NPERR_NO_ERROR) {
        // What it asked for on the way has no instance to go to.
        EndStreams(instance, NPRES_USER_BREAK);
        return FailSlot(host_, slot, "NPP_New refused it (error " + std::to_string(created) + ")");
    }
    instance.created = true;
    LogPlacement(host_, slot);
    const NPError shown = TellWindow(instance);
    if (shown != NPERR_NO_ERROR)
        return FailSlot(host_, slot,
                        "NPP_SetWindow refused it (error " + std::to_string(shown) + ")");
    if (const std::string* source = element.Find("src"); source && !source->empty()) {
        const NPError fetched = Fetch(instance, source->c_str(), nullptr);
        LogCall(&instance, "fetches its SRC %s = %d", Quoted(source->c_str()).c_str(), fetched);
    }
}

NPError NpapiBrowser::TellWindow(Instance& instance) {
    const ComponentSlot& slot = *instance.slot;
    RECT client{};
    GetClientRect(slot.site, &client);
    NPWindow& w = instance.window;
    w.window = slot.site;
    w.x = host_.layout.blocks[slot.block].x;
    w.y = host_.layout.blocks[slot.block].y;
    w.width = uint32_t(client.right);
    w.height = uint32_t(client.bottom);
    w.clipRect = {0, 0, uint16_t(client.bottom), uint16_t(client.right)};
    w.type = NPWindowTypeWindow;
    const NPError result = instance.library->funcs.setwindow(&instance.npp, &w);
    LogCall(&instance, "<- NPP_SetWindow(%ux%u) = %d", w.width, w.height, result);
    return result;
}

void NpapiBrowser::Resized(Instance& instance) {
    RECT client{};
    GetClientRect(instance.slot->site, &client);
    if (!instance.created || instance.window.window == nullptr) return;
    if (uint32_t(client.right) == instance.window.width &&
        uint32_t(client.bottom) == instance.window.height)
        return;
    TellWindow(instance);
}

// A transfer for the instance, delivered as a stream once data comes.
NPError NpapiBrowser::Fetch(Instance& instance, const char* url, const std::string* postBody) {
    std::string resolved;
    if (!ResolveUrl(host_.baseUrl, url, &resolved)) return NPERR_INVALID_URL;
    if (RefusedLocalFile(host_, *instance.slot, resolved)) return NPERR_GENERIC_ERROR;
    const LONG_PTR handle = host_.streams.Open(instance.slot->site, resolved);
    // Read once at the start: the table then counts the browser as this
    // stream's reader and sends it none of the notices a component gets.
    char none;
    host_.streams.Read(handle, &none, 0);
    if (!host_.transport->Start(handle, resolved, postBody)) {
        host_.streams.Close(handle);
        return NPERR_GENERIC_ERROR;
    }
    auto stream = std::make_shared<Stream>();
    stream->instance = &instance;
    stream->url = url;
    stream->np.url = stream->url.c_str();
    stream->np.ndata = stream.get();
    stream->handle = handle;
    streams_[handle] = stream;
    return NPERR_NO_ERROR;
}

void NpapiBrowser::Finished(LONG_PTR handle, int32_t code) {
    auto it = streams_.find(handle);
    if (it == streams_.end()) return;
    it->second->finished = true;
    it->second->code = code;
    if (pump_) PostMessageA(pump_, kPushMessage, 0, 0);
}

void NpapiBrowser::Push() {
    if (pushing_) return;  // a plug-in that pumps messages inside a write
    pushing_ = true;
    std::vector<std::shared_ptr<Stream>> streams;
    for (const auto& entry : streams_) streams.push_back(entry.second);
    for (const auto& stream : streams)
        if (!stream->ended) PushStream(stream);
    pushing_ = false;
}

// What arrived goes to the plug-in in chunks it says it is ready for;
// at the end of the transfer the stream is destroyed. A stream may be
// ended by the plug-in (NPN_DestroyStream) inside any call: the shared
// pointer keeps it alive until this returns.
void NpapiBrowser::PushStream(const std::shared_ptr<Stream>& s) {
    char buffer[4096];
    int32_t n;
    while ((n = host_.streams.Read(s->handle, buffer, sizeof buffer)) > 0)
        s->unsent.append(buffer, size_t(n));
    const bool done = n < 0 || s->finished;
    const NPPluginFuncs& f = s->instance->library->funcs;
    NPP npp = &s->instance->npp;
    if (!s->delivered) {
        if (s->unsent.empty() && !(done && s->code == 0)) {
            if (done) End(s, NPRES_NETWORK_ERR);  // failed before any data: no stream at all
            return;
        }
        uint16_t type = NP_NORMAL;
        const NPError opened = f.newstream(npp, const_cast<char*>(kStreamType), &s->np, 0, &type);
        LogCall(s->instance, "<- NPP_NewStream(%s) = %d", Quoted(s->np.url).c_str(), opened);
        if (opened != NPERR_NO_ERROR) return End(s, NPRES_NETWORK_ERR);
        s->delivered = true;
    }
    while (!s->unsent.empty() && !s->ended) {
        const int32_t ready = f.writeready(npp, &s->np);
        LogCall(s->instance, "<- NPP_WriteReady(%s) = %d", Quoted(s->np.url).c_str(), ready);
        if (ready <= 0 || s->ended) return;  // not now: the next push tries again
        const int32_t chunk =
            std::min<int32_t>(ready, int32_t(std::min<size_t>(s->unsent.size(), 1 << 20)));
        const int32_t taken = f.write(npp, &s->np, s->offset, chunk, s->unsent.data());
        LogCall(s->instance, "<- NPP_Write(%s, offset %d, %d bytes) = %d",
                Quoted(s->np.url).c_str(), s->offset, chunk, taken);
        if (s->ended) return;
        if (taken < 0) return End(s, NPRES_NETWORK_ERR);
        if (taken == 0) return;
        const int32_t used = std::min(taken, chunk);
        s->unsent.erase(0, size_t(used));
        s->offset += used;
    }
    if (done && s->unsent.empty()) End(s, s->code == 0 ? NPRES_DONE : NPRES_NETWORK_ERR);
}

void NpapiBrowser::End(const std::shared_ptr<Stream>& s, NPReason reason) {
    if (s->ended) return;
    s->ended = true;
    host_.transport->Abort(s->handle);
    host_.streams.Close(s->handle);
    streams_.erase(s->handle);
    if (!s->delivered) return;
    const NPError result =
        s->instance->library->funcs.destroystream(&s->instance->npp, &s->np, reason);
    LogCall(s->instance, "<- NPP_DestroyStream(%s, reason %d) = %d", Quoted(s->np.url).c_str(),
            reason, result);
}

void NpapiBrowser::EndStreams(Instance& instance, NPReason reason) {
    std::vector<std::shared_ptr<Stream>> own;
    for (const auto& entry : streams_)
        if (entry.second->instance == &instance) own.push_back(entry.second);
    for (const auto& stream : own) End(stream, reason);
}

std::shared_ptr<NpapiBrowser::Stream> NpapiBrowser::StreamOf(const NPStream* stream) const {
    for (const auto& entry : streams_)
        if (&entry.second->np == stream) return entry.second;
    return nullptr;
}

void NpapiBrowser::Stop() {
    // Each instance loses its streams, then itself; then each library.
    for (auto& instance : instances_) {
        EndStreams(*instance, NPRES_USER_BREAK);
        if (!instance->created) continue;
        instance->created = false;
        NPSavedData* saved = nullptr;
        const NPError result = instance->library->funcs.destroy(&instance->npp, &saved);
        LogCall(instance.get(), "<- NPP_Destroy = %d", result);
        if (saved) {
            free(saved->buf);
            free(saved);
        }
    }
    for (auto& library : libraries_) {
        if (library->initialized) {
            library->initialized = false;
            LogVerbose("%s: NP_Shutdown = %d", library->path.c_str(), library->shutdown());
        }
        if (library->module) FreeLibrary(library->module);
        library->module = nullptr;
    }
    if (pump_) DestroyWindow(pump_);
    pump_ = nullptr;
}

NPError NP_LOADDS NpapiBrowser::GetUrl(NPP npp, const char* url, const char* target) {
    Instance* instance = InstanceOf(npp);
    NPError result = NPERR_INVALID_INSTANCE_ERROR;
    if (instance && url == nullptr)
        result = NPERR_INVALID_URL;
    else if (instance && target != nullptr)
        result = NPERR_GENERIC_ERROR;  // only streams to the plug-in itself
    else if (instance)
        result = instance->browser->Fetch(*instance, url, nullptr);
    LogCall(instance, "-> NPN_GetURL(%s, %s) = %d", Quoted(url).c_str(), Quoted(target).c_str(),
            result);
    return result;
}

NPError NP_LOADDS NpapiBrowser::PostUrl(NPP npp, const char* url, const char* target,
                                        uint32_t length, const char* body, NPBool file) {
    Instance* instance = InstanceOf(npp);
    NPError result = NPERR_INVALID_INSTANCE_ERROR;
    if (instance && url == nullptr)
        result = NPERR_INVALID_URL;
    else if (instance && (target != nullptr || file))
        result = NPERR_GENERIC_ERROR;  // only streams to the plug-in, of bodies in memory
    else if (instance && body == nullptr && length > 0)
        result = NPERR_INVALID_PARAM;
    else if (instance) {
        const std::string posted(body ? body : "", body ? length : 0);
        result = instance->browser->Fetch(*instance, url, &posted);
    }
    LogCall(instance, "-> NPN_PostURL(%s, %s, %u bytes) = %d", Quoted(url).c_str(),
            Quoted(target).c_str(), length, result);
    return result;
}

// The stream ends at the plug-in's word; as browsers do, the plug-in is
// told with NPP_DestroyStream before this returns.
NPError NP_LOADDS NpapiBrowser::DestroyStream(NPP npp, NPStream* stream, NPReason reason) {
    Instance* instance = InstanceOf(npp);
    std::shared_ptr<Stream> s = instance ? instance->browser->StreamOf(stream) : nullptr;
    NPError result = instance == nullptr ? NPERR_INVALID_INSTANCE_ERROR : NPERR_INVALID_PARAM;
    if (s && s->instance == instance && !s->ended) {
        result = NPERR_NO_ERROR;
        LogCall(instance, "-> NPN_DestroyStream(%s, reason %d)", Quoted(s->np.url).c_str(), reason);
        instance->browser->End(s, reason);
        return result;
    }
    LogCall(instance, "-> NPN_DestroyStream(reason %d) = %d", reason, result);
    return result;
}

const char* NP_LOADDS NpapiBrowser::UserAgent(NPP npp) {
    const char* agent = theBrowser ? theBrowser->host_.identity.userAgent.c_str() : "";
    LogCall(InstanceOf(npp), "-> NPN_UserAgent = %s", Quoted(agent).c_str());
    return agent;
}

void NP_LOADDS NpapiBrowser::Status(NPP npp, const char* message) {
    LogCall(InstanceOf(npp), "-> NPN_Status(%s)", Quoted(message).c_str());
}

LRESULT CALLBACK NpapiBrowser::SiteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* instance = reinterpret_cast<Instance*>(GetWindowLongPtrA(window, 0));
    if (instance == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window, &client);
            HBRUSH brush = CreateSolidBrush(instance->browser->host_.page.background);
            FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
            DeleteObject(brush);
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (BeginPaint(window, &paint)) EndPaint(window, &paint);
            return 0;
        }
        case WM_SIZE:
            instance->browser->Resized(*instance);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK NpapiBrowser::PumpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == kPushMessage || message == WM_TIMER) && theBrowser) {
        theBrowser->Push();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
