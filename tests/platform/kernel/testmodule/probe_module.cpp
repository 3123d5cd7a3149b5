// The module that the module tests load: two exports, one of them a
// window procedure, which a Windows module exports with its stdcall
// decoration, as "_Probe_Proc@16" (four 4-byte arguments on 32-bit
// Windows). On Linux the ELF symbol is the plain name.
#include <cstdint>

#if defined(_WIN32)
#define PROBE_EXPORT extern "C"  // exported through the .def file
#define PROBE_STDCALL __stdcall
#else
#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))
#define PROBE_STDCALL
#endif

PROBE_EXPORT int Probe_Add(int a, int b) { return a + b; }

PROBE_EXPORT intptr_t PROBE_STDCALL Probe_Proc(void* window, unsigned message, uintptr_t wParam,
                                               intptr_t lParam) {
    return (window ? 1000 : 0) + intptr_t(message) + intptr_t(wParam) * 10 + lParam * 100;
}
