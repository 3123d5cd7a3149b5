// The test HTTPS server's process.
#include "host/e2e/tls_server.h"

#include <signal.h>

#include <fstream>

#include "host/e2e/qpmhost_process.h"
#include "host/e2e/tmux_session.h"

TestTlsServer::~TestTlsServer() {
    if (pid_ > 0) kill(pid_, SIGTERM);
    if (output_) pclose(output_);
}

bool TestTlsServer::Start(const std::string& directory) {
    work_ = MakeScratchDirectory();
    // exec: the shell becomes the server, so pclose waits for the server.
    output_ =
        popen(("exec python3 " + ShellQuote(QPM_TLS_SERVER_SCRIPT) + " " + ShellQuote(directory) +
               " " + ShellQuote(work_) + " 2>" + ShellQuote(work_ + "/stderr"))
                  .c_str(),
              "r");
    // It says its port once it listens, or ends (EOF) when it cannot.
    return output_ && fscanf(output_, "PORT %d PID %d", &port_, &pid_) == 2;
}

std::string TestTlsServer::Url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> TestTlsServer::Requests() const {
    std::vector<std::string> lines;
    std::ifstream log(work_ + "/requests.log");
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
}
