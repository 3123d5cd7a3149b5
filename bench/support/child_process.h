// Running another program and taking what it cost: its CPU time (user
// and system, from the kernel's accounting at exit), its wall time and
// its peak resident memory.
#pragma once

#include <string>
#include <vector>

struct ChildCost {
    bool ok = false;           // it ran and exited with status 0
    int exitStatus = -1;       // its exit code, or -1 when it did not exit normally
    double cpuSeconds = 0;     // user + system
    double wallSeconds = 0;    // from start to exit
    long peakResidentKiB = 0;  // ru_maxrss
};

// Runs argv[0] (looked up in PATH) with the given arguments, stdout and
// stderr sent to /dev/null unless `keepOutput`.
ChildCost RunChild(const std::vector<std::string>& argv, bool keepOutput = false);
