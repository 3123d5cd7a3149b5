// Host information in plug-in mode, where no host window answers it: the
// registry path, the user's details from the browser's own INI file, and
// the browser's user agent.
#include "browser_bridge.h"

#include <cstring>

#include "plugin_globals.h"

namespace {

constexpr DWORD kIniPathSize = 144;

void BrowserIniPath(char* path) {
    GetProfileStringA("Netscape", "ini", "C:\\NETSCAPE\\NETSCAPE.INI", path, kIniPathSize);
}

void UserValue(const char* key, char* buffer) {
    char ini[kIniPathSize];
    BrowserIniPath(ini);
    GetPrivateProfileStringA("User", key, "", buffer, kHostInfoSize, ini);
}

void RegistryPath(char* buffer) {
    UINT n = GetWindowsDirectoryA(buffer, kHostInfoSize);
    if (n == 0 || n >= UINT(kHostInfoSize)) {
        buffer[0] = '\0';
        n = 0;
    }
    const bool separated = n > 0 && (buffer[n - 1] == '\\' || buffer[n - 1] == '/');
    const char* name = separated ? "DRX.REG" : "\\DRX.REG";
    const size_t size = strlen(name) + 1;
    if (n + size <= size_t(kHostInfoSize)) memcpy(buffer + n, name, size);
}

void UserAgent(const InstanceRecord* record, char* buffer) {
    buffer[0] = '\0';
    auto userAgent = BROWSER_FUNCTION(uagent);
    if (userAgent == nullptr) return;
    const char* agent = userAgent(static_cast<NPP>(record->pluginInstance));
    if (agent) lstrcpynA(buffer, agent, kHostInfoSize);
}

}  // namespace

int32_t PluginHostInfo(InstanceRecord* record, int item, char* buffer) {
    buffer[0] = '\0';
    switch (item) {
        case kInfoRegistryPath:
            RegistryPath(buffer);
            return 1;
        case kInfoContext:
            return 1;
        case kInfoUserFirstName: {
            UserValue("User_Name", buffer);
            if (char* space = strchr(buffer, ' ')) *space = '\0';
            return 1;
        }
        case kInfoUserName:
            UserValue("User_Name", buffer);
            return 1;
        case kInfoUserAddress:
            UserValue("User_Addr", buffer);
            return 1;
        case kInfoUserAgent:
            UserAgent(record, buffer);
            return 1;
        default:
            return 0;
    }
}
