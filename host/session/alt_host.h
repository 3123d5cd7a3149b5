// qpmhost as an alternate host (--alt-host). Every element is described
// to its library with the fixed-layout AltInitRecord: TYPE and DATAFILE
// in their own fields, every other attribute packed into "SUBTYPE" as
// NAME=value entries. The library is loaded, QPMSetInstance called, then
// DRXGetVersion, DRXCalcSize (when the page leaves the size open) and
// DRXInit; from then on the component is driven with the ordinary host
// messages and its requests are answered as any component's.
#pragma once

#include <qpm/records.h>
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "page/page.h"
#include "session/hosting.h"

struct Host;
struct ComponentSlot;

class AltHost : public ComponentHosting {
public:
    explicit AltHost(Host& host) : host_(host) {}
    ~AltHost() override;
    AltHost(const AltHost&) = delete;
    AltHost& operator=(const AltHost&) = delete;

    void Prepare() override;
    void Start() override;
    void Stop() override;

private:
    struct Library {
        std::string path;
        HMODULE module = nullptr;
        HWND(WINAPI* init)(HWND, AltInitRecord*) = nullptr;
        int32_t(WINAPI* calcSize)(AltInitRecord*) = nullptr;
        std::string error;
    };
    Library* Load(const std::string& path, std::string* error);
    bool Describe(ComponentSlot& slot, AltInitRecord* record);

    Host& host_;
    std::vector<std::unique_ptr<Library>> libraries_;
    std::map<ComponentSlot*, std::pair<Library*, std::unique_ptr<AltInitRecord>>> prepared_;
};

// The packed "SUBTYPE" list of these attributes: NAME=value entries
// joined by commas, '%' and ',' in values escaped as %25 and %2C.
// TYPE, SUBTYPE and DATAFILE are left out (they are fields of their own),
// as is a name the list could not find again (empty, or with '=', ',' or
// white space in it) and an entry that would not fit in `limit` bytes;
// their names go to `left` when given.
std::string PackAttributes(const std::vector<PageAttribute>& attributes, size_t limit,
                           std::vector<std::string>* left = nullptr);
