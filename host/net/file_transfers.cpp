// Reading file:// URLs a piece at a time.
#include "net/file_transfers.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "net/file_access.h"

namespace {

constexpr size_t kPieceBytes = size_t{64} << 10;

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// One part of a parsed URL, "" when it has none.
std::string UrlPart(CURLU* url, CURLUPart part, unsigned flags) {
    char* value = nullptr;
    if (curl_url_get(url, part, &value, flags) != CURLUE_OK || value == nullptr) return "";
    std::string copy = value;
    curl_free(value);
    return copy;
}

}  // namespace

bool FileUrlPath(const std::string& url, std::string* path) {
    std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
        return false;
    if (strcasecmp(UrlPart(parsed.get(), CURLUPART_SCHEME, 0).c_str(), "file") != 0) return false;
    const std::string host = UrlPart(parsed.get(), CURLUPART_HOST, 0);
    if (!host.empty() && strcasecmp(host.c_str(), "localhost") != 0) return false;
    *path = UrlPart(parsed.get(), CURLUPART_PATH, CURLU_URLDECODE);
    // A decoded NUL would cut the path short of what the URL says.
    return !path->empty() && path->find('\0') == std::string::npos;
}

FileTransfers::~FileTransfers() {
    for (auto& entry : files_)
        if (entry.second.fd >= 0) close(entry.second.fd);
}

void FileTransfers::Start(LONG_PTR handle, const std::string& url, const std::string& path) {
    File& file = files_[handle];
    file.url = url;
    file.started = std::chrono::steady_clock::now();
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    file.fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat info {};
    if (file.fd < 0 || fstat(file.fd, &info) != 0) {
        file.failure = strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        file.failure = std::string("it is ") + FileKindName(info.st_mode) + ", not a regular file";
    } else {
        file.size = int64_t(info.st_size);
        return;
    }
    file.failCode = CURLE_FILE_COULDNT_READ_FILE;
    if (file.fd >= 0) close(file.fd);
    file.fd = -1;
}

void FileTransfers::Abort(LONG_PTR handle) {
    auto it = files_.find(handle);
    if (it == files_.end()) return;
    if (it->second.fd >= 0) close(it->second.fd);
    files_.erase(it);
}

bool FileTransfers::CanProceed(const StreamTable& table) const {
    for (const auto& entry : files_)
        if (entry.second.failCode != 0 || table.Room(entry.first) > 0) return true;
    return false;
}

// False once the read has ended, with `ending` filled in.
bool FileTransfers::ReadPiece(LONG_PTR handle, File& file, StreamTable* table, int64_t maxBytes,
                              Ending* ending) {
    *ending = Ending{handle, file.url, file.failCode, file.failure};
    if (file.failCode != 0) return false;
    const size_t room = table->Room(handle);
    if (room == 0) return true;
    char buffer[kPieceBytes];
    const ssize_t n = read(file.fd, buffer, std::min(room, sizeof buffer));
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return true;
    if (n < 0) {
        ending->code = CURLE_READ_ERROR;
        ending->reason = strerror(errno);
        return false;
    }
    if (n == 0) return false;
    const int64_t allowed = std::min<int64_t>(n, maxBytes - file.received);
    table->Append(handle, buffer, size_t(allowed));
    file.received += allowed;
    if (allowed < n) {
        ending->code = CURLE_FILESIZE_EXCEEDED;
        return false;
    }
    // The file as it was when opened: done once that much has come, with
    // no further read to find its end.
    return file.received < file.size;
}

std::vector<FileTransfers::Ending> FileTransfers::Perform(StreamTable* table, int64_t maxBytes) {
    std::vector<Ending> endings;
    for (auto it = files_.begin(); it != files_.end();) {
        Ending ending;
        if (ReadPiece(it->first, it->second, table, maxBytes, &ending)) {
            ++it;
            continue;
        }
        if (ending.code == 0)
            table->Complete(it->first);
        else
            table->Fail(it->first, ending.code);
        if (it->second.fd >= 0) close(it->second.fd);
        it = files_.erase(it);
        endings.push_back(ending);
    }
    return endings;
}

std::vector<FileTransfers::Progress> FileTransfers::Running() const {
    std::vector<Progress> running;
    for (const auto& entry : files_)
        running.push_back(Progress{entry.first, entry.second.url, entry.second.received,
                                   entry.second.size, entry.second.started});
    return running;
}

std::vector<LONG_PTR> FileTransfers::Handles() const {
    std::vector<LONG_PTR> handles;
    for (const auto& entry : files_) handles.push_back(entry.first);
    return handles;
}
