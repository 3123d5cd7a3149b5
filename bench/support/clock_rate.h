// The processor's clock rate, measured rather than read: this machine
// offers no cycle counter to user programs (perf reports "not supported"
// for cycles), so cycles per byte are estimated from a chain of dependent
// additions, each of which takes exactly one cycle.
#pragma once

#include "support/figure_report.h"

// Registers the benchmark "ClockRate", the timed chain.
void RegisterClockRateBenchmark();

// Cycles per second, from the best run of "ClockRate"; 0 if it did not run.
double MeasuredClockHz(const BestTimes& times);
