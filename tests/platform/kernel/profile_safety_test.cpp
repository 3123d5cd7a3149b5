// Profile writes that must not corrupt the file: line injection is
// refused, writes are atomic, and a refused file creation changes nothing.
#include "profile_test_support.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using qpm_test::ProfileResult;
using qpm_test::ProfileTest;
using qpm_test::Visible;

struct Write {
    const char* section;
    const char* key;
    const char* value;
    bool accepted;
};

// The writes that inject sections and keys into a Windows profile. Only
// those that keep the line structure are accepted here.
const Write kWrites[] = {
    {"S6", "k=eq", "v", false},
    {"S6", "k7", "a=b", true},
    {"S6]x", "k", "v", false},
    {"S6", "[Inj]", "v", false},
    {"S6", "  [Inj]", "v", false},
    {"S6", "k8", "a]b[c", true},
    {"S6", ";k9", "v", true},
    {"S6", "k10", ";v", true},
    {"S6", "k11", "line1\r\n[Injected]\r\nevil=1", false},
    {"S6", "k12", "a\nb=c", false},
    {"S6", "k13", "a\rb=c", false},
    {"S6", "kx\r\n[Inj2]\r\ny", "1", false},
    {"S7\r\n[Inj3]", "k", "v", false},
    {"S8", "k", "v\0hidden", true},
    {"[S9]", "k", "v", true},
    {"S10]", "k", "v", true},
};

TEST_F(ProfileTest, WritesThatWouldInjectLinesAreRefused) {
    QPM_LAYER_CHOICE("Windows writes these as given, and the file then holds other lines");
    for (const Write& w : kWrites) {
        std::string before = Bytes();
        SetLastError(0);
        EXPECT_EQ(W(w.section, w.key, w.value), w.accepted ? TRUE : FALSE)
            << Visible(w.section) << " / " << Visible(w.key) << " / " << Visible(w.value);
        if (!w.accepted) {
            EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
            EXPECT_EQ(Visible(Bytes()), Visible(before)) << "refused write changed the file";
        }
    }
    EXPECT_EQ(Visible(Bytes()),
              Visible("[S6]\r\nk7=a=b\r\nk8=a]b[c\r\n;k9=v\r\nk10=;v\r\n[S8]\r\nk=v\r\n"
                      "[[S9]]\r\nk=v\r\n[S10]]\r\nk=v\r\n"));

    EXPECT_EQ(G("S6", "k7"), (ProfileResult{3, "a=b"}));
    EXPECT_EQ(G("S6", "k8"), (ProfileResult{5, "a]b[c"}));
    EXPECT_EQ(G("S6", ";k9"), (ProfileResult{1, "v"}));
    EXPECT_EQ(G("S8", "k"), (ProfileResult{1, "v"}));  // cut at the NUL
    EXPECT_EQ(G("[S9]", "k"), (ProfileResult{1, "v"}));
    EXPECT_EQ(G("S10]", "k"), (ProfileResult{1, "v"}));
    EXPECT_EQ(G("Injected", "evil", "none"), (ProfileResult{4, "none"}));
    char list[200];
    DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "", list, sizeof list, file);
    EXPECT_EQ(Visible(std::string(list, n)), Visible(std::string("S6\0S8\0[S9]\0S10]\0", 16)));
}

TEST_F(ProfileTest, DeletingNeedsNoSafetyCheck) {
    QPM_LAYER_CHOICE("Windows writes a value with a line break as given");
    SetBytes("[A]\r\nk=v\r\n");
    EXPECT_FALSE(W("A", "k", "line\r\nbreak"));     // refused as a write...
    EXPECT_TRUE(W("A", nullptr, "line\r\nbreak"));  // ...but a delete ignores the value
    EXPECT_EQ(Bytes(), "");
}

