// libcurl multi transfers feeding the stream table.
#include "net/curl_transport.h"

#include <poll.h>

#include <fstream>
#include <sstream>

namespace {

constexpr long kConnectTimeoutMs = 10000;

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

size_t CurlTransport::OnWrite(char* data, size_t size, size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    transfer->owner->table_->Append(transfer->handle, data, size * count);
    transfer->received += int64_t(size * count);
    return size * count;
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
    if (multi_ == nullptr) return false;
    CURL* easy = curl_easy_init();
    if (easy == nullptr) return false;
    auto* transfer = new Transfer{
        easy, handle, this, url, postBody ? *postBody : "", 0, std::chrono::steady_clock::now()};
    curl_easy_setopt(easy, CURLOPT_URL, transfer->url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https,file");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    // A status of 400 and up is a failure; its body is not the data asked for.
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
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
    auto it = transfers_.find(handle);
    if (it != transfers_.end()) Remove(it);
}

void CurlTransport::AbortAll(int32_t code) {
    while (!transfers_.empty()) {
        const LONG_PTR handle = transfers_.begin()->first;
        const std::string url = transfers_.begin()->second->url;
        table_->Fail(handle, code);
        Remove(transfers_.begin());
        if (onFinished) onFinished(handle, url, code);
    }
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
    return running;
}

void CurlTransport::Wait(int timeoutMs, const std::vector<int>& extraFds) {
    std::vector<curl_waitfd> waits;
    for (int fd : extraFds)
        if (fd >= 0) waits.push_back(curl_waitfd{fd, CURL_WAIT_POLLIN, 0});
    if (multi_ == nullptr || transfers_.empty()) {
        // Nothing of curl's to wait for: plain poll on our own descriptors.
        std::vector<pollfd> fds;
        for (int fd : extraFds)
            if (fd >= 0) fds.push_back(pollfd{fd, POLLIN, 0});
        poll(fds.data(), fds.size(), timeoutMs);
        return;
    }
    int ready = 0;
    curl_multi_poll(multi_, waits.data(), unsigned(waits.size()), timeoutMs, &ready);
    Perform();
}

void CurlTransport::Perform() {
    if (multi_ == nullptr) return;
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
    if (result == CURLE_HTTP_RETURNED_ERROR) {
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
    if (onFinished) onFinished(handle, url, code);
}
