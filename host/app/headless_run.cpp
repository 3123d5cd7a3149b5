// Running a page under the manual clock.
#include <qpm_platform.h>

#include <algorithm>
#include <chrono>

#include "app/options.h"
#include "app/run_loops.h"
#include "app/transfer_report.h"
#include "output/page_output.h"
#include "session/host.h"
#include "session/log.h"
#include "session/stream_notices.h"

namespace {

// Virtual milliseconds per step: timers fire at their exact times
// anyway; the step only decides how often streams are served.
constexpr DWORD kStepMs = 10;
constexpr int kPollMs = 50;
// A component that keeps posting itself messages must not hold the run
// for ever: after this many rounds in one step the run moves on.
constexpr int kMaxRounds = 100000;

class HeadlessRun {
public:
    HeadlessRun(Host& host, PageOutput& output, const HostOptions& options)
        : host_(host), output_(output), options_(options), transfers_(&output) {}

    void Run();

private:
    void Settle();
    void Advance(DWORD ms);
    void Capture();

    Host& host_;
    PageOutput& output_;
    const HostOptions& options_;
    TransferReport transfers_;
};

// Delivers everything due now: posted messages, paints, stream notices,
// and the transfers running, carried to their end. A transfer that takes
// longer than --stream-timeout (real time) fails as a timeout, so that a
// slow server cannot stall the run.
void HeadlessRun::Settle() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const auto timeout = std::chrono::milliseconds(options_.streamTimeoutMs);
    for (int round = 0;; ++round) {
        if (round == kMaxRounds) {
            LogError("the components keep posting messages; moving the clock on regardless");
            return;
        }
        UINT handled = QpmPumpMessages();
        if (host_.streams.HasDueNotice()) {
            SendDueStreamNotices(host_);
            continue;
        }
        if (host_.transport->Active()) {
            if (Clock::now() - start >= timeout) {
                LogVerbose("gave up waiting for URL transfers after %d ms",
                           options_.streamTimeoutMs);
                host_.transport->AbortAll(CURLE_OPERATION_TIMEDOUT);
            } else {
                host_.transport->Wait(kPollMs, {});
                transfers_.Update(*host_.transport);
            }
            continue;
        }
        if (handled == 0) return;
    }
}

void HeadlessRun::Advance(DWORD ms) {
    while (ms > 0) {
        const DWORD step = std::min(ms, kStepMs);
        QpmAdvanceClock(step);
        Settle();
        ms -= step;
    }
}

void HeadlessRun::Capture() {
    QpmPixels pixels;
    if (QpmGetWindowPixels(host_.pageWindow, &pixels)) output_.Show(pixels);
}

void HeadlessRun::Run() {
    Settle();
    Advance(DWORD(options_.afterMs));
    if (options_.output == OutputMode::kNull) return;
    const int frames = options_.output == OutputMode::kAnimation ? options_.frames : 1;
    for (int i = 0; i < frames; ++i) {
        if (i > 0) Advance(DWORD(options_.frameMs));
        Capture();
    }
}

}  // namespace

void RunHeadless(Host& host, PageOutput& output, const HostOptions& options) {
    HeadlessRun run(host, output, options);
    run.Run();
}
