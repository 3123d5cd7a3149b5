// MD5 (RFC 1321). The 64 steps of the block transform are unrolled and
// read the message words straight from the caller's bytes: whole blocks
// are never copied into the context's buffer.
#include "md5.h"

#include <cstring>

namespace {

// A little-endian word; compilers turn this into one load.
inline uint32_t Load32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void Store32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

inline uint32_t Rotate(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// The four auxiliary functions, with the RFC's values in forms that put
// fewer operations on the chain through the newest word: F by selecting
// with xor, G as a sum of two disjoint masks (no bit is set in both, so
// + is |), whose half without x the processor computes early.
#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_G(x, y, z) (((x) & (z)) + ((y) & ~(z)))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define MD5_STEP(f, a, b, c, d, word, constant, shift) \
    (a) += f((b), (c), (d)) + (word) + (constant);     \
    (a) = Rotate((a), (shift)) + (b)

// Runs the transform over `blocks` consecutive 64-byte blocks.
void Transform(uint32_t state[4], const unsigned char* p, size_t blocks) {
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (; blocks > 0; --blocks, p += 64) {
        const uint32_t x0 = Load32(p), x1 = Load32(p + 4), x2 = Load32(p + 8), x3 = Load32(p + 12),
                       x4 = Load32(p + 16), x5 = Load32(p + 20), x6 = Load32(p + 24),
                       x7 = Load32(p + 28), x8 = Load32(p + 32), x9 = Load32(p + 36),
                       x10 = Load32(p + 40), x11 = Load32(p + 44), x12 = Load32(p + 48),
                       x13 = Load32(p + 52), x14 = Load32(p + 56), x15 = Load32(p + 60);
        const uint32_t aa = a, bb = b, cc = c, dd = d;

        MD5_STEP(MD5_F, a, b, c, d, x0, 0xd76aa478, 7);
        MD5_STEP(MD5_F, d, a, b, c, x1, 0xe8c7b756, 12);
        MD5_STEP(MD5_F, c, d, a, b, x2, 0x242070db, 17);
        MD5_STEP(MD5_F, b, c, d, a, x3, 0xc1bdceee, 22);
        MD5_STEP(MD5_F, a, b, c, d, x4, 0xf57c0faf, 7);
        MD5_STEP(MD5_F, d, a, b, c, x5, 0x4787c62a, 12);
        MD5_STEP(MD5_F, c, d, a, b, x6, 0xa8304613, 17);
        MD5_STEP(MD5_F, b, c, d, a, x7, 0xfd469501, 22);
        MD5_STEP(MD5_F, a, b, c, d, x8, 0x698098d8, 7);
        MD5_STEP(MD5_F, d, a, b, c, x9, 0x8b44f7af, 12);
        MD5_STEP(MD5_F, c, d, a, b, x10, 0xffff5bb1, 17);
        MD5_STEP(MD5_F, b, c, d, a, x11, 0x895cd7be, 22);
        MD5_STEP(MD5_F, a, b, c, d, x12, 0x6b901122, 7);
        MD5_STEP(MD5_F, d, a, b, c, x13, 0xfd987193, 12);
        MD5_STEP(MD5_F, c, d, a, b, x14, 0xa679438e, 17);
        MD5_STEP(MD5_F, b, c, d, a, x15, 0x49b40821, 22);

        MD5_STEP(MD5_G, a, b, c, d, x1, 0xf61e2562, 5);
        MD5_STEP(MD5_G, d, a, b, c, x6, 0xc040b340, 9);
        MD5_STEP(MD5_G, c, d, a, b, x11, 0x265e5a51, 14);
        MD5_STEP(MD5_G, b, c, d, a, x0, 0xe9b6c7aa, 20);
        MD5_STEP(MD5_G, a, b, c, d, x5, 0xd62f105d, 5);
        MD5_STEP(MD5_G, d, a, b, c, x10, 0x02441453, 9);
        MD5_STEP(MD5_G, c, d, a, b, x15, 0xd8a1e681, 14);
        MD5_STEP(MD5_G, b, c, d, a, x4, 0xe7d3fbc8, 20);
        MD5_STEP(MD5_G, a, b, c, d, x9, 0x21e1cde6, 5);
        MD5_STEP(MD5_G, d, a, b, c, x14, 0xc33707d6, 9);
        MD5_STEP(MD5_G, c, d, a, b, x3, 0xf4d50d87, 14);
        MD5_STEP(MD5_G, b, c, d, a, x8, 0x455a14ed, 20);
        MD5_STEP(MD5_G, a, b, c, d, x13, 0xa9e3e905, 5);
        MD5_STEP(MD5_G, d, a, b, c, x2, 0xfcefa3f8, 9);
        MD5_STEP(MD5_G, c, d, a, b, x7, 0x676f02d9, 14);
        MD5_STEP(MD5_G, b, c, d, a, x12, 0x8d2a4c8a, 20);

        MD5_STEP(MD5_H, a, b, c, d, x5, 0xfffa3942, 4);
        MD5_STEP(MD5_H, d, a, b, c, x8, 0x8771f681, 11);
        MD5_STEP(MD5_H, c, d, a, b, x11, 0x6d9d6122, 16);
        MD5_STEP(MD5_H, b, c, d, a, x14, 0xfde5380c, 23);
        MD5_STEP(MD5_H, a, b, c, d, x1, 0xa4beea44, 4);
        MD5_STEP(MD5_H, d, a, b, c, x4, 0x4bdecfa9, 11);
        MD5_STEP(MD5_H, c, d, a, b, x7, 0xf6bb4b60, 16);
        MD5_STEP(MD5_H, b, c, d, a, x10, 0xbebfbc70, 23);
        MD5_STEP(MD5_H, a, b, c, d, x13, 0x289b7ec6, 4);
        MD5_STEP(MD5_H, d, a, b, c, x0, 0xeaa127fa, 11);
        MD5_STEP(MD5_H, c, d, a, b, x3, 0xd4ef3085, 16);
        MD5_STEP(MD5_H, b, c, d, a, x6, 0x04881d05, 23);
        MD5_STEP(MD5_H, a, b, c, d, x9, 0xd9d4d039, 4);
        MD5_STEP(MD5_H, d, a, b, c, x12, 0xe6db99e5, 11);
        MD5_STEP(MD5_H, c, d, a, b, x15, 0x1fa27cf8, 16);
        MD5_STEP(MD5_H, b, c, d, a, x2, 0xc4ac5665, 23);

        MD5_STEP(MD5_I, a, b, c, d, x0, 0xf4292244, 6);
        MD5_STEP(MD5_I, d, a, b, c, x7, 0x432aff97, 10);
        MD5_STEP(MD5_I, c, d, a, b, x14, 0xab9423a7, 15);
        MD5_STEP(MD5_I, b, c, d, a, x5, 0xfc93a039, 21);
        MD5_STEP(MD5_I, a, b, c, d, x12, 0x655b59c3, 6);
        MD5_STEP(MD5_I, d, a, b, c, x3, 0x8f0ccc92, 10);
        MD5_STEP(MD5_I, c, d, a, b, x10, 0xffeff47d, 15);
        MD5_STEP(MD5_I, b, c, d, a, x1, 0x85845dd1, 21);
        MD5_STEP(MD5_I, a, b, c, d, x8, 0x6fa87e4f, 6);
        MD5_STEP(MD5_I, d, a, b, c, x15, 0xfe2ce6e0, 10);
        MD5_STEP(MD5_I, c, d, a, b, x6, 0xa3014314, 15);
        MD5_STEP(MD5_I, b, c, d, a, x13, 0x4e0811a1, 21);
        MD5_STEP(MD5_I, a, b, c, d, x4, 0xf7537e82, 6);
        MD5_STEP(MD5_I, d, a, b, c, x11, 0xbd3af235, 10);
        MD5_STEP(MD5_I, c, d, a, b, x2, 0x2ad7d2bb, 15);
        MD5_STEP(MD5_I, b, c, d, a, x9, 0xeb86d391, 21);

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

}  // namespace

void MD5Init(MD5Context* context) {
    context->state[0] = 0x67452301;
    context->state[1] = 0xefcdab89;
    context->state[2] = 0x98badcfe;
    context->state[3] = 0x10325476;
    context->count[0] = 0;
    context->count[1] = 0;
}

void MD5Update(MD5Context* context, const void* bytes, size_t length) {
    const auto* input = static_cast<const unsigned char*>(bytes);
    size_t filled = (context->count[0] >> 3) & 63;
    const uint64_t bits =
        (uint64_t(context->count[1]) << 32 | context->count[0]) + (uint64_t(length) << 3);
    context->count[0] = uint32_t(bits);
    context->count[1] = uint32_t(bits >> 32);

    if (filled > 0) {
        size_t room = 64 - filled;
        if (length < room) {
            memcpy(context->buffer + filled, input, length);
            return;
        }
        memcpy(context->buffer + filled, input, room);
        Transform(context->state, context->buffer, 1);
        input += room;
        length -= room;
    }
    Transform(context->state, input, length / 64);
    memcpy(context->buffer, input + (length & ~size_t(63)), length & 63);
}

void MD5Final(unsigned char digest[kMD5DigestSize], MD5Context* context) {
    unsigned char length[8];
    Store32(length, context->count[0]);
    Store32(length + 4, context->count[1]);
    static const unsigned char kPadding[64] = {0x80};
    size_t filled = (context->count[0] >> 3) & 63;
    MD5Update(context, kPadding, filled < 56 ? 56 - filled : 120 - filled);
    MD5Update(context, length, 8);
    for (size_t i = 0; i < 4; ++i) Store32(digest + 4 * i, context->state[i]);
    // What was fed must not linger in memory.
    volatile unsigned char* wipe = reinterpret_cast<unsigned char*>(context);
    for (size_t i = 0; i < sizeof *context; ++i) wipe[i] = 0;
}

void FormatDigest(const unsigned char digest[kMD5DigestSize], char text[kMD5TextSize]) {
    static const char kDigits[] = "0123456789abcdef";
    for (size_t i = 0; i < kMD5DigestSize; ++i) {
        text[2 * i] = kDigits[digest[i] >> 4];
        text[2 * i + 1] = kDigits[digest[i] & 15];
    }
    text[2 * kMD5DigestSize] = '\0';
}
