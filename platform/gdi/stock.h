// Stock objects and the LOGFONTA constants this subset's header leaves out.
#pragma once

#include <windows.h>

namespace qpm {

// Stock indices and pitch/family bits of Win32 that <windows.h> here
// does not declare (no component names them).
constexpr int kDeviceDefaultFont = 14;
constexpr int kSystemFixedFont = 16;
constexpr BYTE kVariablePitch = 2;
constexpr BYTE kFixedPitch = 1;
constexpr BYTE kFamilyRoman = 0x10;
constexpr BYTE kFamilySwiss = 0x20;
constexpr BYTE kFamilyModern = 0x30;

// GetStockObject(index), or nullptr for an unknown index.
HGDIOBJ StockObject(int index);

}  // namespace qpm
