// Figure 4: scale with the page. qpmhost, headless, on generated pages of
// 1, 10, 100 and 1000 tickers: the CPU time one virtual second of
// scrolling costs (a run with some virtual seconds of it less the run
// with none), per ticker; and whether it grows linearly: the cost of each
// further ticker from 100 to 1000 against that from 10 to 100. And the
// live terminal output of the demo page: the bytes written to the
// terminal per second, with each kind of terminal graphics.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>

#include "support/child_process.h"
#include "support/figure_report.h"
#include "support/scratch_dir.h"

namespace {

const int kTickerCounts[] = {1, 10, 100, 1000};
// Virtual milliseconds of scrolling: long enough that the scrolling's
// cost stands well above what a start of qpmhost varies by (a few ms).
int ScrollMs(int tickers) { return tickers < 100 ? 300000 : 30000; }

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
        for (int ms : {0, ScrollMs(n)})
            benchmark::RegisterBenchmark("PageCpu", PageCpu)
                ->Args({n, ms})
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1)
                ->Repetitions(3)
                ->UseManualTime();
}

// Asks the program to quit and reads what it still writes until it has:
// a program blocked writing to a full terminal would never see the
// request. Killed if it has not gone after a few seconds.
void StopInTerminal(pid_t pid, int master) {
    kill(pid, SIGTERM);
    char buffer[65536];
    for (int waited = 0; waitpid(pid, nullptr, WNOHANG) == 0; waited += 10) {
        if (waited == 5000) kill(pid, SIGKILL);
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 10) > 0 && read(master, buffer, sizeof buffer) <= 0) {
            waitpid(pid, nullptr, 0);  // the terminal is closed: it is gone or going
            break;
        }
    }
    close(master);
}

// The demo page live in a pseudo terminal of 120 x 40 cells, drawn with
// the terminal graphics `graphics`; what it writes between the first and
// the last of `kWatchSeconds` seconds.
constexpr double kSettleSeconds = 1.0, kWatchSeconds = 5.0;
const char* const kTerminalGraphics[] = {"symbols", "sixel", "kitty"};

void TerminalBytes(benchmark::State& state, const char* graphics) {
    for (auto _ : state) {
        winsize size{};
        size.ws_col = 120;
        size.ws_row = 40;
        int master = -1;
        pid_t pid = forkpty(&master, nullptr, nullptr, &size);
        if (pid < 0) return state.SkipWithError("no pseudo terminal");
        if (pid == 0) {
            setenv("TERM", "xterm-256color", 1);
            execl(QPMHOST_PROGRAM, QPMHOST_PROGRAM, QPM_DEMO_PAGE, "--term-graphics", graphics,
                  "--windows-dir", (Dir() / "windows").c_str(), static_cast<char*>(nullptr));
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
        StopInTerminal(pid, master);
        state.counters["bytes_per_s"] = counted / (kWatchSeconds - kSettleSeconds);
    }
}

// CPU milliseconds one virtual second of scrolling costs with n tickers.
double MsPerSecond(const BestTimes& times, int n) {
    const std::string base = "PageCpu/" + std::to_string(n) + "/";
    const double scrolled = times.Seconds(base + std::to_string(ScrollMs(n)));
    const double still = times.Seconds(base + "0");
    if (scrolled <= 0 || still <= 0) return -1;
    // Below what the start varies by, the cost reads as none.
    return std::max(0.0, scrolled - still) / (ScrollMs(n) / 1000.0) * 1e3;
}

void ReportPageScale(const BestTimes& times) {
    const char* figure = "4 page scale, CPU ms per ticker per s";
    const char* target = "<= 1 ms each; 100-1000 vs 10-100 <= 1.5";
    double worst = 0;
    std::string costs;
    for (int n : kTickerCounts) {
        const double ms = MsPerSecond(times, n);
        if (ms < 0) return PrintFigureRow({figure, "not measured (see the log)", "-", 0, target});
        worst = std::max(worst, ms / n);
        costs += Format("%s%d: %.3f", costs.empty() ? "" : ", ", n, ms / n);
    }
    // Linear: each further ticker costs the same, however many there are.
    const double early = (MsPerSecond(times, 100) - MsPerSecond(times, 10)) / 90;
    const double late = (MsPerSecond(times, 1000) - MsPerSecond(times, 100)) / 900;
    const double core = MsPerSecond(times, 100) / 10;  // percent of one core
    PrintFigureRow({figure, costs + Format("; 100 tickers %.1f%% of a core", core),
                    Format("each ticker 10-100: %.3f, 100-1000: %.3f", early, late), late / early,
                    target, worst <= 1.0 && late / early <= 1.5 && core < 10});
}

void ReportTerminal(const BestTimes& times) {
    for (const char* graphics : kTerminalGraphics) {
        const double bytes = times.Counter(std::string("TerminalBytes/") + graphics, "bytes_per_s");
        if (bytes > 0)
            PrintFigureRow({Format("4 terminal output, demo page, %s", graphics),
                            Format("%.0f bytes/s", bytes), "-", 0, "reported", false, false});
    }
}

void Report(const BestTimes& times) {
    ReportPageScale(times);
    ReportTerminal(times);
}

void RegisterTerminalBytes() {
    for (const char* graphics : kTerminalGraphics)
        benchmark::RegisterBenchmark((std::string("TerminalBytes/") + graphics).c_str(),
                                     TerminalBytes, graphics)
            ->Iterations(1)
            ->Unit(benchmark::kSecond);
}

}  // namespace

int main(int argc, char** argv) {
    RegisterTerminalBytes();
    RegisterPageCpu();
    return RunFigures(argc, argv, &Report);
}
