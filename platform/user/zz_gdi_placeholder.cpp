// TEMPORARY: removed when the drawing half (platform/gdi) is merged.
//
// Weak stand-ins for the drawing functions the window half calls, so that
// this branch links and its tests run before the drawing half exists.
// They draw nothing; CreateWindowDC hands out one fake DC value. The
// drawing half's real (strong) definitions replace them at link time.
#include "../internal/gdi_internal.h"

namespace {

HDC const kFakeWindowDC = reinterpret_cast<HDC>(uintptr_t(0x0DC0));
HGDIOBJ const kFakeStockObject = reinterpret_cast<HGDIOBJ>(uintptr_t(0x0B70));

}  // namespace

namespace qpm {

__attribute__((weak)) HDC CreateWindowDC(HWND, const RECT*) { return kFakeWindowDC; }

__attribute__((weak)) bool ReleaseWindowDC(HDC hdc) { return hdc == kFakeWindowDC; }

__attribute__((weak)) void ForgetWindowDCs(HWND) {}

}  // namespace qpm

__attribute__((weak)) int WINAPI FillRect(HDC, const RECT*, HBRUSH) { return 1; }

__attribute__((weak)) HGDIOBJ WINAPI GetStockObject(int) { return kFakeStockObject; }
