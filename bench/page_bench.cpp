// Figure 4: scale with the page. qpmhost, headless, on generated pages of
// 1, 10, 100 and 1000 tickers: the CPU time one virtual second of
// scrolling costs, per ticker (the run with 10 virtual seconds less the
// run with none). And the live terminal output of the demo page: the
// bytes written to the terminal per second.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

#include "support/child_process.h"
#include "support/figure_report.h"
#include "support/scratch_dir.h"

namespace {

const int kTickerCounts[] = {1, 10, 100, 1000};
constexpr int kScrollMs = 10000;

ScratchDir& Dir() {
    static ScratchDir dir;
    return dir;
}

std::string PageOf(int tickers) {
    const std::string path = Dir() / ("tickers-" + std::to_string(tickers) + ".html");
    std::string html = "<html><body>\n";
    for (int i = 0; i < tickers; ++i)
        html += "<embed type=\"application/x-pellux-ticker\" width=\"400\" text=\"Ticker " +
                std::to_string(i) +
                ": the news of the hour scrolls past, right to left, again and again.\">\n";
    html += "</body></html>\n";
    WriteWholeFile(path, html);
    return path;
}

// args: tickers, virtual milliseconds of scrolling.
void PageCpu(benchmark::State& state) {
    const std::string page = PageOf(int(state.range(0)));
    const std::vector<std::string> argv = {QPMHOST_PROGRAM,
                                           page,
                                           "--null",
                                           "--after",
                                           std::to_string(state.range(1)),
                                           "--windows-dir",
                                           Dir() / "windows"};
    for (auto _ : state) {
        ChildCost cost = RunChild(argv);
        if (!cost.ok) return state.SkipWithError("qpmhost failed");
        state.SetIterationTime(cost.cpuSeconds);
    }
}

void RegisterPageCpu() {
    for (int n : kTickerCounts)
        for (int ms : {0, kScrollMs})
            benchmark::RegisterBenchmark("PageCpu", PageCpu)
                ->Args({n, ms})
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1)
                ->Repetitions(3)
                ->UseManualTime();
}

// The demo page live in a pseudo terminal of 120 x 40 cells; what it
// writes between the first and the last of `kWatchSeconds` seconds.
constexpr double kSettleSeconds = 1.0, kWatchSeconds = 5.0;

void TerminalBytes(benchmark::State& state) {
    for (auto _ : state) {
        winsize size{};
        size.ws_col = 120;
        size.ws_row = 40;
        int master = -1;
        pid_t pid = forkpty(&master, nullptr, nullptr, &size);
        if (pid < 0) return state.SkipWithError("no pseudo terminal");
        if (pid == 0) {
            setenv("TERM", "xterm-256color", 1);
            execl(QPMHOST_PROGRAM, QPMHOST_PROGRAM, QPM_DEMO_PAGE, "--windows-dir",
                  (Dir() / "windows").c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        double counted = 0;
        char buffer[65536];
        for (;;) {
            const double t = std::chrono::duration<double>(Clock::now() - start).count();
            if (t >= kWatchSeconds) break;
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n <= 0) break;
            if (t >= kSettleSeconds) counted += double(n);
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        close(master);
        state.counters["bytes_per_s"] = counted / (kWatchSeconds - kSettleSeconds);
    }
}

void Report(const BestTimes& times) {
    const auto perTickerMs = [&](int n) {
        const std::string base = "PageCpu/" + std::to_string(n) + "/";
        const double scrolled = times.Seconds(base + std::to_string(kScrollMs));
        const double idle = times.Seconds(base + "0");
        if (scrolled <= 0 || idle <= 0) return -1.0;
        return (scrolled - idle) / (kScrollMs / 1000.0) / n * 1e3;
    };
    double worst = 0;
    std::string costs;
    for (int n : kTickerCounts) {
        const double ms = perTickerMs(n);
        if (ms < 0) return;
        worst = std::max(worst, ms);
        costs += Format("%s%d: %.3f", costs.empty() ? "" : ", ", n, ms);
    }
    // Linear: a ticker costs no more among 1000 than among 10.
    const double growth = perTickerMs(1000) / perTickerMs(10);
    PrintFigureRow({"4 page scale, CPU ms per ticker per s", costs, "10 tickers' cost per ticker",
                    growth, "<= 1 ms each; 1000 vs 10 <= 1.5", worst <= 1.0 && growth <= 1.5});
    const double bytes = times.Counter("TerminalBytes", "bytes_per_s");
    if (bytes > 0)
        PrintFigureRow({"4 terminal output, demo page", Format("%.0f bytes/s", bytes), "-", 0,
                        "reported", true});
}

}  // namespace

BENCHMARK(TerminalBytes)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    RegisterPageCpu();
    return RunFigures(argc, argv, &Report);
}
