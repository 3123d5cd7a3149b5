// DeleteFileA, MoveFileA, MoveFileExA, CopyFileA, GetFileAttributesA,
// including what an open file forbids.
#include "kernel_test_support.h"

namespace {

using qpm_test::FileExists;
using qpm_test::ReadFileBytes;
using qpm_test::ScratchDir;
using qpm_test::WriteFileBytes;

class FileOpsTest : public ::testing::Test {
protected:
    std::string Make(const char* name, const char* bytes) {
        WriteFileBytes(dir / name, bytes);
        return dir / name;
    }
    ScratchDir dir;
};

TEST_F(FileOpsTest, AnOpenFileCannotBeDeletedOrMoved) {
    std::string path = Make("open.txt", "content");
    std::string target = dir / "moved.txt";
    const int modes[] = {OF_READ | OF_SHARE_DENY_WRITE, OF_READWRITE, OF_READ | OF_SHARE_DENY_NONE,
                         -1 /* _lcreat */};
    for (int mode : modes) {
        HFILE h = mode < 0 ? _lcreat(path.c_str(), 0) : _lopen(path.c_str(), mode);
        ASSERT_NE(h, HFILE_ERROR);
        SetLastError(0);
        EXPECT_FALSE(DeleteFileA(path.c_str()));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION)) << mode;
        SetLastError(0);
        EXPECT_FALSE(MoveFileA(path.c_str(), target.c_str()));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION)) << mode;
        EXPECT_TRUE(FileExists(path));
        EXPECT_FALSE(FileExists(target));
        _lclose(h);
        WriteFileBytes(path, "content");
    }
    EXPECT_TRUE(DeleteFileA(path.c_str()));  // closed: now it goes
    EXPECT_FALSE(FileExists(path));
}

TEST_F(FileOpsTest, DeleteErrors) {
    struct Row {
        std::string path;
        DWORD error;
    };
    const Row rows[] = {
        {dir / "missing", ERROR_FILE_NOT_FOUND},
        {dir / "nodir/missing", ERROR_PATH_NOT_FOUND},
        {dir.path(), ERROR_ACCESS_DENIED},
        {"", ERROR_PATH_NOT_FOUND},
    };
    for (const Row& row : rows) {
        SetLastError(0);
        EXPECT_FALSE(DeleteFileA(row.path.c_str()));
        EXPECT_EQ(GetLastError(), row.error) << row.path;
    }
}

TEST_F(FileOpsTest, MoveNeverOverwritesUnlessAsked) {
    std::string src = Make("src.txt", "new"), dst = Make("dst.txt", "old");
    SetLastError(0);
    EXPECT_FALSE(MoveFileA(src.c_str(), dst.c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(ReadFileBytes(dst), "old");
    EXPECT_FALSE(MoveFileExA(src.c_str(), dst.c_str(), 0));

    EXPECT_TRUE(MoveFileExA(src.c_str(), dst.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadFileBytes(dst), "new");
    EXPECT_FALSE(FileExists(src));

    EXPECT_TRUE(MoveFileA(dst.c_str(), (dir / "fresh.txt").c_str()));
    EXPECT_EQ(ReadFileBytes(dir / "fresh.txt"), "new");
    EXPECT_FALSE(FileExists(dst));

    SetLastError(0);
    EXPECT_FALSE(MoveFileA(src.c_str(), (dir / "x").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileOpsTest, ReplacingAnOpenTargetIsRefused) {
    std::string src = Make("src.txt", "new"), dst = Make("dst.txt", "old");
    HFILE h = _lopen(dst.c_str(), OF_READ);
    EXPECT_FALSE(MoveFileExA(src.c_str(), dst.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadFileBytes(dst), "old");
    _lclose(h);
    EXPECT_TRUE(MoveFileExA(src.c_str(), dst.c_str(), MOVEFILE_REPLACE_EXISTING));
}

// The layer copies into a new file and renames it over the target, which
// would leave an open handle reading the old file; so it refuses.
TEST_F(FileOpsTest, CopyingOntoAnOpenTargetIsRefused) {
    QPM_LAYER_CHOICE("Windows copies into a target whose handles let others write");
    std::string src = Make("src.txt", "new"), dst = Make("dst.txt", "old");
    HFILE h = _lopen(dst.c_str(), OF_READ);
    SetLastError(0);
    EXPECT_FALSE(CopyFileA(src.c_str(), dst.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(ReadFileBytes(dst), "old");
    _lclose(h);
    EXPECT_TRUE(CopyFileA(src.c_str(), dst.c_str(), FALSE));
}

TEST_F(FileOpsTest, CopyFile) {
    std::string src = Make("src.txt", "payload"), dst = dir / "dst.txt";
    EXPECT_TRUE(CopyFileA(src.c_str(), dst.c_str(), TRUE));
    EXPECT_EQ(ReadFileBytes(dst), "payload");
    WriteFileBytes(src, "changed");
    SetLastError(0);
    EXPECT_FALSE(CopyFileA(src.c_str(), dst.c_str(), TRUE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));
    EXPECT_EQ(ReadFileBytes(dst), "payload");
    EXPECT_TRUE(CopyFileA(src.c_str(), dst.c_str(), FALSE));
    EXPECT_EQ(ReadFileBytes(dst), "changed");
    EXPECT_TRUE(FileExists(src));

    SetLastError(0);
    EXPECT_FALSE(CopyFileA((dir / "missing").c_str(), dst.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"dst.txt", "src.txt"}));  // no leftovers

    HFILE h = _lopen(src.c_str(), OF_READ | OF_SHARE_DENY_READ);
    EXPECT_FALSE(CopyFileA(src.c_str(), (dir / "c").c_str(), FALSE));  // cannot read it
    _lclose(h);
}

TEST_F(FileOpsTest, Attributes) {
    std::string file = Make("f.txt", "x");
    ASSERT_TRUE(qpm_test::MakeDirectory(dir / "sub"));
    EXPECT_EQ(GetFileAttributesA(file.c_str()), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetFileAttributesA((dir / "sub").c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesA((dir.path() + "\\sub\\").c_str()),
              DWORD(FILE_ATTRIBUTE_DIRECTORY));
    struct Row {
        std::string path;
        DWORD error;
    };
    const Row rows[] = {
        {dir / "missing", ERROR_FILE_NOT_FOUND},
        {dir / "nodir/missing", ERROR_PATH_NOT_FOUND},
        {"", ERROR_PATH_NOT_FOUND},
    };
    for (const Row& row : rows) {
        SetLastError(0);
        EXPECT_EQ(GetFileAttributesA(row.path.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(GetLastError(), row.error) << row.path;
    }
}

}  // namespace
