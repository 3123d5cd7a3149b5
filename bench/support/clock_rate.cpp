// A chain of dependent one-cycle additions, timed.
#include "support/clock_rate.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

constexpr int64_t kAdditions = 1 << 16;

// 64 additions per loop pass, each depending on the one before; the loop
// counter runs beside the chain on another port.
void AddChain(uint64_t* value) {
    uint64_t x = *value;
    for (int64_t i = 0; i < kAdditions / 64; ++i) {
#define QPM_ADD8                                               \
    "add $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\t" \
    "add $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\tadd $1, %0\n\t"
        asm volatile(QPM_ADD8 QPM_ADD8 QPM_ADD8 QPM_ADD8 QPM_ADD8 QPM_ADD8 QPM_ADD8 QPM_ADD8
                     : "+r"(x));
#undef QPM_ADD8
    }
    *value = x;
}

void ClockRate(benchmark::State& state) {
    uint64_t value = 0;
    for (auto _ : state) AddChain(&value);
    benchmark::DoNotOptimize(value);
}

}  // namespace

void RegisterClockRateBenchmark() {
    benchmark::RegisterBenchmark("ClockRate", ClockRate)->Repetitions(5);
}

double MeasuredClockHz(const BestTimes& times) {
    const double seconds = times.Seconds("ClockRate");
    return seconds > 0 ? double(kAdditions) / seconds : 0;
}
