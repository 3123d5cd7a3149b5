// Finding the moment a live picture shows.
#include "host/e2e/page_moments.h"

#include <algorithm>
#include <cstdlib>

#include "host/e2e/apng_frames.h"

namespace {

int ChannelDifference(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

struct Tally {
    long beyond = 0, sum = 0;
    int worst = 0;
    bool Better(const Tally& o) const {
        return beyond != o.beyond ? beyond < o.beyond : sum < o.sum;
    }
};

}  // namespace

bool PageMoments::Make(const std::string& page, int frames, std::string* error) {
    animation_ = MakeScratchDirectory() + "/moments.png";
    ProcessResult run = RunQpmhost({page, "--apng", animation_, "--frames", std::to_string(frames),
                                    "--frame-ms", "150", "--verbose"});
    placed_ = PlacedComponents(run.err);
    ApngInfo info;
    std::string readError;
    if (run.exitCode != 0 ||
        !ForEachApngFrame(
            animation_, &info, [](int, const std::vector<uint32_t>&) {}, &readError)) {
        *error = "the headless run failed (" + std::to_string(run.exitCode) + "): " + run.err +
                 readError;
        return false;
    }
    width_ = info.width;
    height_ = info.height;
    return true;
}

PageMoments::Difference PageMoments::Compare(const std::vector<uint32_t>& picture, int pictureWidth,
                                             int scale, int tolerance) const {
    // Each page pixel's largest difference over the block that shows it.
    auto difference = [&](const std::vector<uint32_t>& page, int x, int y) {
        int worst = 0;
        for (int dy = 0; dy < scale; ++dy)
            for (int dx = 0; dx < scale; ++dx) {
                const size_t at = size_t(y * scale + dy) * pictureWidth + size_t(x * scale + dx);
                const uint32_t shown = at < picture.size() ? picture[at] : 0xFFFFFFFF;
                worst = std::max(worst, ChannelDifference(shown, page[size_t(y) * width_ + x]));
            }
        return worst;
    };
    auto inside = [](const PlacedComponent& p, int x, int y) {
        return x >= p.x && x < p.x + p.width && y >= p.y && y < p.y + p.height;
    };
    Tally around;
    std::vector<Tally> best(placed_.size());
    std::vector<int> moments(placed_.size(), -1);
    ApngInfo info;
    std::string error;
    ForEachApngFrame(
        animation_, &info,
        [&](int index, const std::vector<uint32_t>& page) {
            for (size_t i = 0; i < placed_.size(); ++i) {
                Tally tally;
                const PlacedComponent& p = placed_[i];
                for (int y = std::max(0, p.y); y < std::min(height_, p.y + p.height); ++y)
                    for (int x = std::max(0, p.x); x < std::min(width_, p.x + p.width); ++x) {
                        const int d = difference(page, x, y);
                        tally.beyond += d > tolerance;
                        tally.sum += d;
                        tally.worst = std::max(tally.worst, d);
                    }
                if (moments[i] < 0 || tally.Better(best[i])) {
                    best[i] = tally;
                    moments[i] = index;
                }
            }
            if (index != 0) return;
            for (int y = 0; y < height_; ++y)
                for (int x = 0; x < width_; ++x) {
                    if (std::any_of(placed_.begin(), placed_.end(),
                                    [&](const PlacedComponent& p) { return inside(p, x, y); }))
                        continue;
                    const int d = difference(page, x, y);
                    around.beyond += d > tolerance;
                    around.sum += d;
                    around.worst = std::max(around.worst, d);
                }
        },
        &error);
    Difference result;
    result.moments = moments;
    long sum = around.sum;
    result.worst = around.worst;
    result.beyond = around.beyond;
    for (const Tally& t : best) {
        sum += t.sum;
        result.worst = std::max(result.worst, t.worst);
        result.beyond += t.beyond;
    }
    result.mean = width_ * height_ > 0 ? double(sum) / (double(width_) * height_) : 0;
    return result;
}
