// A small animated PNG writer: 8-bit RGB frames, each compressed with
// zlib in full (no frame differencing), looping forever. Viewers that do
// not know APNG show the first frame.
#pragma once

#include <cstdint>
#include <vector>

#include "output/rgb_image.h"

// The whole file. All frames must have the first frame's size.
std::vector<uint8_t> EncodeApng(const std::vector<RgbImage>& frames, int frameMs);
