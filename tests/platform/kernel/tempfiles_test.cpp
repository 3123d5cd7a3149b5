// GetTempPathA, GetTempFileNameA and GetWindowsDirectoryA.
#include "kernel_test_support.h"

#include <cstdlib>
#include <regex>

namespace {

using qpm_test::FileExists;
using qpm_test::kSeparator;
using qpm_test::ScratchDir;

TEST(TempPath, EndsWithASeparatorAndTooSmallGivesTheSizeNeeded) {
    char buffer[MAX_PATH];
    const DWORD len = GetTempPathA(MAX_PATH, buffer);
    ASSERT_GT(len, 0u);
    ASSERT_LT(len, DWORD(MAX_PATH));
    EXPECT_EQ(buffer[len - 1], kSeparator);
    EXPECT_TRUE(FileExists(buffer));
    for (DWORD size : {len, DWORD(5)}) {
        char small[MAX_PATH];
        memset(small, '#', sizeof small);
        EXPECT_EQ(GetTempPathA(size, small), len + 1) << size;  // needed, with the NUL
        EXPECT_EQ(small[0], '#') << size;                       // not touched
    }
    EXPECT_EQ(GetTempPathA(0, nullptr), len + 1);
}

#if !defined(_WIN32)
// Sets TMPDIR for the scope of a test.
class TmpDirScope {
public:
    explicit TmpDirScope(const std::string& value) {
        const char* old = getenv("TMPDIR");
        if (old) saved_ = old, had_ = true;
        setenv("TMPDIR", value.c_str(), 1);
    }
    ~TmpDirScope() {
        if (had_)
            setenv("TMPDIR", saved_.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

private:
    std::string saved_;
    bool had_ = false;
};
#endif

TEST(TempPath, ComesFromTmpdir) {
    QPM_LAYER_CHOICE("the temporary directory is POSIX's TMPDIR, else /tmp");
#if !defined(_WIN32)
    ScratchDir dir;
    TmpDirScope scope(dir.path());
    char buffer[MAX_PATH];
    EXPECT_EQ(GetTempPathA(MAX_PATH, buffer), dir.path().size() + 1);
    EXPECT_EQ(buffer, dir.path() + "/");
    TmpDirScope unset("");
    EXPECT_EQ(GetTempPathA(MAX_PATH, buffer), 5u);
    EXPECT_STREQ(buffer, "/tmp/");
#endif
}

TEST(TempPath, AChosenFolderComesBeforeTmpdir) {
    QPM_REQUIRES_HOST_EXTENSION("QpmSetTempDirectory");
#if !defined(_WIN32)
    ScratchDir chosen, fromEnvironment;
    struct Row {
        const char* set;     // given to QpmSetTempDirectory
        const char* tmpdir;  // $TMPDIR meanwhile
        std::string answer;  // what GetTempPathA gives
    };
    const std::string chosenPath = chosen.path(), envPath = fromEnvironment.path();
    const std::string chosenWithSlash = chosenPath + "/";
    const Row rows[] = {
        {chosenPath.c_str(), envPath.c_str(), chosenPath + "/"},
        {chosenWithSlash.c_str(), envPath.c_str(), chosenPath + "/"},
        {"", envPath.c_str(), envPath + "/"},
        {nullptr, envPath.c_str(), envPath + "/"},
        {nullptr, "", "/tmp/"},
    };
    for (const Row& row : rows) {
        TmpDirScope scope(row.tmpdir);
        QpmSetTempDirectory(row.set);
        char buffer[MAX_PATH];
        EXPECT_EQ(GetTempPathA(MAX_PATH, buffer), row.answer.size()) << row.answer;
        EXPECT_EQ(buffer, row.answer);
        char name[MAX_PATH];
        EXPECT_NE(GetTempFileNameA(buffer, "Plugins", 0, name), 0u);
        EXPECT_EQ(std::string(name).rfind(row.answer + "Plu", 0), 0u) << name;
        DeleteFileA(name);
    }
    QpmSetTempDirectory(nullptr);
#endif
}

TEST(TempFileName, CreatesNumberedFilesWithAThreeLetterPrefix) {
    ScratchDir dir;
    char name[MAX_PATH];
    UINT first = GetTempFileNameA(dir.path().c_str(), "Plugins", 0, name);
    ASSERT_NE(first, 0u);
    char hex[8];
    snprintf(hex, sizeof hex, "%x", first);
    EXPECT_EQ(std::string(name), dir / ("Plu" + std::string(hex) + ".tmp"));
    EXPECT_TRUE(std::regex_match(name, std::regex(".*[/\\\\]Plu[0-9a-f]{1,4}\\.tmp")));
    EXPECT_TRUE(FileExists(name));
    EXPECT_EQ(qpm_test::ReadFileBytes(name), "");  // created, empty
    EXPECT_EQ(GetFileAttributesA(name), DWORD(FILE_ATTRIBUTE_ARCHIVE));

    UINT second = GetTempFileNameA((dir.path() + kSeparator).c_str(), "Plugins", 0, name);
    EXPECT_NE(second, first);
#if !defined(_WIN32)
    // The layer counts on from the last number; Windows starts again from
    // the clock unless the two calls fall in the same millisecond.
    EXPECT_EQ(second, first + 1 == 0x10000 ? 1 : first + 1);
#endif
    EXPECT_TRUE(FileExists(name));
    EXPECT_EQ(dir.List().size(), 2u);
}

TEST(TempFileName, SkipsNamesThatExist) {
    QPM_LAYER_CHOICE("numbers count on from the last name made; Windows starts from the clock");
    ScratchDir dir;
    char name[MAX_PATH];
    UINT first = GetTempFileNameA(dir.path().c_str(), "x", 0, name);
    while (first >= 0xFFF0) first = GetTempFileNameA(dir.path().c_str(), "x", 0, name);  // no wrap
    // Occupy the next two numbers; the following call must pass them by.
    for (UINT n : {first + 1, first + 2}) {
        char taken[MAX_PATH];
        GetTempFileNameA(dir.path().c_str(), "x", n, taken);
        qpm_test::WriteFileBytes(taken, "busy");
    }
    UINT next = GetTempFileNameA(dir.path().c_str(), "x", 0, name);
    EXPECT_EQ(next, first + 3);
    EXPECT_EQ(qpm_test::ReadFileBytes(name), "");
}

TEST(TempFileName, GivenNumberBuildsTheNameOnly) {
    ScratchDir dir;
    struct Row {
        const char* prefix;
        UINT unique;
        UINT result;
        const char* name;
    };
    const Row rows[] = {
        {"Plugins", 0x1234, 0x1234, "Plu1234.tmp"}, {"Plugins", 1, 1, "Plu1.tmp"},
        {"Plugins", 0xAB, 0xAB, "Pluab.tmp"},       {"Plugins", 0x12345, 0x2345, "Plu2345.tmp"},
        {"", 0xaf1a, 0xaf1a, "af1a.tmp"},           {nullptr, 0xaf1a, 0xaf1a, "af1a.tmp"},
        {"ab", 0xaf1c, 0xaf1c, "abaf1c.tmp"},
    };
    for (const Row& row : rows) {
        char name[MAX_PATH];
        EXPECT_EQ(GetTempFileNameA(dir.path().c_str(), row.prefix, row.unique, name), row.result);
        EXPECT_EQ(std::string(name), dir / row.name);
    }
    EXPECT_TRUE(dir.List().empty());  // nothing created
}

TEST(TempFileName, MissingDirectoryFails) {
    ScratchDir dir;
    char name[MAX_PATH];
    SetLastError(0);
    EXPECT_EQ(GetTempFileNameA((dir / "nodir").c_str(), "x", 0, name), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DIRECTORY));
    SetLastError(0);
    EXPECT_EQ(GetTempFileNameA((dir / "nodir").c_str(), "x", 5, name), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DIRECTORY));
}

TEST(TempFileName, InjectedFailureCreatesNothing) {
    QPM_REQUIRES_HOST_EXTENSION("fault injection");
    ScratchDir dir;
    char name[MAX_PATH];
    QpmFailNth(QPM_FAULT_FILECREATE, 1);
    EXPECT_EQ(GetTempFileNameA(dir.path().c_str(), "x", 0, name), 0u);
    EXPECT_TRUE(dir.List().empty());
    EXPECT_NE(GetTempFileNameA(dir.path().c_str(), "x", 0, name), 0u);
    QpmResetFaults();
}

TEST(WindowsDirectory, LengthRules) {
    qpm_test::WindowsDirectoryScope windows;
    const std::string& dir = windows.path();
    const UINT len = UINT(dir.size());
    char buffer[MAX_PATH];
    EXPECT_EQ(GetWindowsDirectoryA(buffer, MAX_PATH), len);
    EXPECT_EQ(buffer, dir);  // no trailing separator
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetWindowsDirectoryA(buffer, len + 1), len);
    EXPECT_EQ(buffer, dir);
    for (UINT size : {len, 5u, 0u}) {
        memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(GetWindowsDirectoryA(buffer, size), len + 1) << size;
        EXPECT_EQ(buffer[0], '#');  // not touched
    }
}

}  // namespace
