// GetPrivateProfileStringA with buffers too small: values, key lists and
// section lists, each at exact-fit, one-short and smaller sizes. The
// buffer is poisoned with '#' so that bytes written past the rule show.
#include "profile_test_support.h"

namespace {

using qpm_test::ProfileTest;
using qpm_test::Visible;

struct Row {
    DWORD size;
    DWORD result;
    const char* bytes;  // the first `size` bytes of the buffer afterwards
    size_t length;
};

class ProfileBufferTest : public ProfileTest {
protected:
    void ExpectRows(const char* section, const char* key, const Row* rows, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const Row& row = rows[i];
            char buffer[32];
            memset(buffer, '#', sizeof buffer);
            DWORD n = GetPrivateProfileStringA(section, key, "", buffer, row.size, file);
            EXPECT_EQ(n, row.result) << "size " << row.size;
            EXPECT_EQ(Visible(std::string(buffer, row.size)),
                      Visible(std::string(row.bytes, row.length)))
                << "size " << row.size;
            EXPECT_EQ(buffer[row.size], '#') << "wrote past size " << row.size;
        }
    }
};

#define ROW(size, result, bytes) \
    { size, result, bytes, sizeof(bytes) - 1 }

TEST_F(ProfileBufferTest, ValueIsCutToSizeMinusOneAndTerminated) {
    SetBytes("[S]\r\nv=0123456789\r\n");
    const Row rows[] = {
        ROW(11, 10, "0123456789\0"),
        ROW(10, 9, "012345678\0"),
        ROW(5, 4, "0123\0"),
        ROW(2, 1, "0\0"),
        ROW(1, 0, "\0"),
    };
    ExpectRows("S", "v", rows, sizeof rows / sizeof rows[0]);

    char buffer[4] = "###";
    EXPECT_EQ(GetPrivateProfileStringA("S", "v", "", buffer, 0, file), 0u);
    EXPECT_STREQ(buffer, "###");  // size 0: untouched
}

TEST_F(ProfileBufferTest, KeyListTruncationEndsWithOneNul) {
    SetBytes("[S]\r\nalpha=1\r\nbeta=2\r\n");
    const Row rows[] = {
        ROW(14, 11, "alpha\0beta\0\0##"),
        ROW(13, 11, "alpha\0beta\0\0#"),
        ROW(12, 10, "alpha\0beta\0#"),  // the last byte is left as it was
        ROW(11, 9, "alpha\0bet\0#"),
        ROW(10, 8, "alpha\0be\0#"),
        ROW(9, 7, "alpha\0b\0#"),
        ROW(8, 6, "alpha\0\0#"),
        ROW(7, 5, "alpha\0#"),
        ROW(6, 4, "alph\0#"),
    };
    ExpectRows("S", nullptr, rows, sizeof rows / sizeof rows[0]);
}

TEST_F(ProfileBufferTest, SectionListTruncatesTheSameWay) {
    SetBytes("[S]\r\n[T]\r\n");
    const Row rows[] = {
        ROW(6, 4, "S\0T\0\0#"),
        ROW(3, 1, "S\0#"),
        ROW(2, 0, "\0#"),
    };
    ExpectRows(nullptr, nullptr, rows, sizeof rows / sizeof rows[0]);
}

TEST_F(ProfileBufferTest, AnEmptyListIsOneNul) {
    SetBytes("[S]\r\n");
    const Row rows[] = {ROW(4, 0, "\0###"), ROW(2, 0, "\0#"), ROW(1, 0, "\0")};
    ExpectRows("S", nullptr, rows, 3);
    ExpectRows("NoSection", nullptr, rows, 3);
    SetBytes("");
    ExpectRows(nullptr, nullptr, rows, 3);
}

}  // namespace
