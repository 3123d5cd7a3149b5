// lstrcmpA / lstrcmpiA: the word sort of code page 1252.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct Row {
    const char* a;
    const char* b;
    int ignoringCase;  // lstrcmpiA
    int withCase;      // lstrcmpA
};

void ExpectRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        EXPECT_EQ(lstrcmpiA(row.a, row.b), row.ignoringCase) << row.a << " vs " << row.b;
        EXPECT_EQ(lstrcmpA(row.a, row.b), row.withCase) << row.a << " vs " << row.b;
        // Antisymmetry: swapping the arguments flips the sign.
        EXPECT_EQ(lstrcmpiA(row.b, row.a), -row.ignoringCase) << row.b << " vs " << row.a;
        EXPECT_EQ(lstrcmpA(row.b, row.a), -row.withCase) << row.b << " vs " << row.a;
    }
}

TEST(Collation, WordSortTable) {
    ExpectRows({
        {"abc", "ABC", 0, -1},  // lower case sorts first
        {"a", "B", -1, -1},
        {"Z", "a", 1, 1},
        {"~", "a", -1, -1},
        {"_", "a", -1, -1},
        {"[", "a", -1, -1},
        {"1", "a", -1, -1},
        {"10", "9", -1, -1},
        {"a-b", "ab", 1, 1},
        {"co-op", "coop", 1, 1},
        {"co-op", "cop", -1, -1},  // the hyphen is nearly ignored
        {"a'b", "ab", 1, 1},
        {"a b", "ab", -1, -1},
        {"file_a", "file-a", -1, -1},
        {"file-a", "filea", 1, 1},
        {"filea", "file_a", 1, 1},
    });
}

TEST(Collation, AccentsExpansionsAndCase) {
    ExpectRows({
        {"\xE9", "e", 1, 1},  // é after its base letter...
        {"\xE9", "E", 1, 1},
        {"\xE9", "f", -1, -1},  // ...but before the next one
        {"\xE9", "z", -1, -1},
        {"\xC0", "A", 1, 1},
        {"\xF1", "n", 1, 1},
        {"\xDF", "ss", 0, 0},  // sharp s is ss
        {"\xDF", "s", 1, 1},
        {"\xE6", "ae", 0, 0},
        {"\xC6", "AE", 0, 0},
        {"\xC0", "\xE0", 0, 1},  // upper against lower: equal ignoring case
        {"\x8A", "\x9A", 0, 1},
        {"\x9F", "\xFF", 0, 1},
        {"\xD7", "\xF7", -1, -1},  // multiplication and division signs differ
    });
}

TEST(Collation, NullSortsFirst) {
    EXPECT_EQ(lstrcmpiA(nullptr, "a"), -1);
    EXPECT_EQ(lstrcmpiA("a", nullptr), 1);
    EXPECT_EQ(lstrcmpiA(nullptr, nullptr), 0);
    EXPECT_EQ(lstrcmpiA("", nullptr), 1);
    EXPECT_EQ(lstrcmpA(nullptr, ""), -1);
}

TEST(Collation, UpperLowerPairsOfTheLatinRange) {
    for (int c = 0xC0; c <= 0xDE; ++c) {
        std::string upper(1, char(c)), lower(1, char(c + 0x20));
        int expected = c == 0xD7 ? -1 : 0;
        EXPECT_EQ(lstrcmpiA(upper.c_str(), lower.c_str()), expected) << std::hex << c;
    }
}

char Upper(char c) {
    char s[2] = {c, 0};
    CharUpperA(s);
    return s[0];
}

// Every pair of a list that lstrcmpiA must sort as given compares less,
// or equal when the two are one letter in two cases.
void ExpectSorted(const std::string& order) {
    for (size_t i = 0; i < order.size(); ++i) {
        for (size_t j = i + 1; j < order.size(); ++j) {
            std::string a(1, order[i]), b(1, order[j]);
            int expected = Upper(a[0]) == Upper(b[0]) ? 0 : -1;
            EXPECT_EQ(lstrcmpiA(a.c_str(), b.c_str()), expected)
                << std::hex << int(uint8_t(a[0])) << " vs " << int(uint8_t(b[0]));
        }
    }
}

TEST(Collation, PrintableAsciiOrder) {
    std::string order = "'- !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>0123456789";
    for (char c = 'A'; c <= 'Z'; ++c) order += std::string{c, char(c + 0x20)};
    ExpectSorted(order);
}

TEST(Collation, LatinLettersOrder) {
    const unsigned char order[] = {
        0xD7, 0xF7, 'A',  'a',  0xC1, 0xE1, 0xC0, 0xE0, 0xC2, 0xE2, 0xC4, 0xE4, 0xC3, 0xE3,
        0xC5, 0xE5, 0xC6, 0xE6, 0xC7, 0xE7, 0xD0, 0xF0, 'E',  0xC9, 0xE9, 0xC8, 0xE8, 0xCA,
        0xEA, 0xCB, 0xEB, 0xCD, 0xED, 0xCC, 0xEC, 0xCE, 0xEE, 0xCF, 0xEF, 0xD1, 0xF1, 0xD3,
        0xF3, 0xD2, 0xF2, 0xD4, 0xF4, 0xD6, 0xF6, 0xD5, 0xF5, 0xD8, 0xF8, 0xDF, 0xDE, 0xFE,
        0xDA, 0xFA, 0xD9, 0xF9, 0xDB, 0xFB, 0xDC, 0xFC, 0xDD, 0xFD, 0xFF, 'Z'};
    ExpectSorted(std::string(reinterpret_cast<const char*>(order), sizeof order));
}

TEST(Collation, AccentCountsOnlyAfterTheLettersAcrossTheString) {
    // The letters decide first ("cote" < "cotf"), then the accents.
    EXPECT_EQ(lstrcmpiA("c\xF4t\xE9", "cotf"), -1);
    EXPECT_EQ(lstrcmpiA("cot\xE9", "c\xF4te"), -1);  // accent later in the word sorts first
    EXPECT_EQ(lstrcmpA("Cote", "cot\xE9"), -1);      // accents outrank case
}

}  // namespace
