// The module that the module tests load: two exports, one of which a
// Windows module would export with its stdcall decoration, as
// "_Probe_Proc@16" (four 4-byte arguments on 32-bit Windows).
#include <cstdint>

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

PROBE_EXPORT int Probe_Add(int a, int b) { return a + b; }

PROBE_EXPORT intptr_t Probe_Proc(void* window, unsigned message, uintptr_t wParam,
                                 intptr_t lParam) {
    return (window ? 1000 : 0) + intptr_t(message) + intptr_t(wParam) * 10 + lParam * 100;
}
