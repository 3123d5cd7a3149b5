// libcurl multi transfers feeding the stream table.
#include "net/curl_transport.h"

#include <poll.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace {

constexpr long kConnectTimeoutMs = 10000;

bool IsFileUrl(const std::string& url) {
    return url.size() >= 5 && std::equal(url.begin(), url.begin() + 5, "file:", [](char a, char b) {
               return tolower(static_cast<unsigned char>(a)) == b;
           });
}

bool ReadFile(const char* path, std::string* content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    *content = bytes.str();
    return !in.bad();
}

}  // namespace

CurlTransport::CurlTransport(StreamTable* table, std::string userAgent)
    : table_(table), userAgent_(std::move(userAgent)) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    multi_ = curl_multi_init();
}

CurlTransport::~CurlTransport() {
    while (!transfers_.empty()) Remove(transfers_.begin());
    if (multi_) curl_multi_cleanup(multi_);
    curl_global_cleanup();
}

// A full stream pauses the transfer (curl keeps the data and offers it
// again once resumed); bytes past the maximum fail it.
size_t CurlTransport::OnWrite(char* data, size_t size, size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    const size_t bytes = size * count;
    StreamTable* table = transfer->owner->table_;
    if (bytes > 0 && table->Room(transfer->handle) == 0) {
        transfer->paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    const int64_t allowed = std::min<int64_t>(int64_t(bytes), kMaxStreamBytes - transfer->received);
    table->Append(transfer->handle, data, size_t(allowed));
    transfer->received += allowed;
    if (allowed == int64_t(bytes)) return bytes;
    transfer->tooLarge = true;
    return 0;  // curl ends the transfer with a write error
}

// libcurl takes one CA file, which replaces the system's bundle: the
// host hands it both in one block in memory. The system's certificate
// directory stays in use as well.
bool CurlTransport::TrustExtraCertificates(const std::string& path, std::string* error) {
    std::string extra;
    if (!ReadFile(path.c_str(), &extra)) {
        *error = "cannot read the certificate file " + path;
        return false;
    }
    if (extra.find("-----BEGIN CERTIFICATE-----") == std::string::npos) {
        *error = path + " holds no PEM certificate (-----BEGIN CERTIFICATE-----)";
        return false;
    }
    std::string system;
    const curl_version_info_data* curl = curl_version_info(CURLVERSION_NOW);
    if (curl && curl->cainfo) ReadFile(curl->cainfo, &system);
    caBundle_ = system + "\n" + extra;
    return true;
}

bool CurlTransport::Start(LONG_PTR handle, const std::string& url, const std::string* postBody) {
    if (IsFileUrl(url)) {
        std::string path;
        if (postBody || !FileUrlPath(url, &path)) return false;
        files_.Start(handle, url, path);
        return true;
    }
    if (multi_ == nullptr) return false;
    CURL* easy = curl_easy_init();
    if (easy == nullptr) return false;
    auto* transfer = new Transfer{
        easy, handle, this, url, postBody ? *postBody : "", 0, std::chrono::steady_clock::now()};
    curl_easy_setopt(easy, CURLOPT_URL, transfer->url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    // A status of 400 and up is a failure; its body is not the data asked for.
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
    // A body announced larger than the maximum fails before it comes.
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(kMaxStreamBytes));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, userAgent_.c_str());
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caBundle_.empty()) {
        curl_blob blob{caBundle_.data(), caBundle_.size(), CURL_BLOB_COPY};
        curl_easy_setopt(easy, CURLOPT_CAINFO_BLOB, &blob);
    }
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlTransport::OnWrite);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer);
    curl_easy_setopt(easy, CURLOPT_PRIVATE, transfer);
    if (postBody) {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE, long(transfer->body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, transfer->body.data());
    }
    if (curl_multi_add_handle(multi_, easy) != CURLM_OK) {
        curl_easy_cleanup(easy);
        delete transfer;
        return false;
    }
    transfers_[handle] = transfer;
    return true;
}

void CurlTransport::Remove(std::map<LONG_PTR, Transfer*>::iterator it) {
    Transfer* transfer = it->second;
    curl_multi_remove_handle(multi_, transfer->easy);
    curl_easy_cleanup(transfer->easy);
    delete transfer;
    transfers_.erase(it);
}

void CurlTransport::Abort(LONG_PTR handle) {
    files_.Abort(handle);
    auto it = transfers_.find(handle);
    if (it != transfers_.end()) Remove(it);
}

void CurlTransport::AbortAll(int32_t code) {
    for (LONG_PTR handle : files_.Handles()) {
        const std::string url = table_->UrlOf(handle);
        table_->Fail(handle, code);
        files_.Abort(handle);
        Ended(handle, url, code, "");
    }
    while (!transfers_.empty()) {
        const LONG_PTR handle = transfers_.begin()->first;
        const std::string url = transfers_.begin()->second->url;
        table_->Fail(handle, code);
        Remove(transfers_.begin());
        Ended(handle, url, code, "");
    }
}