TEST_F(ProfileTest, WritesLeaveNoTemporaryFilesBehind) {
    for (int i = 0; i < 20; ++i) {
        std::string key = "k" + std::to_string(i);
        ASSERT_TRUE(W("S", key.c_str(), "value"));
    }
    ASSERT_TRUE(W("S", "k3", nullptr));
    EXPECT_EQ(windows.List(), std::vector<std::string>{file});
    EXPECT_EQ(G("S", "k19"), (ProfileResult{5, "value"}));
}

TEST_F(ProfileTest, RefusedFileCreationLeavesTheFileAsItWas) {
    QPM_REQUIRES_HOST_EXTENSION("fault injection");
    ASSERT_TRUE(W("S", "k", "old"));
    std::string before = Bytes();
    QpmFailNth(QPM_FAULT_FILECREATE, 1);
    SetLastError(0);
    EXPECT_FALSE(W("S", "k", "new"));
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(windows.List(), std::vector<std::string>{file});
    EXPECT_TRUE(W("S", "k", "new"));  // only that one call failed
    EXPECT_EQ(G("S", "k"), (ProfileResult{3, "new"}));
    QpmResetFaults();
}

// The layer writes a new file and renames it over the old one; a link
// must stay a link.
TEST_F(ProfileTest, WritingThroughASymlinkKeepsTheLink) {
    QPM_LAYER_CHOICE("profiles are rewritten atomically, through POSIX symbolic links");
#if !defined(_WIN32)
    qpm_test::ScratchDir elsewhere;
    std::string real = elsewhere / "real.ini";
    qpm_test::WriteFileBytes(real, "[S]\r\nk=1\r\n");
    ASSERT_EQ(symlink(real.c_str(), Path().c_str()), 0);
    EXPECT_TRUE(W("S", "k", "2"));
    char target[512];
    EXPECT_GT(readlink(Path().c_str(), target, sizeof target), 0);  // still a link
    EXPECT_EQ(qpm_test::ReadFileBytes(real), "[S]\r\nk=2\r\n");
#endif
}

// What editors and mischief leave: a UTF-8 byte-order mark before the
// first section is no part of its name, and a rewrite keeps it; a first
// key that itself starts with the mark's bytes keeps them (the rewrite
// puts a mark before it). A FIFO in the file's place is not read (it
// would block for ever), it reads as a missing file.
struct MarkedWrite {
    const char* before;
    const char* section;
    const char* key;
    const char* after;
};

const MarkedWrite kMarkedWrites[] = {
    {"\xEF\xBB\xBF[S]\r\nk=1\r\n", "S", "k", "\xEF\xBB\xBF[S]\r\nk=v\r\n"},
    {"[S]\r\nk=1\r\n", "S", "k", "[S]\r\nk=v\r\n"},
    {"", "", "\xEF\xBB\xBFk", "\xEF\xBB\xBF\xEF\xBB\xBFk=v\r\n"},
    {"\xEF\xBB\xBF\xEF\xBB\xBFk=1\r\n[S]\r\n", "S", "j",
     "\xEF\xBB\xBF\xEF\xBB\xBFk=1\r\n[S]\r\nj=v\r\n"},
};

TEST_F(ProfileTest, AByteOrderMarkIsSkippedAndKeptAndAFifoIsNotRead) {
    QPM_LAYER_CHOICE("the layer's reading of marked files and FIFOs");
#if !defined(_WIN32)
    for (const MarkedWrite& row : kMarkedWrites) {
        SetBytes(row.before);
        EXPECT_TRUE(W(row.section, row.key, "v"));
        EXPECT_EQ(Visible(Bytes()), Visible(row.after)) << Visible(row.before);
        EXPECT_EQ(G(row.section, row.key), (ProfileResult{1, "v"})) << Visible(row.before);
    }
    SetBytes("\xEF\xBB\xBF\xEF\xBB\xBFk=1\r\n");
    EXPECT_EQ(G("", "\xEF\xBB\xBFk"), (ProfileResult{1, "1"}));
    unlink(Path().c_str());
    ASSERT_EQ(mkfifo(Path().c_str(), 0600), 0);
    EXPECT_EQ(G("S", "k", "none"), (ProfileResult{4, "none"}));
#endif
}

}  // namespace
