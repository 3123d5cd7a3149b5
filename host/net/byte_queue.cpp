// The block queue behind a stream's buffer.
#include "net/byte_queue.h"

#include <algorithm>
#include <cstring>

ByteQueue::Block ByteQueue::NewBlock() {
    if (spare_) return std::move(spare_);
    return Block(new char[kBlockSize]);
}

void ByteQueue::Append(const char* data, size_t size) {
    while (size > 0) {
        if (tail_ == kBlockSize) {
            blocks_.push_back(NewBlock());
            tail_ = 0;
        }
        const size_t n = std::min(size, kBlockSize - tail_);
        memcpy(blocks_.back().get() + tail_, data, n);
        tail_ += n;
        size_ += n;
        data += n;
        size -= n;
    }
}

size_t ByteQueue::Read(char* out, size_t size) {
    size_t done = 0;
    while (done < size && size_ > 0) {
        // The first block holds bytes up to the end of the block, or up to
        // the write position when it is also the last.
        const size_t end = blocks_.size() == 1 ? tail_ : kBlockSize;
        const size_t n = std::min(size - done, end - head_);
        memcpy(out + done, blocks_.front().get() + head_, n);
        head_ += n;
        size_ -= n;
        done += n;
        if (head_ == end) {
            if (blocks_.size() == 1) tail_ = kBlockSize;  // nothing left to write into
            spare_ = std::move(blocks_.front());
            blocks_.pop_front();
            head_ = 0;
        }
    }
    return done;
}
