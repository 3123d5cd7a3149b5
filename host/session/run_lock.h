// The lock that tells qpmhost runs sharing a user data directory apart.
// Every run holds it shared for its whole life; the kernel drops it when
// the process ends, however it ends (SIGKILL included). So a run that
// can take it exclusively knows that no other qpmhost is at work there,
// and that what temporary files it finds belong to runs that are gone.
#pragma once

#include <string>

class RunLock {
public:
    // Opens (making it when missing) the lock file; takes nothing yet.
    explicit RunLock(const std::string& path);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // False (with error() saying why) when the file cannot be opened.
    bool opened() const { return fd_ >= 0; }
    const std::string& error() const { return error_; }

    // Takes the lock exclusively if no other run holds it; never waits.
    // False with error() empty when another run holds it.
    bool TryAlone();
    // Holds the lock shared from now on (an exclusive one becomes shared).
    // Waits a little for a run that holds it exclusively: it is sweeping,
    // which is quick. False when the lock cannot be had.
    bool Share();

private:
    int fd_ = -1;
    std::string path_, error_;
};
