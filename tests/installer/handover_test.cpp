// After the hand-over: the installer's window relays between host and
// installed component and rolls back what was never confirmed; and how
// it copes with stops at awkward moments, a type shared by two
// installers, recorded paths, and installations that cannot complete.
#include "installer_fixture.h"

#if !defined(_WIN32)
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#endif

namespace {

TEST_F(InstallerTest, HostMessagesGoDownAndRequestsGoUp) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler");
    host.Answer(QPMR_HOSTINFO, [](WPARAM, LPARAM buffer) {
        strcpy(reinterpret_cast<char*>(buffer), "ctx");
        return LRESULT(1);
    });
    HWND w = Install(TestModule(), {{"ASKHOST", ""}});
    HWND child = Installer(w)->childWindow;
    ASSERT_NE(child, nullptr);
    auto* state = Proc<TestModuleStateFn>(Installer(w)->library, "TestModuleGetState")();
    EXPECT_STREQ(state->hostInfo, "ctx");  // asked during its 1025, through the installer
    SendMessageA(w, QPMM_IDLE, 0, 0);
    PrintRecord print{0, QpmCreatePrinterDC(10, 10), 0, 0, 0, 0};
    EXPECT_EQ(SendMessageA(w, QPMM_PRINT, 0, reinterpret_cast<LPARAM>(&print)), 1);
    DeleteDC(print.hdc);
    EXPECT_EQ(state->idles * 10 + state->prints, 11);
    MoveWindow(w, 0, 0, 300, 50, TRUE);  // the child keeps the installer's size
    RECT client{};
    GetClientRect(child, &client);
    EXPECT_EQ(client.right * 1000 + client.bottom, 300050);
}

// An installation the component answered with 2 is final only with 1056.
TEST_F(InstallerTest, AnUnconfirmedInstallationIsRolledBack) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and Windows directory");
    for (bool confirm : {false, true}) {
        for (bool destroy : {false, true}) {
            type = std::string("t") + char('0' + confirm) + char('0' + destroy) + "/x";
            HWND w = Install(TestModule(), {{"START", "2"}, {"CONFIRM", "notify"}});
            const std::string path = Installer(w)->modulePath;
            if (confirm) SendMessageA(w, QPMM_NOTIFY, 0, 0);  // the module sends 1056
            EXPECT_EQ(Entry("DRX-Win32-Installing"), confirm ? kNone : "Y");
            if (destroy)
                DestroyWindow(w);
            else
                SendMessageA(w, QPMM_STOP, 0, 0);
            EXPECT_FALSE(IsWindow(w));
            EXPECT_EQ(Entry("DRX-Win32"), confirm ? path : kNone);
            EXPECT_EQ(Entry("DRX-Win32-Installing"), kNone);
            EXPECT_EQ(Exists(path), confirm);
            EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);  // the library is freed
        }
    }
}

// The question lets messages through: the host may end the installer
// before it is answered. Nothing of it is used afterwards (the sanitizer
// runs would see it), nothing is installed, and its temporary file goes.
TEST_F(InstallerTest, StoppedDuringTheQuestionNothingIsInstalled) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and Windows directory");
    for (bool destroy : {false, true}) {
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

// The host stops the installer (or destroys its window) while it answers
// the component's request, made in its 1025 or in a call the host made
// straight into the component. The component finishes its call in a
// library still loaded; then it goes, and the library with it once no
// call into it is running (after a direct call nothing tells when that
// is: it stays loaded).
TEST_F(InstallerTest, StoppedFromInsideTheComponentItsLibraryOutlivesTheCall) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and Windows directory");
    const struct {
        const char* reply;
        bool destroy;
        bool direct;  // the request comes from a 1029 sent straight to the component
    } cases[] = {{"1", false, false}, {"2", false, false}, {"2", true, false}, {"1", false, true}};
    for (const auto& c : cases) {
        type = "s" + std::to_string(&c - cases) + "/x";
        HWND w = Begin(TestModule(), {{"ASKHOST", ""}, {"START", c.reply}});
        std::string path;
        HWND child = nullptr;
        const auto stop = [&](WPARAM, LPARAM) {
            path = Installer(w)->modulePath;
            child = Installer(w)->childWindow;
            if (c.destroy)
                DestroyWindow(w);
            else
                SendMessageA(w, QPMM_STOP, 0, 0);
            return LRESULT(0);
        };
        if (!c.direct) host.Answer(QPMR_HOSTINFO, stop);
        Deliver(w);
        if (c.direct) {
            host.Answer(QPMR_HOSTINFO, stop);
            SendMessageA(Installer(w)->childWindow, QPMM_IDLE, 0, 0);
        }
        host.Answer(QPMR_HOSTINFO, [](WPARAM, LPARAM) { return LRESULT(0); });
        EXPECT_FALSE(IsWindow(w));
        EXPECT_FALSE(IsWindow(child));
        EXPECT_EQ(GetModuleHandleA(path.c_str()) != nullptr, c.direct);
        const bool final = c.reply[0] == '1';  // 2 was never confirmed: rolled back
        EXPECT_EQ(Entry("DRX-Win32"), final ? path : kNone);
        EXPECT_EQ(Exists(path), final);
    }
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

// A recorded value is used only when whole and absolute; then the new
// module replaces the file it names.
TEST_F(InstallerTest, OnlyAWholeAbsoluteRecordedPathIsReused) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and Windows directory");
    const std::string custom = dir + "/CUSTOM.DLL", fresh = dir + "/APPLIC32.DLL";
    for (auto [recorded, used] : {std::pair{std::string("relative.dll"), fresh},
                                  {"/" + std::string(600, 'x'), fresh},
                                  {custom, custom}}) {
        WritePrivateProfileStringA("DRX-Win32", type.c_str(), recorded.c_str(), "DRX.REG");
        std::ofstream(custom) << "an older module";
        HWND w = Install(TestModule());
        EXPECT_EQ(Entry("DRX-Win32"), used);
        EXPECT_EQ(ReadBytes(used), TestModule());
        DestroyWindow(w);
        DeleteFileA(used.c_str());
    }
}

