// A whole installation under every failure the layer can inject: the
// k-th global memory allocation, file creation or library load fails,
// for k = 1, 2, ... until an installation needs no k-th one. Whatever
// fails, nothing crashes or leaks, no temporary file stays, the status
// text is one the installer names for a failure of that kind, and a
// module is recorded exactly when the status says it was installed.
#include <array>
#include <map>
#include <set>
#include <string>

#include "installer_fixture.h"

namespace {

constexpr char kNoWindow[] = "<no window>";

struct Sweep {
    QpmFault kind;
    const char* name;
    std::set<std::string> allowed;   // the status texts a failure of this kind may leave
    std::set<std::string> required;  // those some failure point must show
};

class FaultSweepTest : public InstallerTest {
protected:
    std::string ModulePath() const { return dir + "/SWEEP32.DLL"; }

    // One installation with the k-th call of `kind` failing; its status.
    std::string InstallFailing(QpmFault kind, int k, bool* fired) {
        type = "sweep";
        QpmFailNth(kind, k);
        HWND w = Install(TestModule());
        *fired = QpmFaultFired(kind) != 0;
        QpmResetFaults();
        QPMInstaller* installer = w ? Installer(w) : nullptr;
        const std::string status = installer ? installer->statusText : kNoWindow;
        const bool installed = status == "The QPM for type sweep has been installed";
        EXPECT_EQ(Entry("DRX-Win32"), installed ? ModulePath() : kNone);
        EXPECT_EQ(installed, installed && ReadBytes(ModulePath()) == TestModule());
        EXPECT_EQ(Exists(ModulePath()), installed);
        if (installer) {
            EXPECT_EQ(installer->tempPath[0], '\0');
        }
        DestroyWindow(w);
        host.Pump();
        DeleteFileA(ModulePath().c_str());
        WritePrivateProfileStringA("DRX-Win32", type.c_str(), nullptr, "DRX.REG");
        return status;
    }
};

TEST_F(FaultSweepTest, EveryFailureOfAnInstallationIsReportedAndCleanedUp) {
    QPM_REQUIRES_HOST_EXTENSION("fault injection and object counts");
    const std::string installed = "The QPM for type sweep has been installed";
    const std::string copyFailed = "Could not copy QPM to SWEEP32.DLL";
    const Sweep sweeps[] = {
        {QPM_FAULT_GLOBALALLOC,
         "global memory",
         {kNoWindow, kTextNoType, kTextCannotCreate, installed},
         {kNoWindow, kTextCannotCreate}},
        {QPM_FAULT_FILECREATE,
         "file creation",
         {kTextCannotRequest, copyFailed, installed},
         {kTextCannotRequest, copyFailed}},
        {QPM_FAULT_LOADLIBRARY, "library load", {kTextCannotLoad}, {kTextCannotLoad}},
    };
    for (const Sweep& sweep : sweeps) {
        std::array<UINT, QPM_OBJECT_KINDS> before{};
        for (int kind = 0; kind < QPM_OBJECT_KINDS; ++kind)
            before[size_t(kind)] = QpmCountObjects(QpmObjectKind(kind));
        std::map<int, std::string> points;
        for (int k = 1;; ++k) {
            SCOPED_TRACE(std::string(sweep.name) + " failure " + std::to_string(k));
            bool fired = false;
            std::string status = InstallFailing(sweep.kind, k, &fired);
            for (int kind = 0; kind < QPM_OBJECT_KINDS; ++kind)
                EXPECT_EQ(QpmCountObjects(QpmObjectKind(kind)), before[size_t(kind)])
                    << "objects of kind " << kind;
            if (!fired) {
                EXPECT_EQ(status, installed);
                break;
            }
            points[k] = status;
            EXPECT_TRUE(sweep.allowed.count(status)) << status;
        }
        printf("[ sweep    ] installation, %s: %zu failure points\n", sweep.name, points.size());
        for (const auto& [k, status] : points)
            printf("[ sweep    ]   %2d: %s\n", k, status.c_str());
        for (const std::string& text : sweep.required) {
            bool shown = false;
            for (const auto& point : points) shown = shown || point.second == text;
            EXPECT_TRUE(shown) << sweep.name << " never showed " << text;
        }
    }
}

}  // namespace
