// Converting an alternate host's fixed-layout record.
#include <gtest/gtest.h>
#include <qpm/attributes.h>

#include <cstring>

namespace {

TEST(ConvertAltInitRecord, OnlyTheSubtypeWhenTheOthersAreEmpty) {
    AltInitRecord alt{};
    strcpy(alt.subtype, "A=1");
    alt.mode = 5;
    alt.width = 320;
    alt.height = 24;
    alt.backColor = RGB(1, 2, 3);
    alt.textColor = RGB(4, 5, 6);
    InitRecord out{};
    out.fixedSize = 77;
    char* names[4];
    char* values[4];
    EXPECT_EQ(ConvertAltInitRecord(&alt, &out, names, values), 1);
    EXPECT_EQ(out.size, int32_t(sizeof(InitRecord)));
    EXPECT_EQ(out.attrCount, 1);
    EXPECT_STREQ(names[0], "SUBTYPE");
    EXPECT_EQ(values[0], alt.subtype);
    EXPECT_EQ(names[1], nullptr);
    EXPECT_EQ(values[1], nullptr);
    EXPECT_EQ(out.dataFile, nullptr);
    EXPECT_EQ(out.mode, 5 + kAltHostMark);
    EXPECT_EQ(out.width, 320);
    EXPECT_EQ(out.height, 24);
    EXPECT_EQ(out.backColor, RGB(1, 2, 3));
    EXPECT_EQ(out.textColor, RGB(4, 5, 6));
    EXPECT_EQ(out.fixedSize, 0) << "every field is set; the caller changes it";
}

TEST(ConvertAltInitRecord, AllThreeInOrder) {
    AltInitRecord alt{};
    strcpy(alt.type, "application/x-ticker");
    strcpy(alt.subtype, "TEXT=hi");
    strcpy(alt.dataFile, "C:\\news.txt");
    InitRecord out{};
    char* names[4];
    char* values[4];
    ConvertAltInitRecord(&alt, &out, names, values);
    EXPECT_EQ(out.attrCount, 3);
    EXPECT_STREQ(names[0], "TYPE");
    EXPECT_STREQ(names[1], "SUBTYPE");
    EXPECT_STREQ(names[2], "DATAFILE");
    EXPECT_EQ(values[2], alt.dataFile);
    EXPECT_EQ(out.dataFile, alt.dataFile);
    EXPECT_EQ(names[3], nullptr);
}

TEST(ConvertAltInitRecord, NothingGivesNoAttributes) {
    AltInitRecord alt{};
    InitRecord out{};
    char* names[4];
    char* values[4];
    ConvertAltInitRecord(&alt, &out, names, values);
    EXPECT_EQ(out.attrCount, 0);
    EXPECT_EQ(names[0], nullptr);
    EXPECT_EQ(out.dataFile, nullptr);
}

}  // namespace
