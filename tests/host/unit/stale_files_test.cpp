// The run lock and the sweep of what killed runs left: each name in each
// folder, with the lock free and with another run holding it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "host/e2e/qpmhost_process.h"
#include "session/log.h"
#include "session/run_lock.h"
#include "session/stale_files.h"

namespace {

enum class Kind { kFile, kDirectory, kSymlink };
enum class Fate { kKept, kRemovedWhenAlone, kRemoved };

struct Entry {
    std::string path;  // under the scratch directory
    Kind kind;
    Fate fate;
};

pid_t ExitedPid() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

bool Present(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

void Make(const std::string& path, Kind kind, const std::string& outside) {
    if (kind == Kind::kFile) WriteTextFile(path, "left over");
    if (kind == Kind::kDirectory) mkdir(path.c_str(), 0755);
    if (kind == Kind::kSymlink) {
        ASSERT_EQ(symlink(outside.c_str(), path.c_str()), 0) << path;
    }
}

// Whether a new open file description can take the lock `how`.
bool Lockable(const std::string& path, int how) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const bool granted = fd >= 0 && flock(fd, how | LOCK_NB) == 0;
    if (fd >= 0) close(fd);
    return granted;
}

TEST(StaleFiles, OnlyTheRunsOwnNamesGoAndOnlyWhenNoOtherRunHoldsTheLock) {
    const std::string dead = std::to_string(ExitedPid()), live = std::to_string(getpid());
    const Entry entries[] = {
        {"tmp/Plu1a2b.tmp", Kind::kFile, Fate::kRemovedWhenAlone},
        {"tmp/Plu1.tmp", Kind::kFile, Fate::kRemovedWhenAlone},
        {"tmp/Pluffff.tmp", Kind::kFile, Fate::kRemovedWhenAlone},
        {"tmp/Plu0ab.tmp", Kind::kFile, Fate::kKept},  // never a leading zero
        {"tmp/Plu12345.tmp", Kind::kFile, Fate::kKept},
        {"tmp/PluAB.tmp", Kind::kFile, Fate::kKept},
        {"tmp/Plu12.tmpx", Kind::kFile, Fate::kKept},
        {"tmp/Plu12.tmp", Kind::kDirectory, Fate::kKept},
        {"tmp/Plu13.tmp", Kind::kSymlink, Fate::kKept},
        {"components/QPM1f.tmp", Kind::kFile, Fate::kRemovedWhenAlone},
        {"components/QPM12.tmpx", Kind::kFile, Fate::kKept},
        {"components/Plu12.tmp", Kind::kFile, Fate::kKept},
        {"components/libvarnoq.so.a1B2c3", Kind::kFile, Fate::kRemovedWhenAlone},
        {"components/libvarnoq.so", Kind::kFile, Fate::kKept},
        {"components/libvarnoq.so.a1B2c", Kind::kFile, Fate::kKept},
        {"components/libvarnoq.so.ABCDEF", Kind::kSymlink, Fate::kKept},
        {"components/APPLIC01.DLL", Kind::kFile, Fate::kKept},
        {"win/DRX.REG", Kind::kFile, Fate::kKept},
        {"win/.DRX.REG." + dead + ".1.new", Kind::kFile, Fate::kRemoved},
        {"win/.DRX.REG." + live + ".1.new", Kind::kFile, Fate::kKept},
        {"win/.DRX.REG." + dead + ".2.new", Kind::kDirectory, Fate::kKept},
        {"win/.DRX.REG." + dead + ".3.new", Kind::kSymlink, Fate::kKept},
        {"win/.DRX.REG." + dead + ".new", Kind::kFile, Fate::kKept},
        {"win/.DRX.REG.0.1.new", Kind::kFile, Fate::kKept},
        {"win/.win.ini." + dead + ".1.new", Kind::kFile, Fate::kKept},
    };
    for (const bool otherRun : {false, true}) {
        const std::string dir = MakeScratchDirectory(), lockPath = dir + "/qpmhost.lock";
        for (const char* folder : {"/tmp", "/components", "/win"})
            mkdir((dir + folder).c_str(), 0755);
        WriteTextFile(dir + "/outside", "not ours");
        for (const Entry& entry : entries)
            Make(dir + "/" + entry.path, entry.kind, dir + "/outside");
        // Another run: a shared lock through an open file description of its own.
        const int other = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_EQ(flock(other, otherRun ? LOCK_SH : LOCK_UN), 0);
        std::string told;
        {
            RunLock lock(lockPath);
            SetVerbose(true);
            testing::internal::CaptureStderr();
            TakeRunLockAndSweep(lock, {dir + "/tmp", dir + "/components"});
            RemoveDeadWritersFiles(dir + "/win/DRX.REG");
            told = testing::internal::GetCapturedStderr();
            SetVerbose(false);
            // Held shared now: other runs start, none may sweep.
            EXPECT_TRUE(Lockable(lockPath, LOCK_SH));
            EXPECT_FALSE(Lockable(lockPath, LOCK_EX));
        }
        close(other);
        EXPECT_TRUE(Lockable(lockPath, LOCK_EX));  // given up with the RunLock
        for (const Entry& entry : entries) {
            const bool removed = entry.fate == Fate::kRemoved ||
                                 (entry.fate == Fate::kRemovedWhenAlone && !otherRun);
            EXPECT_EQ(Present(dir + "/" + entry.path), !removed)
                << entry.path << (otherRun ? " (another run holds the lock)" : "");
            const std::string line =
                "removed stale temporary file " + dir + "/" + entry.path + "\n";
            EXPECT_EQ(told.find(line) != std::string::npos, removed) << told;
        }
        EXPECT_EQ(ReadFileBytes(dir + "/outside"), "not ours");
        std::filesystem::remove_all(dir);
    }
}

TEST(StaleFiles, ALockThatCannotBeOpenedSweepsNothingAndDoesNotStopTheRun) {
    const std::string dir = MakeScratchDirectory();
    mkdir((dir + "/tmp").c_str(), 0755);
    WriteTextFile(dir + "/tmp/Plu1.tmp", "");
    RunLock lock(dir + "/no/such/qpmhost.lock");
    EXPECT_FALSE(lock.opened());
    EXPECT_NE(lock.error().find(dir + "/no/such/qpmhost.lock"), std::string::npos);
    TakeRunLockAndSweep(lock, {dir + "/tmp", dir + "/components"});
    EXPECT_TRUE(Present(dir + "/tmp/Plu1.tmp"));
    std::filesystem::remove_all(dir);
}

}  // namespace
