// The animation encoders, checked by decoding what they wrote: a GIF LZW
// decoder written here from the format's description, and zlib's inflate
// for the APNG frames.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <random>

#include "output/apng_encoder.h"
#include "output/gif_encoder.h"

namespace {

// Decodes a GIF LZW stream back into indices.
std::vector<uint8_t> LzwDecode(const std::vector<uint8_t>& data, int minCodeSize) {
    const int clear = 1 << minCodeSize, end = clear + 1;
    std::vector<std::vector<uint8_t>> dict;
    auto reset = [&] {
        dict.assign(size_t(end) + 1, {});
        for (int i = 0; i < clear; ++i) dict[i] = {uint8_t(i)};
    };
    reset();
    int width = minCodeSize + 1;
    size_t bit = 0;
    std::vector<uint8_t> out, previous;
    for (;;) {
        if (bit + width > data.size() * 8) break;
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
        if (code == clear) {
            reset();
            width = minCodeSize + 1;
            previous.clear();
            continue;
        }
        if (code == end) return out;
        std::vector<uint8_t> entry;
        if (code < int(dict.size()) && (code < clear || !dict[code].empty())) {
            entry = dict[code];
        } else if (code == int(dict.size()) && !previous.empty()) {
            entry = previous;
            entry.push_back(previous[0]);
        } else {
            ADD_FAILURE() << "bad code " << code << " with " << dict.size() << " entries";
            return out;
        }
        out.insert(out.end(), entry.begin(), entry.end());
        if (!previous.empty() && dict.size() < 4096) {
            std::vector<uint8_t> added = previous;
            added.push_back(entry[0]);
            dict.push_back(added);
            if (dict.size() == (size_t(1) << width) && width < 12) ++width;
        }
        previous = entry;
    }
    ADD_FAILURE() << "no end code";
    return out;
}

TEST(Lzw, RoundTripsAcrossCodeWidthsAndTableResets) {
    std::mt19937 random(7);
    struct Case {
        int minCodeSize;
        size_t length;
        int alphabet;
    } cases[] = {{2, 0, 4},        {2, 1, 4},      {2, 1000, 2},
                 {8, 200000, 256}, {8, 100000, 3}, {4, 50000, 16}};
    for (const Case& c : cases) {
        std::vector<uint8_t> indices(c.length);
        for (uint8_t& i : indices) i = uint8_t(random() % c.alphabet);
        EXPECT_EQ(LzwDecode(LzwEncode(indices, c.minCodeSize), c.minCodeSize), indices)
            << "min code size " << c.minCodeSize << ", " << c.length << " indices";
    }
    // Long runs of one value build long strings quickly.
    std::vector<uint8_t> flat(300000, 5);
    EXPECT_EQ(LzwDecode(LzwEncode(flat, 8), 8), flat);
}

RgbImage Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    RgbImage image;
    image.width = w;
    image.height = h;
    for (int i = 0; i < w * h; ++i) image.rgb.insert(image.rgb.end(), {r, g, b});
    return image;
}

TEST(GifPalette, ExactColoursWhenFewAndNearestWhenMany) {
    RgbImage a = Solid(4, 1, 255, 0, 0);
    RgbImage b = Solid(4, 1, 0, 0, 255);
    b.rgb[2] = 0;  // one pixel black
    std::vector<std::vector<uint8_t>> indices;
    std::vector<uint8_t> palette = BuildPalette({a, b}, &indices);
    ASSERT_EQ(palette.size(), 9u);
    // Red is the most frequent colour, so entry 0.
    EXPECT_EQ(std::vector<uint8_t>(palette.begin(), palette.begin() + 3),
              (std::vector<uint8_t>{255, 0, 0}));
    ASSERT_EQ(indices.size(), 2u);
    EXPECT_EQ(indices[0], (std::vector<uint8_t>{0, 0, 0, 0}));
    const uint8_t* black = &palette[indices[1][0] * 3];
    EXPECT_EQ(black[0] + black[1] + black[2], 0);

    // A gradient of 512 greys keeps 256 entries; every pixel maps near its grey.
    RgbImage ramp;
    ramp.width = 512;
    ramp.height = 1;
    for (int i = 0; i < 512; ++i)
        ramp.rgb.insert(ramp.rgb.end(), {uint8_t(i / 2), uint8_t(i / 2), uint8_t(i / 2)});
    palette = BuildPalette({ramp}, &indices);
    EXPECT_EQ(palette.size(), 256u * 3);
    for (int i = 0; i < 512; ++i) EXPECT_LE(std::abs(palette[indices[0][i] * 3] - i / 2), 2) << i;
}

