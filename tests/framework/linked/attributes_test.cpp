// Attribute look-ups: the direct form, the packed form inside "SUBTYPE"
// with its escapes, integers and booleans, and the packed parser's
// bounds whatever the input.
#include <gtest/gtest.h>
#include <qpm/attributes.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/attribute_list.h"

namespace {

// A record view over test-owned attribute arrays.
struct Attrs {
    AttributeList list;
    InstanceRecord record{};
    Attrs(const AttrList& pairs, bool packed) : list(pairs) {
        list.Fill(&record);
        record.altHost = packed ? 1 : 0;
    }
    std::string Get(const char* name, int32_t size = 512) {
        std::vector<char> buffer(size_t(size > 0 ? size : 1), '#');
        if (!GetAttribute(&record, name, buffer.data(), size)) return "<missing>";
        return buffer.data();
    }
};

TEST(DirectAttributes, LookUpIgnoresCaseAndTheFirstPairWins) {
    Attrs a({{"Text", "hello"}, {"SIZE", "14"}, {"size", "99"}}, false);
    EXPECT_EQ(a.Get("TEXT"), "hello");
    EXPECT_EQ(a.Get("text"), "hello");
    EXPECT_EQ(a.Get("Size"), "14");
    EXPECT_EQ(a.Get("FONT"), "<missing>");
}

TEST(DirectAttributes, LongValuesAreCutToTheBuffer) {
    Attrs a({{"TEXT", "abcdef"}}, false);
    EXPECT_EQ(a.Get("TEXT", 4), "abc");
    EXPECT_EQ(a.Get("TEXT", 1), "");
    char untouched[4] = "xyz";
    EXPECT_EQ(GetAttribute(&a.record, "MISSING", untouched, 4), 0);
    EXPECT_STREQ(untouched, "xyz");
    // Existence without a buffer.
    EXPECT_EQ(GetAttribute(&a.record, "TEXT", nullptr, 0), 1);
}

TEST(DirectAttributes, AnEmptyListHasNothing) {
    InstanceRecord empty{};
    char buffer[8] = "keep";
    EXPECT_EQ(GetAttribute(&empty, "TEXT", buffer, 8), 0);
    EXPECT_STREQ(buffer, "keep");
}

struct PackedCase {
    const char* subtype;
    const char* name;
    const char* expected;  // nullptr = missing
};

TEST(PackedAttributes, EntriesEscapesAndBlanks) {
    const PackedCase cases[] = {
        {"TEXT=Hello%2C world, SIZE=14,NOBORDER", "TEXT", "Hello, world"},
        {"TEXT=Hello%2C world, SIZE=14,NOBORDER", "SIZE", "14"},
        {"TEXT=Hello%2C world, SIZE=14,NOBORDER", "NOBORDER", ""},
        {"TEXT=Hello%2C world, SIZE=14,NOBORDER", "FONT", nullptr},
        {"SIZEX=5,SIZE=7", "SIZE", "7"},
        {"A = 1", "A", " 1"},
        {"V=%41%%%,B", "V", "A%,B"},
        {"V=%4z", "V", "4z"},
        {"V=ab%", "V", "ab"},
        {"V=%6a%6A", "V", "jj"},
        {" ,, ,size=3", "SIZE", "3"},
        {"size=3", "Size", "3"},
        {"A", "A", ""},
        {"A,B=2", "B", "2"},
        {"AB=1", "A", nullptr},
        {"", "A", nullptr},
        {",,,", "A", nullptr},
        {"A=1\tB=2", "A", "1\tB=2"},
        {"A\t=x", "A", "x"},
        // An entry that does not match is skipped by the same escape rules
        // that read a value: "%," does not end it.
        {"TEXT=Buy now%, SIZE=200", "SIZE", nullptr},
        {"TEXT=Buy now%, SIZE=200", "TEXT", "Buy now, SIZE=200"},
        {"X=%41%%%,B,Y=2", "B", nullptr},
        {"X=%41%%%,B,Y=2", "Y", "2"},
        {"X=50%,Y=1", "Y", nullptr},
        {"X=50%%,Y=1", "Y", "1"},
        {"X=%2C,Y=1", "Y", "1"},
        {"X=a%", "Y", nullptr},
    };
    for (const PackedCase& c : cases) {
        Attrs a({{"SUBTYPE", c.subtype}}, true);
        EXPECT_EQ(a.Get(c.name), c.expected ? c.expected : "<missing>")
            << "\"" << c.subtype << "\" / " << c.name;
    }
}

TEST(PackedAttributes, PairNamesAreNeverLookedUpInTheList) {
    Attrs a(
        {{"TYPE", "application/x-t"}, {"SUBTYPE", "TYPE=wrong,DATAFILE=no"}, {"DATAFILE", "d.txt"}},
        true);
    EXPECT_EQ(a.Get("TYPE"), "application/x-t");
    EXPECT_EQ(a.Get("type"), "application/x-t");
    EXPECT_EQ(a.Get("DATAFILE"), "d.txt");
    EXPECT_EQ(a.Get("SUBTYPE"), "TYPE=wrong,DATAFILE=no");
}

TEST(PackedAttributes, WithoutSubtypeNothingIsFound) {
    Attrs a({{"TYPE", "x"}, {"TEXT", "direct pair"}}, true);
    EXPECT_EQ(a.Get("TEXT"), "<missing>");
}

TEST(PackedAttributes, ValuesAreCutToTheBufferAndANullBufferTellsExistence) {
    Attrs a({{"SUBTYPE", "TEXT=%41BCDEF"}}, true);
    EXPECT_EQ(a.Get("TEXT", 4), "ABC");
    EXPECT_EQ(a.Get("TEXT", 1), "");
    EXPECT_EQ(GetAttribute(&a.record, "TEXT", nullptr, 512), 1);
    EXPECT_EQ(GetAttribute(&a.record, "NOPE", nullptr, 512), 0);
}

TEST(IntAttributes, DecimalReadingAndDefaults) {
    Attrs a({{"SIZE", " 14px"},
             {"EMPTY", ""},
             {"NEG", "-5"},
             {"PLUS", "+7"},
             {"WORD", "abc"},
             {"LONG", "1234567890123456789012345"}},
            false);
    int32_t v = 99;
    EXPECT_EQ(GetIntAttribute(&a.record, "SIZE", &v), 1);
    EXPECT_EQ(v, 14);
    v = 12;
    EXPECT_EQ(GetIntAttribute(&a.record, "EMPTY", &v), 0);
    EXPECT_EQ(v, 12);
    EXPECT_EQ(GetIntAttribute(&a.record, "MISSING", &v), 0);
    EXPECT_EQ(v, 12);
    GetIntAttribute(&a.record, "NEG", &v);
    EXPECT_EQ(v, -5);
    GetIntAttribute(&a.record, "PLUS", &v);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(GetIntAttribute(&a.record, "WORD", &v), 1);
    EXPECT_EQ(v, 0);
    // Only 19 characters are read, and overflow wraps rather than failing.
    EXPECT_EQ(GetIntAttribute(&a.record, "LONG", &v), 1);
    EXPECT_EQ(v, ParseDecimal("1234567890123456789"));
}

TEST(BoolAttributes, PresentEmptyOrAYesWord) {
    Attrs direct({{"SHOWBORDER", "TRUE"},
                  {"B", "false"},
                  {"C", ""},
                  {"D", "Y"},
                  {"E", "1"},
                  {"F", "yes"},
                  {"G", "no"}},
                 false);
    EXPECT_EQ(GetBoolAttribute(&direct.record, "SHOWBORDER"), 1);
    EXPECT_EQ(GetBoolAttribute(&direct.record, "B"), 0);
    EXPECT_EQ(GetBoolAttribute(&direct.record, "C"), 1);
    EXPECT_EQ(GetBoolAttribute(&direct.record, "D"), 1);
    EXPECT_EQ(GetBoolAttribute(&direct.record, "E"), 1);
    EXPECT_EQ(GetBoolAttribute(&direct.record, "F"), 1);
    EXPECT_EQ(GetBoolAttribute(&direct.record, "G"), 0);
    EXPECT_EQ(GetBoolAttribute(&direct.record, "MISSING"), 0);
    Attrs packed({{"SUBTYPE", "NOBORDER,X=no"}}, true);
    EXPECT_EQ(GetBoolAttribute(&packed.record, "NOBORDER"), 1);
    EXPECT_EQ(GetBoolAttribute(&packed.record, "X"), 0);
    Attrs packedNo({{"SUBTYPE", "SIZE=9, NOBORDER=no"}}, true);
    EXPECT_EQ(GetBoolAttribute(&packedNo.record, "NOBORDER"), 0);
    Attrs escaped({{"SUBTYPE", "X=%41%%%,B,Y=2"}}, true);
    EXPECT_EQ(GetBoolAttribute(&escaped.record, "B"), 0) << "B is inside X's value";
}

TEST(ViewOfACreationRecord, SetsTheMarkWithoutTouchingMode) {
    char name[] = "SUBTYPE", value[] = "SIZE=20";
    char* names[] = {name, nullptr};
    char* values[] = {value, nullptr};
    InitRecord init{};
    init.attrCount = 1;
    init.attrNames = names;
    init.attrValues = values;
    init.mode = kAltHostMark + 3;
    InstanceRecord view;
    ViewInitRecord(&view, &init);
    EXPECT_EQ(view.altHost, 1);
    EXPECT_EQ(view.mode, kAltHostMark + 3);
    int32_t size = 0;
    EXPECT_EQ(GetIntAttribute(&view, "SIZE", &size), 1);
    EXPECT_EQ(size, 20);
    init.mode = kAltHostMark - 1;
    ViewInitRecord(&view, &init);
    EXPECT_EQ(view.altHost, 0);
}

// Random lists and names: the parser reads only inside the list (an
// exact-size heap copy, so the sanitizer sees any overrun) and writes
// only inside the buffer (guard bytes on both sides).
TEST(PackedAttributes, ParserStaysInBoundsWhateverTheInput) {
    std::mt19937 random(20261207);
    const char alphabet[] = "AB=,% \t9fF\x80z";
    for (int round = 0; round < 20000; ++round) {
        std::string list;
        size_t length = random() % 24;
        for (size_t i = 0; i < length; ++i) list += alphabet[random() % (sizeof alphabet - 1)];
        std::string name = std::string(1, "ABz"[random() % 3]) + (random() % 2 ? "B" : "");
        char* exact = static_cast<char*>(malloc(list.size() + 1));
        memcpy(exact, list.c_str(), list.size() + 1);
        int32_t size = int32_t(random() % 6);
        std::vector<char> buffer(size_t(size) + 8, '\x55');
        int32_t found = FindPackedAttribute(exact, name.c_str(), buffer.data() + 4, size);
        for (int i = 0; i < 4; ++i) ASSERT_EQ(buffer[size_t(i)], '\x55') << list;
        for (size_t i = size_t(size) + 4; i < buffer.size(); ++i)
            ASSERT_EQ(buffer[i], '\x55') << list;
        if (found && size > 0) {
            ASSERT_LE(strnlen(buffer.data() + 4, size_t(size)), size_t(size - 1));
        }
        free(exact);
    }
}

}  // namespace
