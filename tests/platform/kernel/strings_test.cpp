// lstrlenA/lstrcpyA/lstrcpynA/lstrcatA and Windows-1252 case mapping.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

TEST(StringCopy, CopiesAndConcatenates) {
    char dst[16];
    memset(dst, '#', sizeof dst);
    EXPECT_EQ(lstrcpyA(dst, "hello"), dst);
    EXPECT_STREQ(dst, "hello");
    EXPECT_EQ(lstrcpyA(dst, ""), dst);
    EXPECT_EQ(dst[0], '\0');
    EXPECT_EQ(dst[1], 'e');  // only the NUL was written

    lstrcpyA(dst, "ab");
    EXPECT_EQ(lstrcatA(dst, "cd"), dst);
    EXPECT_STREQ(dst, "abcd");
    EXPECT_EQ(lstrlenA(dst), 4);
    EXPECT_EQ(lstrlenA(nullptr), 0);
}

TEST(StringCopy, NullArgumentsReturnNullAndTouchNothing) {
    char dst[8] = "keep";
    EXPECT_EQ(lstrcpyA(nullptr, "x"), nullptr);
    EXPECT_EQ(lstrcpyA(dst, nullptr), nullptr);
    EXPECT_EQ(lstrcatA(dst, nullptr), nullptr);
    EXPECT_EQ(lstrcatA(nullptr, "x"), nullptr);
    EXPECT_EQ(lstrcpynA(dst, nullptr, 4), nullptr);
    EXPECT_STREQ(dst, "keep");
}

TEST(StringCopy, CountOfLstrcpynIncludesTheNul) {
    struct Row {
        const char* src;
        int count;
        const char* expected;  // the whole 8-byte buffer, '#' = untouched
    };
    const Row rows[] = {
        {"hello", 3, "he\0#####"}, {"hello", 0, "########"},
        {"hi", 10, "hi\0#####"},  // no padding after the NUL
        {"hello", 1, "\0#######"}, {"hello", 6, "hello\0##"},
    };
    for (const Row& row : rows) {
        char dst[8];
        memset(dst, '#', sizeof dst);
        EXPECT_EQ(lstrcpynA(dst, row.src, row.count), dst);
        EXPECT_EQ(std::string(dst, 8), std::string(row.expected, 8))
            << row.src << " count " << row.count;
    }
}

TEST(CaseMapping, AsciiAndWindows1252Letters) {
    char s[] = "abc XYZ 123 \xE0\xE9\xFE\xF7\xFF\xDF\x9A\x9C\x9E";
    CharUpperA(s);
    EXPECT_STREQ(s, "ABC XYZ 123 \xC0\xC9\xDE\xF7\x9F\xDF\x8A\x8C\x8E");
    CharLowerA(s);
    EXPECT_STREQ(s, "abc xyz 123 \xE0\xE9\xFE\xF7\xFF\xDF\x9A\x9C\x9E");
}

TEST(CaseMapping, FullUpperAndLowerRanges) {
    for (int c = 0xE0; c <= 0xFF; ++c) {
        char s[2] = {char(c), 0};
        CharUpperA(s);
        int expected = c == 0xF7 ? 0xF7 : c == 0xFF ? 0x9F : c - 0x20;
        EXPECT_EQ(uint8_t(s[0]), expected) << std::hex << c;
    }
    for (int c = 0xC0; c <= 0xDF; ++c) {
        char s[2] = {char(c), 0};
        CharLowerA(s);
        int expected = (c == 0xD7 || c == 0xDF) ? c : c + 0x20;
        EXPECT_EQ(uint8_t(s[0]), expected) << std::hex << c;
    }
}

TEST(CaseMapping, PointerWithZeroHighWordIsOneCharacter) {
    auto single = [](uintptr_t c) { return reinterpret_cast<LPSTR>(c); };
    EXPECT_EQ(reinterpret_cast<uintptr_t>(CharUpperA(single('q'))), uintptr_t('Q'));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(CharLowerA(single(0xC9))), uintptr_t(0xE9));
}

}  // namespace
