// URL transfers with libcurl's multi interface, never blocking: the host
// waits on curl's sockets (together with its own descriptors) in its
// message loop, lets curl move the transfers on, and reads the results
// out of the stream table.
#pragma once

#include <curl/curl.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "net/stream_table.h"

class CurlTransport {
public:
    CurlTransport(StreamTable* table, std::string userAgent);
    ~CurlTransport();
    CurlTransport(const CurlTransport&) = delete;
    CurlTransport& operator=(const CurlTransport&) = delete;

    // Trusts the CA certificates (PEM) in the file at `path` as well as
    // the system's, for https. False with `error` set when the file
    // cannot be read or holds no certificate.
    bool TrustExtraCertificates(const std::string& path, std::string* error);

    // Starts fetching `url` for `handle`; a POST when `postBody` is given.
    // An https server whose certificate fails verification fails the
    // transfer (CURLE_PEER_FAILED_VERIFICATION): it is never fetched
    // without verification.
    bool Start(LONG_PTR handle, const std::string& url, const std::string* postBody);
    void Abort(LONG_PTR handle);
    // Ends every transfer as failed with `code`, as if it had finished so.
    void AbortAll(int32_t code);
    bool Active() const { return !transfers_.empty(); }

    // Waits at most `timeoutMs` for curl's sockets or one of `extraFds` to
    // become readable (curl_multi_poll), then moves the transfers on.
    void Wait(int timeoutMs, const std::vector<int>& extraFds);
    // Moves the transfers on and records finished ones in the table.
    void Perform();

    // How far a running transfer is.
    struct Progress {
        LONG_PTR handle = 0;
        std::string url;
        int64_t received = 0;  // bytes of the body so far
        int64_t total = -1;    // what the server announced, -1 when it did not
        double seconds = 0;    // since the transfer started
    };
    // Every running transfer, in the order they were started.
    std::vector<Progress> Running() const;

    // Told of each finished transfer: the handle, its URL and 0 or the
    // failure code (HTTP status, or a curl error).
    std::function<void(LONG_PTR handle, const std::string& url, int32_t code)> onFinished;

private:
    struct Transfer {
        CURL* easy = nullptr;
        LONG_PTR handle = 0;
        CurlTransport* owner = nullptr;
        std::string url;
        std::string body;
        int64_t received = 0;
        std::chrono::steady_clock::time_point started;
    };
    static size_t OnWrite(char* data, size_t size, size_t count, void* context);
    void Finish(CURL* easy, CURLcode result);
    void Remove(std::map<LONG_PTR, Transfer*>::iterator it);

    StreamTable* table_;
    std::string userAgent_;
    std::string caBundle_;  // the system's CA bundle and the extra CAs; "" for curl's default
    CURLM* multi_ = nullptr;
    std::map<LONG_PTR, Transfer*> transfers_;
};
