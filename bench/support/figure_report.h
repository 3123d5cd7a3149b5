// Runs a program's benchmarks and turns their times into the rows of the
// figures table that scripts/bench.sh prints.
//
// Every figure compares our code with a peer measured in the same run,
// because absolute times on a shared machine move from run to run while
// the ratio of two measurements taken side by side stays put. Each
// benchmark is repeated; a figure uses the best repetition of each side
// (load only ever adds time).
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>

// The best (smallest) time per iteration of each benchmark, in seconds:
// CPU time of this process, or the manual time a benchmark reported
// itself (used for the CPU time of a child process).
class BestTimes : public benchmark::ConsoleReporter {
public:
    // Plain text: the output goes to a log file, not a terminal.
    BestTimes() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override;

    // Seconds per iteration; 0 when the benchmark did not run.
    double Seconds(const std::string& name) const;
    // A user counter of the benchmark's best repetition; 0 when absent.
    double Counter(const std::string& name, const std::string& counter) const;

private:
    struct Best {
        double seconds = 0;
        benchmark::UserCounters counters;
    };
    std::map<std::string, Best> best_;
};

// One row of the table. `ratio` is ours relative to the peer, oriented so
// that the target reads "at least" or "at most" as the figure states it
// (0: no peer). A row with no target only reports (`judged` false).
struct FigureRow {
    std::string figure;
    std::string ours;
    std::string peer;
    double ratio = 0;
    std::string target;
    bool met = false;
    bool judged = true;
};

// Prints "FIGURE|figure|ours|peer|ratio|target|met" on stdout, the line
// scripts/bench.sh collects into its table.
void PrintFigureRow(const FigureRow& row);

// printf into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Initialises Google Benchmark from the command line, runs the selected
// benchmarks, then hands their best times to `report`, which prints the
// figure rows. Returns the program's exit code.
int RunFigures(int argc, char** argv, const std::function<void(const BestTimes&)>& report);
