// GIF files read back with giflib, frame by frame as a viewer shows
// them: each image drawn over what the frames before left (transparent
// pixels keep it), per the frame's disposal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GifFrame {
    int delayHundredths = 0;
    bool localPalette = false;
    int x = 0, y = 0, width = 0, height = 0;  // the image's rectangle
    std::vector<uint32_t> screen;             // the whole picture after it, 0x00RRGGBB
};

struct GifMovie {
    int width = 0, height = 0;
    int globalColours = 0;  // entries in the global colour table
    bool loops = false;     // a NETSCAPE2.0 loop extension
    std::vector<GifFrame> frames;
};

// False (with `error`) when giflib cannot read the file.
bool ReadGif(const std::string& path, GifMovie* movie, std::string* error);
