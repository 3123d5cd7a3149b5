// Transfers described for people.
#include "output/transfer_status.h"

#include <cinttypes>
#include <cstdio>

namespace {

// A rate from less time than this says more about start-up than about the line.
constexpr double kShortestRateSeconds = 0.2;

}  // namespace

std::string TransferName(const std::string& url) {
    std::string rest = url;
    const size_t scheme = rest.find("://");
    if (scheme != std::string::npos) rest = rest.substr(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("?#"));
    const size_t slash = rest.find('/');
    const std::string host = rest.substr(0, slash);
    std::string path = slash == std::string::npos ? "" : rest.substr(slash);
    while (!path.empty() && path.back() == '/') path.pop_back();
    const std::string last = path.substr(path.find_last_of('/') + 1);
    return last.empty() ? host : last;
}

std::string FormatBytes(int64_t bytes) {
    char text[32];
    if (bytes < 1000) {
        snprintf(text, sizeof text, "%" PRId64 " B", bytes);
        return text;
    }
    const char* units[] = {"kB", "MB", "GB", "TB"};
    double value = double(bytes) / 1000;
    int unit = 0;
    while (value >= 999.5 && unit < 3) {
        value /= 1000;
        ++unit;
    }
    // Three significant digits: "3.25 kB", "32.5 kB", "325 kB".
    const int decimals = value < 9.995 ? 2 : value < 99.95 ? 1 : 0;
    snprintf(text, sizeof text, "%.*f %s", decimals, value, units[unit]);
    return text;
}

std::string DescribeTransfer(const TransferStatus& transfer) {
    std::string text = TransferName(transfer.url) + " " + FormatBytes(transfer.received);
    if (transfer.total >= 0) text += " of " + FormatBytes(transfer.total);
    if (transfer.seconds >= kShortestRateSeconds)
        text += ", " + FormatBytes(int64_t(double(transfer.received) / transfer.seconds)) + "/s";
    return text;
}

std::string DescribeTransfers(const std::vector<TransferStatus>& transfers) {
    std::string text;
    for (const TransferStatus& transfer : transfers)
        text += (text.empty() ? "" : "; ") + DescribeTransfer(transfer);
    return text;
}
