// QPM_CHECK: an invariant of this code, checked in every build (release
// included).
//
// A failed check is a bug here, never a caller's mistake: it prints where
// and why on stderr and aborts, because going on would follow a broken
// table or free memory twice. A caller's mistake (a bad handle, a null
// pointer, too small a buffer) is answered as Win32 answers it, with a
// failure return, and never with this.
#pragma once

#include <cstdio>
#include <cstdlib>

#define QPM_CHECK(condition, why) \
    ((condition) ? static_cast<void>(0) : ::qpm::CheckFailed(__FILE__, __LINE__, #condition, why))

#ifdef QPM_COVERAGE_BUILD
extern "C" void __gcov_dump(void);
#endif

namespace qpm {

[[noreturn]] inline void CheckFailed(const char* file, int line, const char* condition,
                                     const char* why) {
    fprintf(stderr, "%s:%d: invariant broken: %s (%s)\n", file, line, why, condition);
    fflush(stderr);
#ifdef QPM_COVERAGE_BUILD
    __gcov_dump();  // what follows is never counted: the counters are written
#endif
    abort();  // GCOVR_EXCL_LINE
}

}  // namespace qpm
