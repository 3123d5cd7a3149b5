// Animated PNG, written as the frames come: 8-bit RGB; each frame after
// the first holds only the rectangle that changed, drawn over the frame
// before; every frame is compressed with zlib; the animation loops for
// ever. The frame count, which the file states before the frames, is
// written at the end. Viewers that do not know APNG show the first frame.
#pragma once

#include <cstdint>
#include <vector>

#include "output/animation_writer.h"
#include "output/staged_file.h"

class ApngWriter : public AnimationWriter {
public:
    ApngWriter(StagedFile* file, int frameMs) : file_(file), frameMs_(frameMs) {}
    bool AddFrame(const RgbImage& frame, std::string* error) override;
    bool Finish(std::string* error) override;

private:
    bool BeginFile(const RgbImage& first, std::string* error);
    bool PutChunk(const char type[4], const std::vector<uint8_t>& data, std::string* error);

    StagedFile* file_;
    int frameMs_;
    RgbImage previous_;
    uint32_t frames_ = 0;
    uint32_t sequence_ = 0;          // of the fcTL and fdAT chunks
    uint64_t animationControl_ = 0;  // where the acTL chunk is
};
