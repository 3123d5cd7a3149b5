// Figure 2: the whole download path. qpmhost (its own code, run in this
// process) starts the installer on a 64 MiB module given as a file URL:
// curl reads it, the host's stream table announces it, the framework
// pulls it in 1024-byte pieces, and the installer fingerprints it and
// writes it to its temporary file, then asks (answered No). The peer is
// md5sum of the same file, read from the page cache.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "app/host_app.h"
#include "app/options.h"
#include "support/child_process.h"
#include "support/figure_report.h"
#include "support/scratch_dir.h"

namespace {

constexpr size_t kModuleSize = size_t(64) << 20;

struct Fixture {
    ScratchDir dir;
    std::string module = dir / "module.bin";
    bool ready = false;

    Fixture() {
        std::string bytes(kModuleSize, '\0');
        std::mt19937 random(42);
        for (size_t i = 0; i < bytes.size(); i += 4) {
            const uint32_t r = random();
            memcpy(&bytes[i], &r, 4);
        }
        // Written by us, so the file is in the page cache for both sides.
        ready = WriteWholeFile(module, bytes);
        setenv("TMPDIR", dir.path().c_str(), 1);  // the installer's temporary file
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

HostOptions InstallerRun(const Fixture& f) {
    HostOptions options;
    options.component = QPM_VARNOQ_LIBRARY;
    options.attributes = {{"TYPE", "application/x-qpm-bench"},
                          {"QPMPLATFORMS", "Win32"},
                          {"QPMSRC", "file://" + f.module}};
    options.output = OutputMode::kNull;
    options.consent = ConsentAnswer::kNo;
    options.windowsDirectory = f.dir / "windows";
    options.streamTimeoutMs = 600000;
    return options;
}

void DownloadOurs(benchmark::State& state) {
    Fixture& f = Shared();
    if (!f.ready) return state.SkipWithError("cannot write the module");
    const HostOptions options = InstallerRun(f);
    for (auto _ : state)
        if (RunHost(options) != kExitOk) return state.SkipWithError("qpmhost failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kModuleSize));
}

void DownloadMd5sum(benchmark::State& state) {
    Fixture& f = Shared();
    if (!f.ready) return state.SkipWithError("cannot write the module");
    for (auto _ : state) {
        ChildCost cost = RunChild({"md5sum", f.module});
        if (!cost.ok) return state.SkipWithError("md5sum failed");
        state.SetIterationTime(cost.cpuSeconds);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kModuleSize));
}

void Report(const BestTimes& times) {
    const double ours = times.Seconds("DownloadOurs"), peer = times.Seconds("DownloadMd5sum");
    if (ours <= 0 || peer <= 0) return;
    const double mb = double(kModuleSize) / 1e6;
    const double ratio = peer / ours;  // throughput, ours relative to md5sum's
    PrintFigureRow({"2 download path, 64 MiB (CPU)", Format("%.0f MB/s", mb / ours),
                    Format("md5sum %.0f MB/s", mb / peer), ratio, ">= 0.5 of md5sum",
                    ratio >= 0.5});
}

}  // namespace

// The process's CPU time: whatever thread libcurl might use counts too.
BENCHMARK(DownloadOurs)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->MeasureProcessCPUTime();
BENCHMARK(DownloadMd5sum)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->UseManualTime();

int main(int argc, char** argv) { return RunFigures(argc, argv, &Report); }
