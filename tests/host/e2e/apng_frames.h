// Animated PNGs read back frame by frame: chunks (CRCs checked), zlib,
// the five row filters, and each frame's rectangle drawn over the picture
// the one before left. 8-bit RGB frames, neither disposed of nor blended,
// as qpmhost writes them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ApngInfo {
    int width = 0, height = 0;
    uint32_t frames = 0;  // as the acTL chunk states
    uint32_t plays = 0;   // 0: for ever
};

// Calls `frame(index, picture)` (0x00RRGGBB, row by row) for each frame;
// false with `error` at the first thing it cannot read.
bool ForEachApngFrame(const std::string& path, ApngInfo* info,
                      const std::function<void(int, const std::vector<uint32_t>&)>& frame,
                      std::string* error);
