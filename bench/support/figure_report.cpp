// The best time of each benchmark, and the figure rows made from them.
#include "support/figure_report.h"

#include <cstdarg>
#include <cstdio>

namespace {

// The benchmark's name without the repetition and time-type suffixes, so
// that every repetition of it files under one name.
std::string BaseName(const benchmark::BenchmarkReporter::Run& run) {
    std::string name = run.run_name.function_name;
    if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
    return name;
}

}  // namespace

void BestTimes::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0)
            continue;
        // Manual time stands for a child's CPU time; otherwise our own.
        const bool manual = run.run_name.time_type == "manual_time";
        const double total = manual ? run.real_accumulated_time : run.cpu_accumulated_time;
        const double seconds = total / double(run.iterations);
        Best& best = best_[BaseName(run)];
        if (best.seconds == 0 || seconds < best.seconds) {
            best.seconds = seconds;
            best.counters = run.counters;
        }
    }
}

double BestTimes::Seconds(const std::string& name) const {
    auto it = best_.find(name);
    return it == best_.end() ? 0 : it->second.seconds;
}

double BestTimes::Counter(const std::string& name, const std::string& counter) const {
    auto it = best_.find(name);
    if (it == best_.end()) return 0;
    auto c = it->second.counters.find(counter);
    return c == it->second.counters.end() ? 0 : c->second.value;
}

std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

void PrintFigureRow(const FigureRow& row) {
    const std::string ratio = row.ratio > 0 ? Format("%.3g", row.ratio) : "-";
    const char* verdict = !row.judged ? "-" : row.met ? "met" : "NOT MET";
    printf("FIGURE|%s|%s|%s|%s|%s|%s\n", row.figure.c_str(), row.ours.c_str(), row.peer.c_str(),
           ratio.c_str(), row.target.c_str(), verdict);
    fflush(stdout);
}

int RunFigures(int argc, char** argv, const std::function<void(const BestTimes&)>& report) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    BestTimes times;
    benchmark::RunSpecifiedBenchmarks(&times);
    benchmark::Shutdown();
    report(times);
    return 0;
}
