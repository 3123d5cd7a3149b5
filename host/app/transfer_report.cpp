// Transfers on the status line, in the title and in the log.
#include "app/transfer_report.h"

#include "session/log.h"

namespace {

constexpr auto kShowEvery = std::chrono::milliseconds(250);
constexpr auto kLogEvery = std::chrono::seconds(1);

}  // namespace

void TransferReport::Update(const CurlTransport& transport) {
    const std::vector<CurlTransport::Progress> running = transport.Running();
    if (running.empty()) {
        if (showing_) output_->ShowTransfers({});
        showing_ = false;
        return;
    }
    std::vector<TransferStatus> statuses;
    statuses.reserve(running.size());
    for (const CurlTransport::Progress& p : running)
        statuses.push_back(TransferStatus{p.url, p.received, p.total, p.seconds});
    const Clock::time_point now = Clock::now();
    if (!showing_ || now - shown_ >= kShowEvery) {
        output_->ShowTransfers(statuses);
        shown_ = now;
        showing_ = true;
    }
    if (IsVerbose() && now - logged_ >= kLogEvery) {
        for (const TransferStatus& status : statuses)
            LogVerbose("transfer %s: %s", status.url.c_str(), DescribeTransfer(status).c_str());
        logged_ = now;
    }
}
