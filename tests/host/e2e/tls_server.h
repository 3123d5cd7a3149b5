// An HTTPS server for tests: tls_file_server.py as a child process,
// serving the files of a directory on 127.0.0.1 with a certificate that
// a CA of its own has signed.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class TestTlsServer {
public:
    TestTlsServer() = default;
    ~TestTlsServer();  // ends the server
    TestTlsServer(const TestTlsServer&) = delete;
    TestTlsServer& operator=(const TestTlsServer&) = delete;

    // Serves `directory`; false when the server did not start.
    bool Start(const std::string& directory);
    std::string Url(const std::string& path) const;
    std::string CaFile() const { return work_ + "/ca.pem"; }
    // The request lines received so far ("GET /x HTTP/1.1").
    std::vector<std::string> Requests() const;

private:
    std::string work_;
    FILE* output_ = nullptr;
    int port_ = 0, pid_ = 0;
};
