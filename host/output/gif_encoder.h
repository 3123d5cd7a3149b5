// A small animated GIF writer: one global palette of at most 256
// colours for all frames (the most frequent colours, every other colour
// mapped to the nearest of them), LZW-compressed frames, looping forever.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "output/rgb_image.h"

// The GIF flavour of LZW: variable code width from minCodeSize + 1 up to
// 12 bits, a clear code first and whenever the table is full, an end
// code last; codes packed least significant bit first. `indices` must
// be below 2^minCodeSize.
std::vector<uint8_t> LzwEncode(const std::vector<uint8_t>& indices, int minCodeSize);

// Builds the palette (3 bytes per entry, at most 256 entries) from the
// frames' colours and returns each frame's pixels as palette indices.
std::vector<uint8_t> BuildPalette(const std::vector<RgbImage>& frames,
                                  std::vector<std::vector<uint8_t>>* indices);

// The whole GIF file. All frames must have the first frame's size.
std::vector<uint8_t> EncodeGif(const std::vector<RgbImage>& frames, int frameMs);
