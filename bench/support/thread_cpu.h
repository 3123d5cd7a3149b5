// CPU time of the calling thread, for timing one short piece of work
// (a frame) without counting the time other programs took the processor.
#pragma once

#include <ctime>

inline double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}
