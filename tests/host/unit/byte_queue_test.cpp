// The stream buffer's block queue: bytes come out in the order they went
// in, however appends and reads are cut against its blocks.
#include <gtest/gtest.h>

#include <string>

#include "net/byte_queue.h"

namespace {

// Appends `total` bytes in pieces of `appendSize` and reads them back in
// pieces of `readSize`, a read after every `readsPerAppend` appends' worth
// (0: all appends first).
std::string RoundTrip(size_t total, size_t appendSize, size_t readSize, int readsPerAppend) {
    std::string source(total, '\0');
    for (size_t i = 0; i < total; ++i) source[i] = char('a' + (i * 7) % 26);
    ByteQueue queue;
    std::string out;
    std::string piece(readSize, '\0');
    auto readOne = [&] {
        size_t n = queue.Read(&piece[0], readSize);
        out.append(piece, 0, n);
        return n;
    };
    for (size_t done = 0; done < total; done += appendSize) {
        queue.Append(source.data() + done, std::min(appendSize, total - done));
        for (int r = 0; r < readsPerAppend; ++r) readOne();
    }
    while (readOne() > 0) {
    }
    EXPECT_EQ(queue.Size(), 0u);
    return out == source ? "same" : "differs at " + std::to_string(out.size());
}

TEST(ByteQueueTest, BytesComeOutInOrderWhateverThePieces) {
    const size_t kBlock = 64 * 1024;
    const struct {
        size_t total, appendSize, readSize;
        int readsPerAppend;
    } rows[] = {
        {0, 1, 1024, 0},                              // nothing at all
        {3 * kBlock + 17, 16384, 1024, 0},            // everything first, then small reads
        {3 * kBlock + 17, 16384, 1024, 16},           // read as it arrives: emptied, then refilled
        {2 * kBlock, kBlock, 1024, 64},               // whole blocks
        {kBlock + 1, 7, 5, 1},                        // odd sizes straddling the boundary
        {5 * kBlock, 3 * kBlock + 1, kBlock + 3, 1},  // pieces larger than a block
    };
    for (const auto& r : rows)
        EXPECT_EQ(RoundTrip(r.total, r.appendSize, r.readSize, r.readsPerAppend), "same")
            << r.total << " " << r.appendSize << " " << r.readSize << " " << r.readsPerAppend;
}

}  // namespace
