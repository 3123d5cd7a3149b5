// An animation file written frame by frame as the frames are made, so
// that memory does not grow with their number (GIF, APNG).
#pragma once

#include <string>

#include "output/rgb_image.h"

class AnimationWriter {
public:
    virtual ~AnimationWriter() = default;
    // Encodes and writes one frame; the first one fixes the size, and
    // every later one must have it.
    virtual bool AddFrame(const RgbImage& frame, std::string* error) = 0;
    // Writes what ends the file (after at least one frame).
    virtual bool Finish(std::string* error) = 0;
};
