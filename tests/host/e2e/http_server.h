// A small HTTP/1.0 server for tests, on 127.0.0.1 and a port of the
// system's choosing, served by one thread. Each path has a canned
// answer: a status and a body, optionally cut short (the connection is
// closed after `sendBytes` bytes of a body whose Content-Length promises
// all of it), sent in pieces that the test lets go one by one, so a
// transfer can be watched while it runs, or repeated (without end).
#pragma once

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TestHttpServer {
public:
    struct Route {
        int status = 200;
        std::string body;
        long sendBytes = -1;    // -1: the whole body
        size_t pieceBytes = 0;  // > 0: the body goes in pieces of this size, each when released
        size_t repeat = 1;      // the body sent this many times; 0: for ever, with no length
    };

    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    void Serve(const std::string& path, Route route);
    bool Start();  // false when no socket could be opened
    std::string Url(const std::string& path) const;
    // The request lines received so far ("GET /x HTTP/1.1").
    std::vector<std::string> Requests();
    // Lets the next piece of a body sent in pieces go.
    void Release();

private:
    void Loop();
    void Answer(int client);
    bool WaitForRelease(size_t piece);

    int listener_ = -1;
    int stopPipe_[2] = {-1, -1};
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::map<std::string, Route> routes_;
    std::vector<std::string> requests_;
    std::condition_variable released_;
    size_t piecesReleased_ = 0;
    bool stopping_ = false;
};
