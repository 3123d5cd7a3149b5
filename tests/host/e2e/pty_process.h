// qpmhost run on a pseudo-terminal of the test's own, of a given size in
// cells and pixels, so that a test sees every byte it writes to its
// terminal (graphics protocols that tmux would not pass on) and can type.
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

class PtyProcess {
public:
    // Starts `QPMHOST_PATH arguments...` in a session of its own whose
    // controlling terminal is the pty, with `environment` added to the
    // test's; stderr goes to a file (errors()).
    PtyProcess(const std::vector<std::string>& arguments,
               const std::map<std::string, std::string>& environment, int columns, int rows,
               int pixelWidth, int pixelHeight);
    ~PtyProcess();  // kills it if it still runs
    PtyProcess(const PtyProcess&) = delete;
    PtyProcess& operator=(const PtyProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // Reads what it writes until `done(everything so far)` holds or `seconds` pass.
    bool ReadUntil(const std::function<bool(const std::string&)>& done, int seconds = 30);
    const std::string& output() const { return output_; }
    std::string errors() const;
    void Type(const std::string& bytes);
    // Reads on until it exits; its exit code, or -1 when `seconds` pass first.
    int Wait(int seconds = 30);

private:
    pid_t pid_ = -1;
    int master_ = -1;
    std::string output_, errorPath_;
};
