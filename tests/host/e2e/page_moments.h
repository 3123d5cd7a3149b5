// A live run shows the page at a moment the test cannot choose. These
// are the page's moments made headless: an animation of its first ticks,
// 150 ms apart, with which a live picture is compared region by region,
// since every component ticks on a timer of its own: the page around the
// components must equal the page, and each component's rectangle that
// rectangle at one of the moments (the best one is taken).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/e2e/qpmhost_process.h"

class PageMoments {
public:
    // Runs qpmhost headless on `page` for `frames` moments.
    bool Make(const std::string& page, int frames, std::string* error);
    int width() const { return width_; }
    int height() const { return height_; }

    struct Difference {
        int worst = 0;             // the largest difference of one channel
        long beyond = 0;           // pixels differing by more than the tolerance
        double mean = 0;           // the mean over the page of each pixel's largest difference
        std::vector<int> moments;  // the moment each component matched best
    };
    // `picture`: rows of `pictureWidth` pixels (0x00RRGGBB) that show the
    // page from their top left, `scale` by `scale` pixels per page pixel.
    Difference Compare(const std::vector<uint32_t>& picture, int pictureWidth, int scale,
                       int tolerance) const;

private:
    std::string animation_;
    std::vector<PlacedComponent> placed_;
    int width_ = 0, height_ = 0;
};
