// Which files a page may read: its folders, regular files only, each
// refusal with its reason.
#include "net/file_access.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "host/e2e/qpmhost_process.h"

namespace {

TEST(FileAccessRule, FoldersMustBeDirectories) {
    const std::string dir = MakeScratchDirectory();
    WriteTextFile(dir + "/file", "x");
    struct {
        std::string folder;
        bool allowed;
        std::string error;
    } rows[] = {
        {dir, true, ""},
        {dir + "/missing", false, dir + "/missing: No such file or directory"},
        {dir + "/file", false, dir + "/file: not a directory"},
    };
    for (const auto& row : rows) {
        FileAccessRule rule;
        std::string error;
        EXPECT_EQ(rule.Allow(row.folder, &error), row.allowed) << row.folder;
        EXPECT_EQ(error, row.error);
    }
    std::filesystem::remove_all(dir);
}

TEST(FileAccessRule, OnlyRegularFilesInsideAreRead) {
    const std::string root = MakeScratchDirectory();
    const std::string dir = root + "/page";
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    WriteTextFile(dir + "/news.txt", "x");
    WriteTextFile(root + "/outside.txt", "x");
    ASSERT_EQ(mkdir((dir + "/sub").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0644), 0);
    ASSERT_EQ(symlink("../outside.txt", (dir + "/link").c_str()), 0);
    FileAccessRule rule;
    std::string error;
    ASSERT_TRUE(rule.Allow(dir, &error));
    ASSERT_TRUE(rule.Allow("/dev", &error));
    const std::string outside = "it is outside the page's folder " + dir;
    struct {
        std::string path;
        bool refused, readable;
        std::string why;  // CheckReadable's, and Refused's when it refuses
    } rows[] = {
        {dir + "/news.txt", false, true, ""},
        {dir + "/sub/../news.txt", false, true, ""},
        // Not there: not refused, its reading fails with its own reason.
        {dir + "/missing.txt", false, false, "No such file or directory"},
        {root + "/outside.txt", true, false, outside},
        {dir + "/link", true, false, outside},
        {dir + "/sub", true, false, "it is a directory, not a regular file"},
        {dir + "/fifo", true, false, "it is a FIFO, not a regular file"},
        {"/dev/null", true, false, "it is a device, not a regular file"},
    };
    for (const auto& row : rows) {
        std::string refusedWhy, readableWhy;
        EXPECT_EQ(rule.Refused(row.path, &refusedWhy), row.refused) << row.path;
        EXPECT_EQ(refusedWhy.substr(0, row.why.size()), row.refused ? row.why : "") << row.path;
        EXPECT_EQ(rule.CheckReadable(row.path, &readableWhy), row.readable) << row.path;
        EXPECT_EQ(readableWhy.substr(0, row.why.size()), row.why) << row.path;
    }
    EXPECT_STREQ(FileKindName(S_IFLNK), "not a regular file");
    std::filesystem::remove_all(root);
}

}  // namespace