// Installations that cannot complete: a status, the question asked or
// not, and nothing left behind, not even the temporary file (the
// temporary directory is the test's own here).
TEST_F(InstallerTest, AnInstallationThatCannotCompleteLeavesNothing) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler, fault injection and POSIX limits");
#if !defined(_WIN32)
    setenv("TMPDIR", dir.c_str(), 1);
    signal(SIGXFSZ, SIG_IGN);
    // A full disk: files may not grow past 8192 bytes until `restore`.
    const auto diskFull = [] {
        rlimit limit{8192, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
    };
    const auto restore = [](HWND w) {
        rlimit none{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &none);
        return w;
    };
    const struct {
        std::function<HWND()> run;
        const char* status;
        bool asked;
    } cases[] = {
        {[&] {
             duringQuestion = [] { QpmFailNth(QPM_FAULT_FILECREATE, 1); };  // the copy's file
             return Install(TestModule());
         },
         "Could not copy QPM to APPLIC32.DLL", true},
        {[&] {
             duringQuestion = diskFull;  // the module arrived whole; its copy cannot be
             return restore(Install(TestModule()));
         },
         "Could not copy QPM to APPLIC32.DLL", true},
        {[&] {
             HWND w = Begin(TestModule());
             SendMessageA(w, QPMM_STREAMFAILED, 5, kModuleHandle);  // the host's word
             return w;
         },
         kTextDownloadFailed, false},
        {[&] { return Install(std::string((64 << 20) + 1, 'm')); }, kTextModuleTooLarge, false},
        {[&] {
             HWND w = Begin(std::string(20000, 'm'));
             diskFull();
             Deliver(w);
             return restore(w);
         },
         kTextCannotSaveModule, false},
        {[&] {
             setenv("TMPDIR", ("/" + std::string(300, 't')).c_str(), 1);  // too long a path
             HWND w = Install(TestModule());
             setenv("TMPDIR", dir.c_str(), 1);
             return w;
         },
         kTextCannotRequest, false},
        {[&] {  // last: its own path does not fit in 512 characters
             const std::string d(200, 'd'), deep = dir + "/" + d + "/" + d + "/" + d;
             std::filesystem::create_directories(deep);
             LoadInstaller(deep + "/libvarnoq.so");
             return Install(TestModule());
         },
         kTextNoFileName, true},
    };
    for (const auto& c : cases) {
        question.clear();
        duringQuestion = nullptr;
        HWND w = c.run();
        EXPECT_STREQ(Installer(w)->statusText, c.status);
        EXPECT_EQ(question.empty(), !c.asked) << c.status;
        EXPECT_EQ(Installer(w)->library, nullptr);
        EXPECT_EQ(Entry("DRX-Win32"), kNone);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
            EXPECT_TRUE(entry.is_directory() || entry.path().extension() == ".so" ||
                        entry.path().filename() == "DRX.REG")
                << entry.path() << " left after " << c.status;
    }
    unsetenv("TMPDIR");
#endif
}

}  // namespace
