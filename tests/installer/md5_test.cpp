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
    char text[kMD5TextSize];
    FormatDigest(digest, text);
    return text;
}

// RFC 1321's test suite.
const std::pair<const char*, const char*> kSuite[] = {
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

TEST(MD5, GivesTheDigestsOfRfc1321InAnyPieces) {
    for (const auto& [text, digits] : kSuite)
        for (size_t piece : {1, 3, 64, 1000}) EXPECT_EQ(Digits(text, piece), digits) << text;
}

TEST(MD5, PiecesOfEverySizeGiveTheSameDigits) {
    std::string bytes(300000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 2654435761u >> 13);
    const std::string whole = Digits(bytes, bytes.size());
    for (size_t piece : {1, 55, 56, 63, 64, 65, 1024, 16384, 16385})
        EXPECT_EQ(Digits(bytes, piece), whole) << piece;
}

TEST(MD5, FinalLeavesOnlyZeroBytes) {
    MD5Context context;
    MD5Init(&context);
    MD5Update(&context, "secret module bytes", 19);
    unsigned char digest[kMD5DigestSize];
    MD5Final(digest, &context);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&context);
    EXPECT_EQ(std::string(bytes, bytes + sizeof context), std::string(sizeof context, '\0'));
}

}  // namespace
