// After the hand-over: the installer's window relays between host and
// installed component and rolls back what was never confirmed; and the
// faults around it: stops at awkward moments, shared types, refused
// places and downloads.
#include "installer_fixture.h"
#include "status_texts.h"

#if !defined(_WIN32)
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#endif

namespace {

std::string TestModule() { return ReadBytes(QPM_TEST_MODULE); }

TEST_F(InstallerTest, HostMessagesGoDownAndRequestsGoUp) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler");
    host.Answer(QPMR_HOSTINFO, [](WPARAM, LPARAM buffer) {
        strcpy(reinterpret_cast<char*>(buffer), "ctx");
        return LRESULT(1);
    });
    HWND w = Install(TestModule(), {{"ASKHOST", ""}});
    TestModuleState* state = ModuleState(w);
    EXPECT_STREQ(state->hostInfo, "ctx");  // asked during its 1025, through the installer
    SendMessageA(w, QPMM_IDLE, 0, 0);
    PrintRecord print{0, QpmCreatePrinterDC(10, 10), 0, 0, 0, 0};
    EXPECT_EQ(SendMessageA(w, QPMM_PRINT, 0, reinterpret_cast<LPARAM>(&print)), 1);
    DeleteDC(print.hdc);
    EXPECT_EQ(state->idles, 1);
    EXPECT_EQ(state->prints, 1);
    MoveWindow(w, 0, 0, 300, 50, TRUE);
    RECT client{};
    GetClientRect(Installer(w)->childWindow, &client);
    EXPECT_EQ(client.right * 1000 + client.bottom, 300050);
}

// An installation the component answered with 2 is final only with 1056.
TEST_F(InstallerTest, AnUnconfirmedInstallationIsRolledBack) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and Windows directory");
    const struct {
        bool confirm;  // message 1036 makes the module send 1056
        bool destroy;  // the host destroys the window rather than sending 1027
    } cases[] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (const auto& c : cases) {
        type = "t" + std::to_string(&c - cases) + "/x";
        HWND w = Install(TestModule(), {{"START", "2"}, {"CONFIRM", "notify"}});
        const std::string path = Installer(w)->modulePath;
        if (c.confirm) SendMessageA(w, QPMM_NOTIFY, 0, 0);
        EXPECT_EQ(Entry("DRX-Win32-Installing"), c.confirm ? kNone : "Y");
        if (c.destroy)
            DestroyWindow(w);
        else
            SendMessageA(w, QPMM_STOP, 0, 0);
        EXPECT_FALSE(IsWindow(w));
        EXPECT_EQ(Entry("DRX-Win32"), c.confirm ? path : kNone);
        EXPECT_EQ(Entry("DRX-Win32-Installing"), kNone);
        EXPECT_EQ(Exists(path), c.confirm);
        EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);  // the library is freed
    }
}

// The question lets messages through: the host may end the installer
// before it is answered. Nothing of it is used afterwards (the sanitizer
// runs would see it), and its temporary file goes.
TEST_F(InstallerTest, StoppedDuringTheQuestionNothingIsInstalled) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and Windows directory");
    for (bool destroy : {false, true}) {
        Answer(IDYES);
        HWND w = Begin(TestModule());
        const std::string temp = Installer(w)->tempPath;
        duringQuestion = [&] { destroy ? DestroyWindow(w) : SendMessageA(w, QPMM_STOP, 0, 0); };
        Deliver(w);
        EXPECT_FALSE(IsWindow(w));
        EXPECT_FALSE(Exists(temp));
        EXPECT_EQ(Entry("DRX-Win32"), kNone);
        EXPECT_FALSE(Exists(dir + "/APPLIC32.DLL"));
    }
}

// The host stops the installer from inside the component's 1025 (while
// it answers the component's request): the component finishes its call
// in a library that is still loaded, then goes, and so does the library.
TEST_F(InstallerTest, StoppedInsideTheComponentsStartTheLibraryOutlivesTheCall) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and Windows directory");
    for (const char* reply : {"1", "2"}) {
        type = std::string("s") + reply + "/x";
        Answer(IDYES);
        HWND w = Begin(TestModule(), {{"ASKHOST", ""}, {"START", reply}});
        std::string path;
        host.Answer(QPMR_HOSTINFO, [&](WPARAM, LPARAM) {
            path = Installer(w)->modulePath;
            SendMessageA(w, QPMM_STOP, 0, 0);
            return LRESULT(0);
        });
        Deliver(w);
        host.Answer(QPMR_HOSTINFO, [](WPARAM, LPARAM) { return LRESULT(0); });
        EXPECT_FALSE(IsWindow(w));
        EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);
        const bool final = reply[0] == '1';  // 2 was never confirmed: rolled back
        EXPECT_EQ(Entry("DRX-Win32"), final ? path : kNone);
        EXPECT_EQ(Exists(path), final);
    }
}

