// Animated GIF through giflib, written as the frames come, looping for
// ever. The first frame's colours, reduced by libimagequant to at most
// 255, begin the file's global palette. Each later frame holds only the
// rectangle that changed, with the pixels that did not change left
// transparent (the frame before shows through). Its colours are those of
// the global palette when they are as near to it as the first frame's
// were; new colours are added to the global palette's free entries
// (rewritten in place, the frames before use none of them) while there
// are some; a frame that still does not fit gets a palette of its own.
// Memory holds two frames, whatever their number.
#pragma once

#include <gif_lib.h>

#include "output/animation_writer.h"
#include "output/gif_palette.h"
#include "output/staged_file.h"

class GifWriter : public AnimationWriter {
public:
    GifWriter(StagedFile* file, int frameMs) : file_(file), frameMs_(frameMs) {}
    ~GifWriter() override;
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    bool AddFrame(const RgbImage& frame, std::string* error) override;
    bool Finish(std::string* error) override;

private:
    bool BeginFile(const RgbImage& first, std::string* error);
    bool FitsSharedPalette(const RgbImage& frame, const PixelRect& rect);
    bool ExtendSharedPalette(const RgbImage& frame, const PixelRect& rect);
    bool WriteSharedPalette();
    bool PutFrame(const RgbImage& frame, const PixelRect& rect, GifPalette& palette,
                  bool localPalette, std::string* error);
    bool Failed(std::string* error);

    StagedFile* file_;
    int frameMs_;
    GifFileType* gif_ = nullptr;
    GifPalette shared_;
    int sharedTolerance_ = 0;  // how far a colour may be from the shared palette
    RgbImage previous_;
    int frames_ = 0;
};
