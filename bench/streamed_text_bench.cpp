// Figure 5: streamed text. 1 MiB and 16 MiB appended to a ticker through
// its stream, in the framework's 1024-byte pieces: the time per MiB must
// not grow with the text (at most twice at 16 MiB what it is at 1 MiB).
#include <benchmark/benchmark.h>

#include "support/component_host.h"
#include "support/figure_report.h"

namespace {

constexpr size_t kMiB = size_t(1) << 20;

void StreamText(benchmark::State& state) {
    static ComponentHost host(QPM_PELLUX_LIBRARY);
    static const std::string pattern(64 * 1024, 'x');
    const size_t size = size_t(state.range(0)) * kMiB;
    host.SetStreamBytes(&pattern, size);
    for (auto _ : state) {
        if (host.Start({{"SRC", "headlines.txt"}}, 400, 15) == nullptr)
            return state.SkipWithError("the ticker did not start");
        host.DeliverPosted();   // its stream-ready notice
        host.AnnounceStream();  // it pulls the whole text, then the end
        if (!host.StreamEnded()) return state.SkipWithError("the stream did not end");
        host.Stop();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}

void Report(const BestTimes& times) {
    const double one = times.Seconds("StreamText/1"), sixteen = times.Seconds("StreamText/16");
    if (one <= 0 || sixteen <= 0) return;
    const double perMiB1 = one * 1e3, perMiB16 = sixteen / 16 * 1e3;
    const double ratio = perMiB16 / perMiB1;
    PrintFigureRow({"5 streamed text, ms per MiB", Format("%.2f at 16 MiB", perMiB16),
                    Format("%.2f at 1 MiB", perMiB1), ratio, "<= 2", ratio <= 2});
}

}  // namespace

BENCHMARK(StreamText)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond)->Repetitions(5);

int main(int argc, char** argv) { return RunFigures(argc, argv, &Report); }
