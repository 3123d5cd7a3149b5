// The Win32 error a file call leaves when the host system refuses it:
// real refusals of this host (a path through a file, a directory opened
// as a file, a name too long, unreadable memory, a full device, a loop of
// links), and a move between file systems, which must copy.
#include <sys/stat.h>
#include <unistd.h>

#include "kernel_test_support.h"

namespace {

using qpm_test::ReadFileBytes;
using qpm_test::ScratchDir;
using qpm_test::WriteFileBytes;

constexpr DWORD kErrorGenFailure = 31;
constexpr DWORD kErrorDiskFull = 112;
constexpr DWORD kErrorFilenameTooLong = 206;

class FileErrorsTest : public ::testing::Test {
protected:
    ScratchDir dir;
};

TEST_F(FileErrorsTest, OpeningNamesTheCause) {
    WriteFileBytes(dir / "file.txt", "x");
    symlink((dir / "loop").c_str(), (dir / "loop").c_str());
    struct {
        std::string path;
        bool create;
        DWORD error;
    } rows[] = {
        {dir / "file.txt/inner", false, ERROR_PATH_NOT_FOUND},  // ENOTDIR
        {dir.path(), true, ERROR_ACCESS_DENIED},                // EISDIR
        {dir / std::string(300, 'a'), true, kErrorFilenameTooLong},
        {dir / "loop", false, kErrorGenFailure},  // ELOOP: nothing closer in Win32
    };
    for (const auto& row : rows) {
        SetLastError(0);
        HFILE file = row.create ? _lcreat(row.path.c_str(), 0) : _lopen(row.path.c_str(), OF_READ);
        EXPECT_EQ(file, HFILE_ERROR) << row.path;
        EXPECT_EQ(GetLastError(), row.error) << row.path;
    }
    SetLastError(0);
    EXPECT_EQ(_lcreat(nullptr, 0), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(_lopen(nullptr, OF_READ), HFILE_ERROR);
}

TEST_F(FileErrorsTest, ReadingAndWritingNameTheCause) {
    // Page 0 of a process's memory is never mapped: reading it fails (EIO).
    HFILE memory = _lopen("/proc/self/mem", OF_READ);
    ASSERT_NE(memory, HFILE_ERROR);
    char buffer[8];
    SetLastError(0);
    EXPECT_EQ(_lread(memory, buffer, sizeof buffer), UINT(HFILE_ERROR));
    EXPECT_EQ(GetLastError(), kErrorGenFailure);
    EXPECT_EQ(_hread(memory, buffer, -1), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(_lclose(memory), 0);

    HFILE full = _lopen("/dev/full", OF_WRITE);
    ASSERT_NE(full, HFILE_ERROR);
    EXPECT_EQ(_hwrite(full, nullptr, 3), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(_llseek(full, 0, 7), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    // A small write may be gathered: the full device's refusal then comes
    // when the handle is closed, and not a second time.
    SetLastError(0);
    const bool writeRefused = _lwrite(full, "abc", 3) == UINT(HFILE_ERROR);
    const DWORD writeError = GetLastError();
    SetLastError(0);
    const bool closeRefused = _lclose(full) == HFILE_ERROR;
    EXPECT_NE(writeRefused, closeRefused);
    EXPECT_EQ(writeRefused ? writeError : GetLastError(), kErrorDiskFull);
    EXPECT_EQ(_llseek(full, 0, FILE_BEGIN), HFILE_ERROR);  // closed all the same
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

// OpenFile reports the cause in its OFSTRUCT too; testing for a file
// (OF_EXIST) finds a directory no file, and creating with OF_EXIST leaves
// the new file closed.
TEST_F(FileErrorsTest, OpenFileNamesTheCause) {
    WriteFileBytes(dir / "file.txt", "x");
    struct {
        std::string path;
        UINT style;
        HFILE result;
        DWORD error;
    } rows[] = {
        {"", OF_READ, HFILE_ERROR, ERROR_PATH_NOT_FOUND},
        {dir.path(), OF_EXIST, HFILE_ERROR, ERROR_ACCESS_DENIED},
        {dir / "missing", OF_EXIST, HFILE_ERROR, ERROR_FILE_NOT_FOUND},
        {dir / "file.txt", OF_EXIST, 1, 0},
        {dir / "file.txt/new", OF_CREATE, HFILE_ERROR, ERROR_PATH_NOT_FOUND},
        {dir / "made", OF_CREATE | OF_EXIST, 1, 0},
    };
    for (const auto& row : rows) {
        OFSTRUCT info{};
        SetLastError(0);
        EXPECT_EQ(OpenFile(row.path.c_str(), &info, row.style), row.result) << row.path;
        EXPECT_EQ(GetLastError(), row.error) << row.path;
        EXPECT_EQ(info.nErrCode, row.result == HFILE_ERROR ? row.error : 0) << row.path;
    }
    EXPECT_TRUE(DeleteFileA((dir / "made").c_str()));  // not held open
    SetLastError(0);
    EXPECT_EQ(OpenFile((dir / "file.txt").c_str(), nullptr, OF_READ), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

// rename() cannot cross file systems: the move copies and deletes.
TEST_F(FileErrorsTest, AMoveToAnotherFileSystemCopies) {
    struct stat shm, here;
    if (stat("/dev/shm", &shm) != 0 || stat(dir.path().c_str(), &here) != 0 ||
        shm.st_dev == here.st_dev)
        GTEST_SKIP() << "no second file system at /dev/shm";
    const std::string from = "/dev/shm/qpm-move-" + std::to_string(getpid());
    WriteFileBytes(from, "across");
    EXPECT_TRUE(MoveFileA(from.c_str(), (dir / "moved").c_str()));
    EXPECT_EQ(ReadFileBytes(dir / "moved"), "across");
    EXPECT_NE(access(from.c_str(), F_OK), 0);
}

}  // namespace
