// Windows-1252, the code page every string of this layer is in.
#pragma once

#include <cstdint>

namespace qpm {

// The Unicode character of a Windows-1252 byte. The five bytes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// control of the same value, as Windows' conversion does.
uint32_t UnicodeFromCp1252(unsigned char byte);

}  // namespace qpm