// Resumed once the component has read half of what its stream holds, so
// that a transfer is not woken for every small read.
bool CurlTransport::HasRoom(const Transfer& transfer) const {
    return table_->Room(transfer.handle) >= StreamTable::kBufferLimit / 2;
}

bool CurlTransport::Active() const {
    if (files_.CanProceed(*table_)) return true;
    for (const auto& entry : transfers_)
        if (!entry.second->paused || HasRoom(*entry.second)) return true;
    return false;
}

bool CurlTransport::ResumeTransfers() {
    bool resumed = false;
    for (const auto& entry : transfers_) {
        Transfer& transfer = *entry.second;
        if (!transfer.paused || !HasRoom(transfer)) continue;
        transfer.paused = false;
        resumed = true;
        // May hand over what curl kept at once, and pause the transfer again.
        curl_easy_pause(transfer.easy, CURLPAUSE_CONT);
    }
    return resumed;
}

std::vector<CurlTransport::Progress> CurlTransport::Running() const {
    std::vector<Progress> running;
    const auto now = std::chrono::steady_clock::now();
    // Handles grow with each stream opened: their order is the order of starting.
    for (const auto& entry : transfers_) {
        const Transfer& transfer = *entry.second;
        Progress progress;
        progress.handle = transfer.handle;
        progress.url = transfer.url;
        progress.received = transfer.received;
        curl_off_t length = -1;
        if (curl_easy_getinfo(transfer.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) ==
                CURLE_OK &&
            length >= 0)
            progress.total = int64_t(length);
        progress.seconds = std::chrono::duration<double>(now - transfer.started).count();
        running.push_back(progress);
    }
    for (const FileTransfers::Progress& file : files_.Running()) {
        const double seconds = std::chrono::duration<double>(now - file.started).count();
        running.push_back(Progress{file.handle, file.url, file.received, file.total, seconds});
    }
    std::sort(running.begin(), running.end(),
              [](const Progress& a, const Progress& b) { return a.handle < b.handle; });
    return running;
}

void CurlTransport::Wait(int timeoutMs, const std::vector<int>& extraFds) {
    // A file with room to be read into, or a transfer its component has
    // made room for, needs no waiting: a paused transfer's socket is not
    // among those curl waits on.
    if (ResumeTransfers() || files_.CanProceed(*table_)) timeoutMs = 0;
    std::vector<curl_waitfd> waits;
    for (int fd : extraFds)
        if (fd >= 0) waits.push_back(curl_waitfd{fd, CURL_WAIT_POLLIN, 0});
    if (multi_ == nullptr || transfers_.empty()) {
        // Nothing of curl's to wait for: plain poll on our own descriptors.
        std::vector<pollfd> fds;
        for (int fd : extraFds)
            if (fd >= 0) fds.push_back(pollfd{fd, POLLIN, 0});
        poll(fds.data(), fds.size(), timeoutMs);
        Perform();
        return;
    }
    int ready = 0;
    curl_multi_poll(multi_, waits.data(), unsigned(waits.size()), timeoutMs, &ready);
    Perform();
}

void CurlTransport::Perform() {
    for (const FileTransfers::Ending& ending : files_.Perform(table_, kMaxStreamBytes))
        Ended(ending.handle, ending.url, ending.code, ending.reason);
    if (multi_ == nullptr) return;
    ResumeTransfers();
    int running = 0;
    curl_multi_perform(multi_, &running);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left))
        if (message->msg == CURLMSG_DONE) Finish(message->easy_handle, message->data.result);
}

void CurlTransport::Finish(CURL* easy, CURLcode result) {
    Transfer* transfer = nullptr;
    curl_easy_getinfo(easy, CURLINFO_PRIVATE, reinterpret_cast<char**>(&transfer));
    if (transfer == nullptr) return;
    int32_t code = 0;
    if (transfer->tooLarge) {
        code = CURLE_FILESIZE_EXCEEDED;
    } else if (result == CURLE_HTTP_RETURNED_ERROR) {
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        code = int32_t(status);
    } else if (result != CURLE_OK) {
        code = int32_t(result);
    }
    const LONG_PTR handle = transfer->handle;
    const std::string url = transfer->url;
    if (code == 0)
        table_->Complete(handle);
    else
        table_->Fail(handle, code);
    Abort(handle);
    Ended(handle, url, code, "");
}

void CurlTransport::Ended(LONG_PTR handle, const std::string& url, int32_t code,
                          const std::string& reason) {
    if (onFinished) onFinished(handle, url, code);
    if (code != 0 && onFailed) onFailed(url, reason.empty() ? DescribeFailure(code) : reason);
}

std::string CurlTransport::DescribeFailure(int32_t code) {
    if (code >= 100 && code < 600) return "HTTP status " + std::to_string(code);
    switch (code) {
        case CURLE_OPERATION_TIMEDOUT:
            return "timed out";
        case CURLE_PARTIAL_FILE:
            return "cut short: less arrived than was announced";
        case CURLE_FILESIZE_EXCEEDED:
            return "larger than " + std::to_string(kMaxStreamBytes >> 20) +
                   " MiB, the most one stream may bring";
        default:
            return curl_easy_strerror(CURLcode(code));
    }
}
