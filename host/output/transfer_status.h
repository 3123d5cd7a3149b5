// What the user is shown of running URL transfers: the terminal's status
// line, the window's title and the --verbose log all describe each one
// the same way ("headlines.txt 3.2 kB of 10 kB, 1.1 kB/s").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TransferStatus {
    std::string url;
    int64_t received = 0;  // bytes so far
    int64_t total = -1;    // bytes announced by the server, -1 when unknown
    double seconds = 0;    // since the transfer started
};

// The last segment of the URL's path ("headlines.txt"), else its host.
std::string TransferName(const std::string& url);

// A byte count as people read it: "950 B", "3.2 kB", "12 MB" (powers of 1000).
std::string FormatBytes(int64_t bytes);

// "headlines.txt 3.2 kB of 10 kB, 1.1 kB/s": the name, what arrived, the
// total when known, and the average rate once there is time to measure it.
std::string DescribeTransfer(const TransferStatus& transfer);

// Every transfer described, joined by "; ".
std::string DescribeTransfers(const std::vector<TransferStatus>& transfers);
