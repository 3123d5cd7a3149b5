// The MD5 message digest of RFC 1321: the fingerprint the installer shows
// the user for a downloaded module before it asks to install it.
//
// The context follows the RFC's reference design (state, bit count,
// block buffer); the block transform is written for throughput, since
// modules of many megabytes pass through it as they arrive.
#pragma once

#include <cstddef>
#include <cstdint>

struct MD5Context {
    uint32_t state[4];
    uint32_t count[2];  // bits fed so far, low word first
    unsigned char buffer[64];
};

constexpr size_t kMD5DigestSize = 16;
constexpr size_t kMD5TextSize = 33;  // 32 hexadecimal digits and a NUL

void MD5Init(MD5Context* context);
void MD5Update(MD5Context* context, const void* bytes, size_t length);
// Pads, writes the 16-byte digest and sets every byte of the context to 0.
void MD5Final(unsigned char digest[kMD5DigestSize], MD5Context* context);
// 32 lowercase hexadecimal digits and a NUL.
void FormatDigest(const unsigned char digest[kMD5DigestSize], char text[kMD5TextSize]);
