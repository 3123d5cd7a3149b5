// Reading a fuzzer's input as a sequence of choices and strings. Every
// read succeeds: past the end, numbers are 0 and strings are empty, so a
// target never needs to check how much input is left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool empty() const { return position_ >= size_; }

    uint8_t Byte() { return empty() ? 0 : data_[position_++]; }

    // A number below `limit` (limit > 0), from as many bytes as it needs.
    uint32_t Below(uint32_t limit) {
        uint32_t value = 0;
        for (uint32_t range = 1; range < limit && range != 0; range <<= 8)
            value = value << 8 | Byte();
        return value % limit;
    }

    bool Flag() { return (Byte() & 1) != 0; }

    // The bytes up to the next NUL (consumed) or the end.
    std::string Field() {
        std::string field;
        while (!empty()) {
            char c = static_cast<char>(data_[position_++]);
            if (c == '\0') break;
            field += c;
        }
        return field;
    }

    // `n` bytes, or what is left.
    std::string Bytes(size_t n) {
        size_t take = n < size_ - position_ ? n : size_ - position_;
        if (empty()) take = 0;
        std::string bytes(reinterpret_cast<const char*>(data_ + position_), take);
        position_ += take;
        return bytes;
    }

    std::string Rest() { return Bytes(size_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};
