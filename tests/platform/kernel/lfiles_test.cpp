// The old handle-based file functions and OpenFile.
#include "kernel_test_support.h"

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
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

// Many small writes, as the old functions are used: whatever reads the
// file next through the layer (another handle, a copy, a seek) finds
// every byte, in the order the writes were made, also when two handles
// write the same file.
TEST_F(LFilesTest, SmallWritesAreInTheFileForWhateverComesNext) {
    std::string path = dir / "pieces.bin", copy = dir / "copy.bin";
    HFILE writer = _lcreat(path.c_str(), 0);
    ASSERT_NE(writer, HFILE_ERROR);
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        std::string piece(1000, char('a' + i % 26));
        ASSERT_EQ(_hwrite(writer, piece.data(), LONG(piece.size())), LONG(piece.size()));
        expected += piece;
    }
    HFILE reader = _lopen(path.c_str(), OF_READ | OF_SHARE_DENY_NONE);
    ASSERT_NE(reader, HFILE_ERROR);
    std::string read(expected.size() + 1, '\0');
    EXPECT_EQ(_hread(reader, &read[0], LONG(read.size())), LONG(expected.size()));
    EXPECT_TRUE(read.compare(0, expected.size(), expected) == 0);
#if !defined(_WIN32)  // Windows' CopyFileA shares no writing: it cannot copy an open file
    EXPECT_TRUE(CopyFileA(path.c_str(), copy.c_str(), FALSE));
    EXPECT_EQ(ReadFileBytes(copy).size(), expected.size());
#endif

    // A second writer over the start, then the first one again after it.
    HFILE second = _lopen(path.c_str(), OF_READWRITE | OF_SHARE_DENY_NONE);
    ASSERT_NE(second, HFILE_ERROR);
    EXPECT_EQ(_lwrite(writer, "1", 1), 1u);   // at the end
    EXPECT_EQ(_lwrite(second, "22", 2), 2u);  // at the start
    EXPECT_EQ(_llseek(writer, 1, FILE_BEGIN), 1);
    EXPECT_EQ(_lwrite(writer, "3", 1), 1u);  // over the second writer's second byte
    EXPECT_EQ(_llseek(writer, 0, FILE_END), LONG(expected.size() + 1));
    for (HFILE h : {writer, second, reader}) EXPECT_EQ(_lclose(h), 0);
    expected[0] = '2';
    expected[1] = '3';
    EXPECT_EQ(ReadFileBytes(path), expected + "1");
}

#if !defined(_WIN32)
// A write that reaches the disk late still fails where the caller looks:
// at the next call through the handle, at the latest when it is closed.
TEST_F(LFilesTest, AWriteThatFailsLateIsReportedByTheClose) {
    std::string path = dir / "full.bin";
    HFILE h = _lcreat(path.c_str(), 0);
    ASSERT_NE(h, HFILE_ERROR);
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, RLIM_INFINITY}, none{RLIM_INFINITY, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);  // a disk with 4096 bytes free
    std::string piece(1024, 'x');
    for (int i = 0; i < 8; ++i) _hwrite(h, piece.data(), LONG(piece.size()));
    SetLastError(0);
    EXPECT_EQ(_lclose(h), HFILE_ERROR);
    EXPECT_NE(GetLastError(), DWORD(0));
    setrlimit(RLIMIT_FSIZE, &none);
    EXPECT_LT(ReadFileBytes(path).size(), 8 * piece.size());
}
#endif

}  // namespace
