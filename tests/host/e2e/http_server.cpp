// The test HTTP server.
#include "host/e2e/http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace {

const char* Reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

bool SendAll(int socket, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = send(socket, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Reads until the blank line that ends the request head.
std::string ReadHead(int client) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        head.append(buffer, size_t(n));
    }
    return head;
}

}  // namespace

TestHttpServer::TestHttpServer() = default;

TestHttpServer::~TestHttpServer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    released_.notify_all();
    if (thread_.joinable()) {
        char stop = 1;
        ssize_t ignored = write(stopPipe_[1], &stop, 1);
        (void)ignored;
        thread_.join();
    }
    for (int fd : {listener_, stopPipe_[0], stopPipe_[1]})
        if (fd >= 0) close(fd);
}

void TestHttpServer::Serve(const std::string& path, Route route) {
    std::lock_guard<std::mutex> lock(mutex_);
    routes_[path] = std::move(route);
}

bool TestHttpServer::Start() {
    if (pipe(stopPipe_) != 0) return false;
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 16) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return false;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread(&TestHttpServer::Loop, this);
    return true;
}

std::string TestHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> TestHttpServer::Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void TestHttpServer::Release() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++piecesReleased_;
    }
    released_.notify_all();
}

bool TestHttpServer::WaitForRelease(size_t piece) {
    std::unique_lock<std::mutex> lock(mutex_);
    released_.wait(lock, [&] { return stopping_ || piecesReleased_ > piece; });
    return !stopping_;
}

void TestHttpServer::Loop() {
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) continue;
        int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        Answer(client);
        close(client);
    }
}

void TestHttpServer::Answer(int client) {
    const std::string head = ReadHead(client);
    const std::string requestLine = head.substr(0, head.find("\r\n"));
    const size_t pathStart = requestLine.find(' ') + 1;
    const std::string path =
        requestLine.substr(pathStart, requestLine.find(' ', pathStart) - pathStart);
    Route route{404, "no such page\n", -1};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(requestLine);
        if (auto it = routes_.find(path); it != routes_.end()) route = it->second;
    }
    const std::string length =
        route.repeat == 0
            ? ""
            : "Content-Length: " + std::to_string(route.body.size() * route.repeat) + "\r\n";
    std::string response = "HTTP/1.0 " + std::to_string(route.status) + " " + Reason(route.status) +
                           "\r\nContent-Type: text/plain\r\n" + length +
                           "Connection: close\r\n\r\n";
    if (route.repeat != 1) {
        // The body again and again, until the count or the client is done.
        bool sending = SendAll(client, response.data(), response.size());
        for (size_t n = 0; sending && (route.repeat == 0 || n < route.repeat); ++n)
            sending = SendAll(client, route.body.data(), route.body.size());
        return;
    }
    const size_t bodyBytes = route.sendBytes < 0 ? route.body.size() : size_t(route.sendBytes);
    if (route.pieceBytes == 0) {
        response.append(route.body, 0, bodyBytes);
        SendAll(client, response.data(), response.size());
        return;
    }
    SendAll(client, response.data(), response.size());
    for (size_t at = 0, piece = 0; at < bodyBytes && WaitForRelease(piece); ++piece) {
        const size_t n = std::min(route.pieceBytes, bodyBytes - at);
        SendAll(client, route.body.data() + at, n);
        at += n;
    }
}
