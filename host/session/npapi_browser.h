// qpmhost as the Netscape browser (--npapi). Every element runs as an
// instance of a plug-in, through the published plug-in API only: the
// library is loaded and the function tables exchanged (NP_GetEntryPoints,
// NP_Initialize with a full browser table); NPP_New gets the element's
// attributes in page order, NPP_SetWindow a site window of the element's
// size (again whenever the site is resized); the element's SRC and every
// URL the plug-in asks for (NPN_GetURL, NPN_PostURL) are fetched on the
// host's libcurl transfers and pushed as streams, in chunks no larger
// than NPP_WriteReady allows. --verbose prints every NPP_* and NPN_* call.
#pragma once

#include <qpm/npapi.h>
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "session/hosting.h"

struct Host;
struct ComponentSlot;

class NpapiBrowser : public ComponentHosting {
public:
    explicit NpapiBrowser(Host& host);
    ~NpapiBrowser() override;
    NpapiBrowser(const NpapiBrowser&) = delete;
    NpapiBrowser& operator=(const NpapiBrowser&) = delete;

    void Prepare() override;
    void Start() override;
    void Stop() override;

    struct Library;
    struct Instance;
    struct Stream;

private:
    Library* LoadPlugin(const std::string& path, std::string* error);
    void StartInstance(ComponentSlot& slot, Library& library);
    NPError TellWindow(Instance& instance);
    void Resized(Instance& instance);
    NPError Fetch(Instance& instance, const char* url, const std::string* postBody);
    void Push();
    void PushStream(const std::shared_ptr<Stream>& stream);
    void End(const std::shared_ptr<Stream>& stream, NPReason reason);
    void EndStreams(Instance& instance, NPReason reason);  // every stream of the instance
    std::shared_ptr<Stream> StreamOf(const NPStream* stream) const;
    void Finished(LONG_PTR handle, int32_t code);

    // The browser's side of the plug-in API.
    static NPError NP_LOADDS GetUrl(NPP npp, const char* url, const char* target);
    static NPError NP_LOADDS PostUrl(NPP npp, const char* url, const char* target, uint32_t length,
                                     const char* body, NPBool file);
    static NPError NP_LOADDS DestroyStream(NPP npp, NPStream* stream, NPReason reason);
    static const char* NP_LOADDS UserAgent(NPP npp);
    static void NP_LOADDS Status(NPP npp, const char* message);
    static LRESULT CALLBACK SiteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PumpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Host& host_;
    NPNetscapeFuncs table_{};
    HWND pump_ = nullptr;  // a hidden window: the streams are pushed from its messages
    bool pushing_ = false;
    std::function<void(LONG_PTR, const std::string&, int32_t)> previousOnFinished_;
    std::vector<std::unique_ptr<Library>> libraries_;
    std::map<ComponentSlot*, Library*> prepared_;
    std::vector<std::unique_ptr<Instance>> instances_;
    std::map<LONG_PTR, std::shared_ptr<Stream>> streams_;  // by the host's stream handle
};
