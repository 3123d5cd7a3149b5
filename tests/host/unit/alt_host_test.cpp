// The alternate host's refusals, each with the message that names it: a
// library that cannot serve, a record that cannot hold the element, a
// component that does not start.
#include <gtest/gtest.h>
#include <qpm_platform.h>

#include <filesystem>

#include "host/e2e/qpmhost_process.h"
#include "host/unit/hosted_page.h"

namespace {

struct AltRun {
    bool failed = false;
    bool started = false;
    std::string err;
};

AltRun RunAltHost(const std::string& html, const std::string& library, const std::string& folder) {
    QpmUseManualClock(0);
    Host host;
    host.page = ParsePageHtml(html);
    host.componentLibrary = library;
    host.baseDirectory = folder;
    std::string error;
    EXPECT_TRUE(host.fileAccess.Allow(folder, &error)) << error;
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(StartComponents(host, HostingMode::kAltHost));
    AltRun run;
    run.failed = host.componentFailed;
    run.started = !host.slots.empty() && host.slots[0]->window != nullptr;
    host.hosting->Stop();
    DestroyWindow(host.pageWindow);
    run.err = ::testing::internal::GetCapturedStderr();
    return run;
}

TEST(AltHost, RefusalsNameTheirReason) {
    const std::string dir = MakeScratchDirectory();
    const std::string ticker = "<embed type='application/x-pellux-ticker' width='200' height='20' ";
    const std::string longPath = dir + "/" + std::string(600, 'd') + ".txt";
    struct {
        const char* what;
        std::string html, library;
        bool failed, started;
        std::string message;
    } rows[] = {
        {"no library", ticker + "text='x'>", dir + "/none.so", true, false,
         "cannot load component library " + dir + "/none.so"},
        {"a library without the entry points", ticker + "text='x'>", QPM_HOST_PROBE_LIBRARY, true,
         false, "has no alternate host entry points (QPMSetInstance, DRXGetVersion, DRXInit)"},
        {"a data file path longer than the record holds", ticker + "datafile='" + longPath + "'>",
         QPM_PELLUX_LIBRARY, true, false,
         "its data file's path is longer than an alternate host can give"},
        // Left out of SUBTYPE whole and named; the ticker still runs.
        {"an attribute that does not fit",
         ticker + "text='x' note='" + std::string(600, 'n') + "'>", QPM_PELLUX_LIBRARY, false, true,
         "attribute note left out of SUBTYPE"},
        {"a data file that is not there", ticker + "datafile='" + dir + "/missing.txt'>",
         QPM_PELLUX_LIBRARY, true, false,
         "did not start (it answered message 1025 with 0); its data file " + dir +
             "/missing.txt: No such file or directory"},
    };
    for (const auto& row : rows) {
        AltRun run = RunAltHost(row.html, row.library, dir);
        EXPECT_EQ(run.failed, row.failed) << row.what;
        EXPECT_EQ(run.started, row.started) << row.what;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << row.what << ": " << run.err;
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
