// The fingerprint: MD5 as RFC 1321 defines it, whatever the pieces.
#include <gtest/gtest.h>

#include <string>

#include "md5.h"

namespace {

std::string Digits(const std::string& bytes, size_t piece) {
    MD5Context context;
    MD5Init(&context);
    for (size_t at = 0; at < bytes.size(); at += piece)
        MD5Update(&context, bytes.data() + at, std::min(piece, bytes.size() - at));
    unsigned char digest[kMD5DigestSize];
    MD5Final(digest, &context);
    // Nothing of what was fed stays in the context.
    const auto* raw = reinterpret_cast<const unsigned char*>(&context);
    EXPECT_EQ(std::string(raw, raw + sizeof context), std::string(sizeof context, '\0'));
    char text[kMD5TextSize];
    FormatDigest(digest, text);
    return text;
}

// RFC 1321's test suite, the empty input first.
const std::pair<std::string, const char*> kSuite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"1234567890123456789012345678901234567890"
     "1234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

// And a 300000-byte file, its digits as md5sum gives them.
TEST(MD5, GivesTheDigestsOfRfc1321InPiecesOfAnySize) {
    for (const auto& [text, digits] : kSuite)
        for (size_t piece : {1, 3, 64, 1000}) EXPECT_EQ(Digits(text, piece), digits) << text;
    std::string bytes(300000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 2654435761u >> 13);
    for (size_t piece : {size_t(1), size_t(55), size_t(56), size_t(63), size_t(64), size_t(65),
                         size_t(1024), size_t(16384), size_t(16385), bytes.size()})
        EXPECT_EQ(Digits(bytes, piece), "384d43b457e4391d851b65dec6507b1e") << piece;  // md5sum's
}

}  // namespace
