// Running URL transfers made visible: the output shows them (status
// line, window title) a few times a second while they run, and with
// --verbose each is logged on stderr about once a second.
#pragma once

#include <chrono>

#include "net/curl_transport.h"
#include "output/page_output.h"

class TransferReport {
public:
    explicit TransferReport(PageOutput* output) : output_(output) {}
    // Called by the loops whenever they wake; cheap when nothing runs.
    void Update(const CurlTransport& transport);

private:
    using Clock = std::chrono::steady_clock;
    PageOutput* output_;
    Clock::time_point shown_{}, logged_{};
    bool showing_ = false;
};
