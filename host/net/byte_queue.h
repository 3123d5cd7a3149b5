// A first-in first-out queue of bytes, kept in fixed-size blocks.
//
// A stream's buffer takes what a transfer delivers and gives it out in
// the component's small reads. A growing contiguous buffer would move
// everything it holds each time it grows, and dropping what was read
// from its front moves the rest again; blocks move nothing: appending
// fills the last block and starts new ones, reading empties the first
// and lets it go. One emptied block is kept for the next append, so a
// stream read as fast as it arrives runs in the same memory.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>

class ByteQueue {
public:
    void Append(const char* data, size_t size);
    // Copies up to `size` bytes out of the front; returns how many.
    size_t Read(char* out, size_t size);
    size_t Size() const { return size_; }

private:
    static constexpr size_t kBlockSize = size_t(64) * 1024;
    using Block = std::unique_ptr<char[]>;

    Block NewBlock();

    std::deque<Block> blocks_;
    Block spare_;
    size_t head_ = 0;           // read position in the first block
    size_t tail_ = kBlockSize;  // write position in the last block
    size_t size_ = 0;
};