TEST(Gif, FileHasHeaderLoopFramesAndTrailer) {
    std::vector<uint8_t> gif = EncodeGif({Solid(3, 2, 1, 2, 3), Solid(3, 2, 9, 9, 9)}, 150);
    ASSERT_GT(gif.size(), 40u);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
    EXPECT_EQ(gif[6] | gif[7] << 8, 3);
    EXPECT_EQ(gif[8] | gif[9] << 8, 2);
    EXPECT_EQ(gif.back(), 0x3B);
    std::string bytes(gif.begin(), gif.end());
    EXPECT_NE(bytes.find("NETSCAPE2.0"), std::string::npos);
    // Two graphic control blocks with a delay of 15 hundredths.
    const std::string control = std::string("\x21\xF9\x04\x00\x0F\x00", 6);
    size_t first = bytes.find(control);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(bytes.find(control, first + 1), std::string::npos);
    EXPECT_TRUE(EncodeGif({}, 150).empty());
}

uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
};

// Splits a PNG into chunks, checking every CRC on the way.
std::vector<Chunk> Chunks(const std::vector<uint8_t>& png) {
    std::vector<Chunk> chunks;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        uint32_t length = U32(&png[at]);
        Chunk chunk{std::string(png.begin() + at + 4, png.begin() + at + 8),
                    std::vector<uint8_t>(png.begin() + at + 8, png.begin() + at + 8 + length)};
        uLong crc = crc32(0, &png[at + 4], length + 4);
        EXPECT_EQ(U32(&png[at + 8 + length]), uint32_t(crc)) << chunk.type;
        chunks.push_back(chunk);
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    return chunks;
}

// Inflates a frame and undoes the row filters (only "Sub" is written).
std::vector<uint8_t> Unpack(const std::vector<uint8_t>& packed, int width, int height) {
    std::vector<uint8_t> raw(size_t(width * 3 + 1) * height);
    uLongf size = raw.size();
    EXPECT_EQ(uncompress(raw.data(), &size, packed.data(), packed.size()), Z_OK);
    std::vector<uint8_t> rgb;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = &raw[size_t(y) * (width * 3 + 1)];
        EXPECT_EQ(row[0], 1);
        for (int i = 0; i < width * 3; ++i)
            rgb.push_back(uint8_t(row[1 + i] + (i >= 3 ? rgb[rgb.size() - 3] : 0)));
    }
    return rgb;
}

TEST(Apng, ChunksInOrderAndFramesDecodeExactly) {
    RgbImage one = Solid(5, 3, 10, 20, 30), two = Solid(5, 3, 200, 100, 50);
    two.rgb[7] = 99;
    std::vector<uint8_t> png = EncodeApng({one, two}, 150);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
    std::vector<Chunk> chunks = Chunks(png);
    std::vector<std::string> types;
    for (const Chunk& c : chunks) types.push_back(c.type);
    EXPECT_EQ(types,
              (std::vector<std::string>{"IHDR", "acTL", "fcTL", "IDAT", "fcTL", "fdAT", "IEND"}));
    EXPECT_EQ(U32(chunks[1].data.data()), 2u);  // frames
    // Sequence numbers run 0, 1, 2 over fcTL, fdAT.
    EXPECT_EQ(U32(chunks[2].data.data()), 0u);
    EXPECT_EQ(U32(chunks[4].data.data()), 1u);
    EXPECT_EQ(U32(chunks[5].data.data()), 2u);
    EXPECT_EQ(chunks[2].data[20] << 8 | chunks[2].data[21], 150);  // delay numerator
    EXPECT_EQ(Unpack(chunks[3].data, 5, 3), one.rgb);
    std::vector<uint8_t> second(chunks[5].data.begin() + 4, chunks[5].data.end());
    EXPECT_EQ(Unpack(second, 5, 3), two.rgb);
}

}  // namespace

namespace {

TEST(Frames, APageThatChangedSizeIsFittedToTheFirstFrame) {
    RgbImage image = Solid(3, 2, 7, 8, 9);
    RgbImage wider = FitImage(image, 4, 1);
    EXPECT_EQ(wider.rgb, (std::vector<uint8_t>{7, 8, 9, 7, 8, 9, 7, 8, 9, 0, 0, 0}));
    RgbImage smaller = FitImage(image, 1, 3);
    EXPECT_EQ(smaller.rgb, (std::vector<uint8_t>{7, 8, 9, 7, 8, 9, 0, 0, 0}));
}

}  // namespace
