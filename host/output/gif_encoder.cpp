// GIF89a: palette, LZW and the file's blocks.
#include "output/gif_encoder.h"

#include <algorithm>
#include <unordered_map>

namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kMaxCodes = 1 << kMaxCodeBits;

class BitWriter {
public:
    void Write(int code, int bits) {
        accumulator_ |= uint32_t(code) << count_;
        count_ += bits;
        while (count_ >= 8) {
            out_.push_back(uint8_t(accumulator_ & 0xFF));
            accumulator_ >>= 8;
            count_ -= 8;
        }
    }
    std::vector<uint8_t> Finish() {
        if (count_ > 0) out_.push_back(uint8_t(accumulator_ & 0xFF));
        return std::move(out_);
    }

private:
    std::vector<uint8_t> out_;
    uint32_t accumulator_ = 0;
    int count_ = 0;
};

uint32_t Key(const uint8_t* p) { return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]; }

int Distance(uint32_t a, uint32_t b) {
    int dr = int(a >> 16) - int(b >> 16), dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF),
        db = int(a & 0xFF) - int(b & 0xFF);
    return dr * dr + dg * dg + db * db;
}

void PutWord(std::vector<uint8_t>* out, int value) {
    out->push_back(uint8_t(value & 0xFF));
    out->push_back(uint8_t((value >> 8) & 0xFF));
}

// Image data goes in sub-blocks of at most 255 bytes, then a 0 block.
void PutSubBlocks(std::vector<uint8_t>* out, const std::vector<uint8_t>& data) {
    for (size_t i = 0; i < data.size(); i += 255) {
        size_t n = std::min<size_t>(255, data.size() - i);
        out->push_back(uint8_t(n));
        out->insert(out->end(), data.begin() + i, data.begin() + i + n);
    }
    out->push_back(0);
}

}  // namespace

std::vector<uint8_t> LzwEncode(const std::vector<uint8_t>& indices, int minCodeSize) {
    const int clearCode = 1 << minCodeSize, endCode = clearCode + 1;
    BitWriter writer;
    // A string is known by (code of its prefix, next index) -> its code.
    std::unordered_map<uint32_t, int> table;
    int nextCode = endCode + 1, codeBits = minCodeSize + 1;
    writer.Write(clearCode, codeBits);
    if (indices.empty()) {
        writer.Write(endCode, codeBits);
        return writer.Finish();
    }
    int prefix = indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        const uint32_t key = uint32_t(prefix) << 8 | indices[i];
        auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        writer.Write(prefix, codeBits);
        if (nextCode < kMaxCodes) {
            table[key] = nextCode++;
            // The decoder widens its codes one code later than we add them.
            if (nextCode > (1 << codeBits) && codeBits < kMaxCodeBits) ++codeBits;
        } else {
            writer.Write(clearCode, codeBits);
            table.clear();
            nextCode = endCode + 1;
            codeBits = minCodeSize + 1;
        }
        prefix = indices[i];
    }
    writer.Write(prefix, codeBits);
    writer.Write(endCode, codeBits);
    return writer.Finish();
}

std::vector<uint8_t> BuildPalette(const std::vector<RgbImage>& frames,
                                  std::vector<std::vector<uint8_t>>* indices) {
    std::unordered_map<uint32_t, size_t> counts;
    for (const RgbImage& frame : frames)
        for (size_t i = 0; i + 2 < frame.rgb.size(); i += 3) ++counts[Key(&frame.rgb[i])];
    std::vector<std::pair<size_t, uint32_t>> byCount;
    byCount.reserve(counts.size());
    for (const auto& entry : counts) byCount.push_back({entry.second, entry.first});
    // Most frequent first; equal counts by colour, so the result is stable.
    std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    if (byCount.size() > 256) byCount.resize(256);

    std::vector<uint8_t> palette;
    std::unordered_map<uint32_t, uint8_t> slot;
    for (size_t i = 0; i < byCount.size(); ++i) {
        uint32_t c = byCount[i].second;
        palette.insert(palette.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        slot[c] = uint8_t(i);
    }
    auto nearest = [&](uint32_t colour) {
        auto known = slot.find(colour);
        if (known != slot.end()) return known->second;
        size_t best = 0;
        for (size_t i = 1; i < byCount.size(); ++i)
            if (Distance(colour, byCount[i].second) < Distance(colour, byCount[best].second))
                best = i;
        return slot[colour] = uint8_t(best);
    };
    indices->clear();
    for (const RgbImage& frame : frames) {
        std::vector<uint8_t> frameIndices;
        frameIndices.reserve(frame.rgb.size() / 3);
        for (size_t i = 0; i + 2 < frame.rgb.size(); i += 3)
            frameIndices.push_back(nearest(Key(&frame.rgb[i])));
        indices->push_back(std::move(frameIndices));
    }
    return palette;
}

std::vector<uint8_t> EncodeGif(const std::vector<RgbImage>& frames, int frameMs) {
    std::vector<uint8_t> out;
    if (frames.empty()) return out;
    std::vector<std::vector<uint8_t>> indices;
    std::vector<uint8_t> palette = BuildPalette(frames, &indices);
    // The colour table holds 2^(n+1) entries; pad the palette up to that.
    int tableBits = 1;
    while ((1u << tableBits) < palette.size() / 3) ++tableBits;
    palette.resize(size_t(3) << tableBits, 0);

    const int width = frames[0].width, height = frames[0].height;
    const char header[] = "GIF89a";
    out.insert(out.end(), header, header + 6);
    PutWord(&out, width);
    PutWord(&out, height);
    out.push_back(uint8_t(0x80 | 0x70 | (tableBits - 1)));  // global table, 8-bit colour
    out.push_back(0);                                       // background colour index
    out.push_back(0);                                       // pixel aspect ratio
    out.insert(out.end(), palette.begin(), palette.end());
    // NETSCAPE2.0 application extension: loop forever.
    const uint8_t loop[] = {0x21, 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                            'E',  '2',  '.', '0', 3,   1,   0,   0,   0};
    out.insert(out.end(), loop, loop + sizeof loop);

    const int minCodeSize = std::max(2, tableBits);
    const int delay = std::max(1, (frameMs + 5) / 10);  // hundredths of a second
    for (const std::vector<uint8_t>& frame : indices) {
        const uint8_t control[] = {0x21, 0xF9, 4, 0, uint8_t(delay & 0xFF), uint8_t(delay >> 8),
                                   0,    0};
        out.insert(out.end(), control, control + sizeof control);
        out.push_back(0x2C);  // image descriptor: the whole screen, no local table
        PutWord(&out, 0);
        PutWord(&out, 0);
        PutWord(&out, width);
        PutWord(&out, height);
        out.push_back(0);
        out.push_back(uint8_t(minCodeSize));
        PutSubBlocks(&out, LzwEncode(frame, minCodeSize));
    }
    out.push_back(0x3B);  // trailer
    return out;
}
