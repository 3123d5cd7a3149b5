// Figure 7: start-up and memory. `qpmhost --png` of the demo page, the
// whole process, against the same run on an empty page: the difference
// is what our components and their fonts cost. And the demo run's peak
// resident memory.
#include <benchmark/benchmark.h>

#include "support/child_process.h"
#include "support/figure_report.h"
#include "support/scratch_dir.h"

namespace {

ScratchDir& Dir() {
    static ScratchDir dir;
    return dir;
}

std::string EmptyPage() {
    const std::string path = Dir() / "empty.html";
    WriteWholeFile(path, "<html><head><title>QPM ticker demo</title></head><body></body></html>\n");
    return path;
}

void Run(benchmark::State& state, const std::string& page) {
    const std::vector<std::string> argv = {
        QPMHOST_PROGRAM, page, "--png", Dir() / "out.png", "--windows-dir", Dir() / "windows"};
    long peak = 0;
    double wall = 1e9;
    for (auto _ : state) {
        ChildCost cost = RunChild(argv);
        if (!cost.ok) return state.SkipWithError("qpmhost failed");
        state.SetIterationTime(cost.cpuSeconds);
        peak = std::max(peak, cost.peakResidentKiB);
        wall = std::min(wall, cost.wallSeconds);
    }
    state.counters["peak_rss_mib"] = double(peak) / 1024;
    state.counters["wall_ms"] = wall * 1e3;
}

void StartDemo(benchmark::State& state) { Run(state, QPM_DEMO_PAGE); }
void StartEmpty(benchmark::State& state) { Run(state, EmptyPage()); }

void Report(const BestTimes& times) {
    const double demo = times.Seconds("StartDemo"), empty = times.Seconds("StartEmpty");
    if (demo <= 0 || empty <= 0) return;
    const double difference = (demo - empty) * 1e3;
    PrintFigureRow({"7 start-up: --png demo less empty page (CPU)",
                    Format("%.1f ms (demo %.1f ms)", difference, demo * 1e3),
                    Format("empty page %.1f ms", empty * 1e3), demo / empty, "< 100 ms",
                    difference < 100});
    const double rss = times.Counter("StartDemo", "peak_rss_mib");
    PrintFigureRow({"7 peak RSS, --png demo", Format("%.1f MiB", rss),
                    Format("empty page %.1f MiB", times.Counter("StartEmpty", "peak_rss_mib")),
                    rss / times.Counter("StartEmpty", "peak_rss_mib"), "< 64 MiB", rss < 64});
}

}  // namespace

BENCHMARK(StartDemo)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->UseManualTime();
BENCHMARK(StartEmpty)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->UseManualTime();

int main(int argc, char** argv) { return RunFigures(argc, argv, &Report); }
