// The old handle-based file functions and OpenFile.
#include "kernel_test_support.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using qpm_test::ReadFileBytes;
using qpm_test::ScratchDir;
using qpm_test::WriteFileBytes;

class LFilesTest : public ::testing::Test {
protected:
    ScratchDir dir;
};

TEST_F(LFilesTest, CreateTruncatesAndTheHandleReadsAndWrites) {
    std::string path = dir / "f.bin";
    WriteFileBytes(path, "0123456789abcdef");
    HFILE h = _lcreat(path.c_str(), 0);
    ASSERT_NE(h, HFILE_ERROR);
    EXPECT_GT(h, 0);
    EXPECT_EQ(ReadFileBytes(path), "");  // truncated at once

    EXPECT_EQ(_lwrite(h, "hello", 5), 5u);
    EXPECT_EQ(_hwrite(h, " world", 6), 6);
    EXPECT_EQ(_llseek(h, 0, FILE_CURRENT), 11);
    EXPECT_EQ(_llseek(h, 0, FILE_END), 11);
    EXPECT_EQ(_llseek(h, 0, FILE_BEGIN), 0);
    char buffer[64] = {};
    EXPECT_EQ(_lread(h, buffer, 64), 11u);
    EXPECT_STREQ(buffer, "hello world");

    EXPECT_EQ(_llseek(h, 100, FILE_BEGIN), 100);  // past the end: size unchanged
    EXPECT_EQ(_llseek(h, 0, FILE_END), 11);
    SetLastError(0);
    EXPECT_EQ(_llseek(h, -5, FILE_BEGIN), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));

    EXPECT_EQ(_llseek(h, 5, FILE_BEGIN), 5);
    EXPECT_EQ(_lwrite(h, "", 0), 0u);  // a zero-byte write sets the end of file here
    EXPECT_EQ(_lclose(h), 0);
    EXPECT_EQ(ReadFileBytes(path), "hello");
    SetLastError(0);
    EXPECT_EQ(_lclose(h), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(LFilesTest, ReadOnlyHandleReadsToTheEndAndRefusesWrites) {
    std::string path = dir / "ten.bin";
    WriteFileBytes(path, "0123456789");
    HFILE h = _lopen(path.c_str(), OF_READ | OF_SHARE_DENY_WRITE);
    ASSERT_NE(h, HFILE_ERROR);
    char buffer[64];
    EXPECT_EQ(_lread(h, buffer, 4), 4u);
    EXPECT_EQ(_lread(h, buffer, 64), 6u);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(_lread(h, buffer, 64), 0u);  // at the end
    EXPECT_EQ(_lread(h, buffer, 0), 0u);
    EXPECT_EQ(_llseek(h, 0, FILE_END), 10);
    SetLastError(0);
    EXPECT_EQ(_lwrite(h, "x", 1), UINT(HFILE_ERROR));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(_lclose(h), 0);
    EXPECT_EQ(ReadFileBytes(path), "0123456789");
}

TEST_F(LFilesTest, OpeningMissingFilesAndDirectories) {
    struct Row {
        std::string path;
        DWORD error;
    };
    const Row rows[] = {
        {dir / "missing.bin", ERROR_FILE_NOT_FOUND},
        {dir / "nodir/missing.bin", ERROR_PATH_NOT_FOUND},
        {dir.path(), ERROR_ACCESS_DENIED},  // a directory is not a file
    };
    for (const Row& row : rows) {
        SetLastError(0);
        EXPECT_EQ(_lopen(row.path.c_str(), OF_READ), HFILE_ERROR) << row.path;
        EXPECT_EQ(GetLastError(), row.error) << row.path;
    }
    SetLastError(0);
    EXPECT_EQ(_lcreat((dir / "nodir/new.bin").c_str(), 0), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

TEST_F(LFilesTest, BackslashesWorkAsSeparators) {
    ASSERT_TRUE(qpm_test::MakeDirectory(dir / "sub"));
    std::string windowsStyle = dir.path() + "\\sub\\x.txt";
    HFILE h = _lcreat(windowsStyle.c_str(), 0);
    ASSERT_NE(h, HFILE_ERROR);
    _lwrite(h, "x", 1);
    _lclose(h);
    EXPECT_EQ(ReadFileBytes(dir / "sub/x.txt"), "x");
}

TEST_F(LFilesTest, SharingRulesBetweenHandles) {
    std::string path = dir / "shared.bin";
    WriteFileBytes(path, "data");
    HFILE holder = _lopen(path.c_str(), OF_READ | OF_SHARE_DENY_WRITE);
    ASSERT_NE(holder, HFILE_ERROR);
    struct Row {
        int mode;
        bool opens;
    };
    const Row rows[] = {
        {OF_READ, true},
        {OF_READ | OF_SHARE_DENY_WRITE, true},
        {OF_WRITE, false},
        {OF_READWRITE, false},
        {OF_READ | OF_SHARE_DENY_NONE, true},
        {OF_READWRITE | OF_SHARE_DENY_NONE, false},
    };
    for (const Row& row : rows) {
        SetLastError(0);
        HFILE h = _lopen(path.c_str(), row.mode);
        EXPECT_EQ(h != HFILE_ERROR, row.opens) << std::hex << row.mode;
        if (h != HFILE_ERROR)
            _lclose(h);
        else
            EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    }
    SetLastError(0);
    EXPECT_EQ(_lcreat(path.c_str(), 0), HFILE_ERROR);  // would write: refused...
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(ReadFileBytes(path), "data");  // ...and not truncated
    _lclose(holder);

    HFILE writer = _lopen(path.c_str(), OF_READWRITE);
    EXPECT_EQ(_lopen(path.c_str(), OF_READ | OF_SHARE_DENY_WRITE), HFILE_ERROR);
    HFILE exclusive = _lopen(path.c_str(), OF_READ | OF_SHARE_EXCLUSIVE);
    EXPECT_EQ(exclusive, HFILE_ERROR);
    _lclose(writer);
    exclusive = _lopen(path.c_str(), OF_READ | OF_SHARE_EXCLUSIVE);
    ASSERT_NE(exclusive, HFILE_ERROR);
    EXPECT_EQ(_lopen(path.c_str(), OF_READ), HFILE_ERROR);
    _lclose(exclusive);
}

TEST_F(LFilesTest, OpenFileFillsTheStructure) {
    std::string missing = dir / "missing.txt";
    OFSTRUCT of;
    SetLastError(0);
    EXPECT_EQ(OpenFile(missing.c_str(), &of, OF_READ), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(of.cBytes, 136);
    EXPECT_EQ(of.nErrCode, ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(of.szPathName, missing.c_str());

    // Opening searches for the file: a missing directory is no file found.
    // Creating there names the directory.
    SetLastError(0);
    EXPECT_EQ(OpenFile((dir / "nodir/x").c_str(), &of, OF_READ), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(of.nErrCode, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenFile((dir / "nodir/x").c_str(), &of, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(of.nErrCode, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenFile((dir / "nodir/x").c_str(), &of, OF_CREATE | OF_WRITE), HFILE_ERROR);
    EXPECT_EQ(of.nErrCode, ERROR_PATH_NOT_FOUND);

    HFILE created = OpenFile(missing.c_str(), &of, OF_CREATE | OF_WRITE);
    ASSERT_NE(created, HFILE_ERROR);
    EXPECT_EQ(of.nErrCode, 0);
    EXPECT_EQ(_lwrite(created, "abc", 3), 3u);
    _lclose(created);

    qpm_test::CurrentDirectoryScope in(dir.path());
    HFILE h = OpenFile("missing.txt", &of, OF_READ);  // a bare name is found in the cwd
    ASSERT_NE(h, HFILE_ERROR);
    EXPECT_STREQ(of.szPathName, missing.c_str());  // the full path
    _lclose(h);
    EXPECT_EQ(OpenFile("missing.txt", &of, OF_EXIST), 1);
    EXPECT_EQ(OpenFile("nothere.txt", &of, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(of.nErrCode, ERROR_FILE_NOT_FOUND);

    h = OpenFile("missing.txt", &of, OF_READWRITE);
    ASSERT_NE(h, HFILE_ERROR);
    char buffer[8] = {};
    EXPECT_EQ(_lread(h, buffer, 8), 3u);
    _lclose(h);
}

TEST_F(LFilesTest, StaleAndForeignHandlesAreRefused) {
    HFILE h = _lcreat((dir / "a").c_str(), 0);
    _lclose(h);
    char buffer[4];
    const HFILE bad[] = {h, 0, -1, 12345, 0x7FFFFFFF};
    for (HFILE b : bad) {
        SetLastError(0);
        EXPECT_EQ(_lread(b, buffer, 4), UINT(HFILE_ERROR)) << b;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(_llseek(b, 0, FILE_BEGIN), HFILE_ERROR);
    }
}

TEST_F(LFilesTest, InjectedFailureRefusesEveryKindOfCreation) {
    QPM_REQUIRES_HOST_EXTENSION("fault injection");
    std::string path = dir / "keep.txt";
    WriteFileBytes(path, "keep");
    OFSTRUCT of;
    QpmFailNth(QPM_FAULT_FILECREATE, 1);
    EXPECT_EQ(_lcreat(path.c_str(), 0), HFILE_ERROR);
    QpmFailNth(QPM_FAULT_FILECREATE, 1);
    EXPECT_EQ(OpenFile(path.c_str(), &of, OF_CREATE), HFILE_ERROR);
    EXPECT_NE(of.nErrCode, 0);
    EXPECT_EQ(ReadFileBytes(path), "keep");  // neither call truncated it
    QpmFailNth(QPM_FAULT_FILECREATE, 1);
    HFILE h = _lopen(path.c_str(), OF_READ);  // opening is not creating
    EXPECT_NE(h, HFILE_ERROR);
    _lclose(h);
    QpmResetFaults();
}

// A FIFO opens without waiting for a writer, and a file past 2 GB is
// measured as too large rather than as its size wrapped into 32 bits.
TEST_F(LFilesTest, FifosDoNotBlockAndHugeFilesDoNotWrap) {
    QPM_LAYER_CHOICE("POSIX FIFOs and sparse files");
#if !defined(_WIN32)
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    HFILE h = _lopen(fifo.c_str(), OF_READ);
    ASSERT_NE(h, HFILE_ERROR);
    char buffer[8];
    EXPECT_EQ(_lread(h, buffer, sizeof buffer), 0u);  // no writer: at its end
    EXPECT_EQ(_lclose(h), 0);

    for (const long long size : {(2LL << 30), (4LL << 30) + 10}) {
        const std::string path = dir / "huge.bin";
        WriteFileBytes(path, "");
        ASSERT_EQ(truncate(path.c_str(), off_t(size)), 0);
        h = _lopen(path.c_str(), OF_READ);
        ASSERT_NE(h, HFILE_ERROR);
        SetLastError(0);
        EXPECT_EQ(_llseek(h, 0, FILE_END), HFILE_ERROR) << size;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_TOO_LARGE)) << size;
        EXPECT_EQ(_llseek(h, 0, FILE_CURRENT), 0) << "the position stays where it was";
        EXPECT_EQ(_lclose(h), 0);
    }
#endif
}

}  // namespace
