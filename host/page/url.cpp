// URL resolution with libcurl's URL parser; path arithmetic by hand.
#include "page/url.h"

#include <curl/curl.h>
#include <strings.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace {

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

std::string CurrentDirectory() {
    std::vector<char> buffer(4096);
    if (getcwd(buffer.data(), buffer.size()) == nullptr) return "/";
    return buffer.data();
}

std::string NormalisedAbsolute(const std::string& absolute) {
    std::vector<std::string> parts;
    size_t start = 1;
    while (start <= absolute.size()) {
        size_t end = absolute.find('/', start);
        if (end == std::string::npos) end = absolute.size();
        std::string part = absolute.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? "/" : out;
}

bool FetchedScheme(const char* scheme) {
    return strcasecmp(scheme, "http") == 0 || strcasecmp(scheme, "https") == 0 ||
           strcasecmp(scheme, "file") == 0;
}

}  // namespace

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return CurrentDirectory();
    if (path[0] == '/') return NormalisedAbsolute(path);
    return NormalisedAbsolute(CurrentDirectory() + "/" + path);
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string ResolvePath(const std::string& directory, const std::string& path) {
    if (!path.empty() && path[0] == '/') return NormalisedAbsolute(path);
    return AbsolutePath(directory + "/" + path);
}

std::string FileUrlFromPath(const std::string& absolutePath) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : absolutePath) {
        if (isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url += char(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 0xF];
        }
    }
    return url;
}

bool ResolveUrl(const std::string& base, const std::string& reference, std::string* out) {
    if (reference.empty()) return false;
    UrlHandle url(curl_url());
    if (!url) return false;
    if (curl_url_set(url.get(), CURLUPART_URL, base.c_str(), 0) != CURLUE_OK) return false;
    // A relative reference is taken against the base set just before.
    if (curl_url_set(url.get(), CURLUPART_URL, reference.c_str(), CURLU_URLENCODE) != CURLUE_OK)
        return false;
    char* scheme = nullptr;
    if (curl_url_get(url.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK) return false;
    const bool fetched = FetchedScheme(scheme);
    curl_free(scheme);
    if (!fetched) return false;
    char* full = nullptr;
    if (curl_url_get(url.get(), CURLUPART_URL, &full, 0) != CURLUE_OK) return false;
    *out = full;
    curl_free(full);
    return true;
}
