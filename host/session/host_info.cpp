// Host information answers and the user's details.
#include "session/host_info.h"

#include <curl/curl.h>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include <qpm/protocol.h>

namespace {

void CopyCut(const std::string& value, char* buffer, size_t size) {
    size_t n = std::min(value.size(), size - 1);
    memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
}

std::string FirstWord(const std::string& name) {
    size_t space = name.find(' ');
    return space == std::string::npos ? name : name.substr(0, space);
}

}  // namespace

bool AnswerHostInfo(const HostIdentity& identity, int item, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return false;
    const std::string* value = nullptr;
    std::string firstWord;
    switch (item) {
        case kInfoRegistryPath:
            value = &identity.registryPath;
            break;
        case kInfoContext:
            value = &identity.context;
            break;
        case kInfoUserFirstName:
            firstWord = FirstWord(identity.userName);
            value = &firstWord;
            break;
        case kInfoUserName:
            value = &identity.userName;
            break;
        case kInfoUserAddress:
            value = &identity.userAddress;
            break;
        case kInfoUserAgent:
            value = &identity.userAgent;
            break;
        default:
            break;
    }
    CopyCut(value ? *value : std::string(), buffer, size);
    return value != nullptr;
}

void FillUserFromAccount(HostIdentity* identity) {
    const struct passwd* account = getpwuid(getuid());
    std::string login = account && account->pw_name ? account->pw_name : "user";
    if (identity->userName.empty()) {
        // The GECOS field's first comma-separated entry is the full name.
        std::string gecos = account && account->pw_gecos ? account->pw_gecos : "";
        std::string fullName = gecos.substr(0, gecos.find(','));
        identity->userName = fullName.empty() ? login : fullName;
    }
    if (identity->userAddress.empty()) {
        char host[256] = "localhost";
        gethostname(host, sizeof host - 1);
        host[sizeof host - 1] = '\0';
        identity->userAddress = login + "@" + host;
    }
}

std::string HostUserAgent() {
    struct utsname system {};
    std::string platform = "Linux";
    if (uname(&system) == 0) platform = std::string(system.sysname) + " " + system.machine;
    const curl_version_info_data* curl = curl_version_info(CURLVERSION_NOW);
    std::string agent = "qpmhost/1.0 (" + platform + ")";
    if (curl && curl->version) agent += std::string(" libcurl/") + curl->version;
    return agent;
}
