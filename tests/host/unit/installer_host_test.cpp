// The host's side of installing: reading the installer's status, its
// copy in the components folder, and removing an installed type.
#include <gtest/gtest.h>
#include <qpm_platform.h>
#include <sys/stat.h>

#include "host/e2e/qpmhost_process.h"
#include "session/components_folder.h"
#include "session/installer_status.h"
#include "session/uninstall.h"

namespace {

TEST(InstallerStatus, FailureIsEveryTextButProgressAndSuccess) {
    struct Case {
        const char* text;
        InstallerState state;
    } cases[] = {
        {"", InstallerState::kWorking},
        {"QPM downloaded from remote server", InstallerState::kWorking},
        {"Copying QPM to APPLIC32.DLL", InstallerState::kWorking},
        {"The QPM for type application/x-foo has been installed", InstallerState::kInstalled},
        {"Could not copy QPM to APPLIC32.DLL", InstallerState::kFailed},
        {"The QPM from remote server is larger than 64 MB", InstallerState::kFailed},
        {"Cannot install QPM for type application/x-foo", InstallerState::kFailed},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassifyInstallerStatus(c.text), c.state) << c.text;
}

TEST(ComponentsFolder, TheCopyIsMadeOnceAndRenewedWhenTheBuiltOneDiffers) {
    const std::string dir = MakeScratchDirectory();
    const std::string built = dir + "/libvarnoq.so", folder = dir + "/data/qpm/components";
    WriteTextFile(built, "first build");
    std::string error;
    const std::string copy = PlaceInstallerCopy(built, folder, &error);
    ASSERT_EQ(copy, folder + "/libvarnoq.so") << error;
    EXPECT_EQ(ReadFileBytes(copy), "first build");
    struct stat before {
    }, same{}, renewed{};
    stat(copy.c_str(), &before);

    ASSERT_EQ(PlaceInstallerCopy(built, folder, &error), copy) << error;
    stat(copy.c_str(), &same);
    EXPECT_EQ(same.st_ino, before.st_ino);  // left as it was

    WriteTextFile(built, "second build");
    ASSERT_EQ(PlaceInstallerCopy(built, folder, &error), copy) << error;
    stat(copy.c_str(), &renewed);
    EXPECT_EQ(ReadFileBytes(copy), "second build");
    EXPECT_NE(renewed.st_ino, before.st_ino);  // a new file: a running copy keeps the old one
    EXPECT_EQ(EntriesIn(folder), 1);
}

// Each refusal names what could not be done, and leaves no stray file.
TEST(ComponentsFolder, FailuresSayWhatFailed) {
    const std::string dir = MakeScratchDirectory();
    const std::string built = dir + "/libvarnoq.so";
    WriteTextFile(built, "the installer");
    WriteTextFile(dir + "/file", "");
    mkdir((dir + "/taken").c_str(), 0755);
    mkdir((dir + "/taken/libvarnoq.so").c_str(), 0755);  // a directory under the copy's name
    struct {
        std::string built, folder, error;
    } rows[] = {
        {dir + "/missing.so", dir + "/c", "cannot read the installer " + dir + "/missing.so: "},
        {built, dir + "/file/c", "cannot make the components folder " + dir + "/file/c: "},
        {built, dir + "/no/such", ""},  // made on the way
        {built, dir + "/taken", "cannot write " + dir + "/taken/libvarnoq.so: "},
        {built, "/proc/self", "cannot write in /proc/self: "},
    };
    for (const auto& row : rows) {
        std::string error;
        const std::string copy = PlaceInstallerCopy(row.built, row.folder, &error);
        EXPECT_EQ(copy.empty(), !row.error.empty()) << row.folder;
        EXPECT_EQ(error.substr(0, row.error.size()), row.error) << error;
    }
    EXPECT_EQ(EntriesIn(dir + "/taken"), 1);  // the temporary copy went again
}

TEST(Uninstall, RemovesTheEntriesAndOnlyAModuleOfTheComponentsFolder) {
    const std::string dir = MakeScratchDirectory(), folder = dir + "/components";
    mkdir(folder.c_str(), 0755);
    char saved[MAX_PATH] = "";
    GetWindowsDirectoryA(saved, sizeof saved);
    QpmSetWindowsDirectory(dir.c_str());
    WriteTextFile(folder + "/APPLIC32.DLL", "module");
    WriteTextFile(dir + "/elsewhere.DLL", "someone else's");
    WriteTextFile(dir + "/DRX.REG",
                  "[DRX-Win32]\r\napplication/x-foo=" + folder +
                      "/APPLIC32.DLL\r\napplication/x-bar=" + dir +
                      "/elsewhere.DLL\r\n[DRX-Win32-Installing]\r\napplication/x-foo=Y\r\n");
    std::string report;
    EXPECT_TRUE(UninstallType("APPLICATION/X-FOO", folder, &report));
    EXPECT_NE(report.find("deleted " + folder + "/APPLIC32.DLL"), std::string::npos) << report;
    EXPECT_EQ(EntriesIn(folder), 0);
    EXPECT_TRUE(UninstallType("application/x-bar", folder, &report));
    EXPECT_NE(report.find("left " + dir + "/elsewhere.DLL alone"), std::string::npos) << report;
    EXPECT_EQ(ReadFileBytes(dir + "/elsewhere.DLL"), "someone else's");
    const std::string registry = ReadFileBytes(dir + "/DRX.REG");
    EXPECT_EQ(registry.find("application/x-"), std::string::npos) << registry;
    EXPECT_FALSE(UninstallType("application/x-foo", folder, &report));
    EXPECT_EQ(report, "type application/x-foo is not installed\n");
    QpmSetWindowsDirectory(saved);
}

}  // namespace