// The same from a call the host makes straight into the component, not
// through the installer: its code is below the installer's relay of its
// request, so its library stays loaded rather than be freed under it.
TEST_F(InstallerTest, StoppedInsideTheComponentsOwnCallTheLibraryIsNotFreedUnderIt) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler");
    HWND w = Install(TestModule(), {{"ASKHOST", ""}});
    HWND child = Installer(w)->childWindow;
    host.Answer(QPMR_HOSTINFO, [&](WPARAM, LPARAM) {
        SendMessageA(w, QPMM_STOP, 0, 0);
        return LRESULT(0);
    });
    SendMessageA(child, QPMM_IDLE, 0, 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(IsWindow(child));
}

// Two elements of one uninstalled type: the second installer reuses the
// first one's path, and its rollback leaves the first one's entry and file.
TEST_F(InstallerTest, ARollbackRemovesOnlyWhatItsInstallerMade) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and Windows directory");
    HWND first = Install(TestModule(), {{"START", "2"}});
    HWND second = Install(TestModule(), {{"START", "2"}});
    const std::string path = Installer(first)->modulePath;
    EXPECT_EQ(Installer(second)->modulePath, path);
    SendMessageA(second, QPMM_STOP, 0, 0);
    EXPECT_EQ(Entry("DRX-Win32"), path);
    EXPECT_TRUE(Exists(path));
    SendMessageA(first, QPMM_STOP, 0, 0);
    EXPECT_EQ(Entry("DRX-Win32"), kNone);
    EXPECT_FALSE(Exists(path));
}

// A recorded value is used only when whole and absolute; a usable one is
// reused, and the new module replaces the file there.
TEST_F(InstallerTest, OnlyAWholeAbsoluteRecordedPathIsReused) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and Windows directory");
    const std::string custom = dir + "/CUSTOM.DLL";
    const struct {
        std::string recorded, used;
    } cases[] = {{"relative.dll", dir + "/APPLIC32.DLL"},
                 {"/" + std::string(600, 'x'), dir + "/APPLIC32.DLL"},
                 {custom, custom}};
    for (const auto& c : cases) {
        WritePrivateProfileStringA("DRX-Win32", kType, c.recorded.c_str(), "DRX.REG");
        std::ofstream(custom) << "an older module";
        HWND w = Install(TestModule());
        EXPECT_EQ(Installer(w)->modulePath, c.used);
        EXPECT_EQ(Entry("DRX-Win32"), c.used);
        EXPECT_EQ(ReadBytes(c.used), TestModule());
        DestroyWindow(w);
        DeleteFileA(c.used.c_str());
    }
}

TEST_F(InstallerTest, AModuleThatCannotBePutInPlaceIsNeitherRecordedNorLoaded) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and fault injection");
    Answer(IDYES);
    duringQuestion = [] { QpmFailNth(QPM_FAULT_FILECREATE, 1); };
    HWND w = Install(TestModule());
    EXPECT_STREQ(Installer(w)->statusText, "Could not copy QPM to APPLIC32.DLL");
    EXPECT_EQ(Installer(w)->library, nullptr);
    EXPECT_EQ(Entry("DRX-Win32"), kNone);
    EXPECT_FALSE(Exists(dir + "/APPLIC32.DLL"));
}

// Downloads that end without a module: nothing is asked, nothing stays.
TEST_F(InstallerTest, DownloadsThatCannotBeKeptFail) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and a file size limit");
#if !defined(_WIN32)
    const struct {
        size_t size;
        rlim_t fileLimit;
        const char* status;
    } cases[] = {{(64u << 20) + 1, RLIM_INFINITY, kTextModuleTooLarge},
                 {20000, 8192, kTextCannotSaveModule}};
    signal(SIGXFSZ, SIG_IGN);
    for (const auto& c : cases) {
        question.clear();
        HWND w = Begin(std::string(c.size, 'm'));
        const std::string temp = Installer(w)->tempPath;
        rlimit limit{c.fileLimit, RLIM_INFINITY}, none{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
        Deliver(w);
        setrlimit(RLIMIT_FSIZE, &none);
        EXPECT_STREQ(Installer(w)->statusText, c.status);
        EXPECT_EQ(question, "");
        EXPECT_FALSE(Exists(temp));
        EXPECT_EQ(host.messages().back(), QPMR_CLOSESTREAM);
    }
#endif
}

// No sure directory for the module or the download: a status, no guess.
TEST_F(InstallerTest, WithoutItsOwnDirectoryOrATemporaryOneItStops) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and a temporary directory of its own");
#if !defined(_WIN32)
    std::string deep = dir;
    for (int i = 0; i < 3; ++i) deep += "/" + std::string(200, 'd');
    std::filesystem::create_directories(deep);
    FreeLibrary(library);
    LoadInstaller(deep + "/libvarnoq.so");
    HWND w = Install(TestModule());
    EXPECT_STREQ(Installer(w)->statusText, kTextNoFileName);
    EXPECT_EQ(Installer(w)->tempPath[0], '\0');

    setenv("TMPDIR", ("/" + std::string(300, 't')).c_str(), 1);
    EXPECT_STREQ(Installer(Begin(TestModule()))->statusText, kTextCannotRequest);
    unsetenv("TMPDIR");
#endif
}

}  // namespace
