// Installing a component from a page, end to end: the built qpmhost runs
// the installer for an element whose type is not installed, and the
// module (the built ticker library, served as bytes) comes from a
// server on 127.0.0.1, over HTTP or over HTTPS. Each test has its own
// XDG_DATA_HOME (the components folder), Windows directory and TMPDIR.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <regex>

#include "host/e2e/http_server.h"
#include "host/e2e/png_image.h"
#include "host/e2e/qpmhost_process.h"
#include "host/e2e/tls_server.h"

namespace {

const char kType[] = "application/x-e2e-ticker";
const char kText[] = "Installed from the page, it scrolls like any other";
constexpr uint32_t kRed = 0xC00000;
// The module once, each ticker's text once, in whatever order the
// transfers reached the server.
const std::vector<std::string> kFirstRunRequests = {
    "GET /text.txt HTTP/1.1", "GET /text.txt HTTP/1.1", "GET /ticker.dll HTTP/1.1"};

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<uint32_t> Region(const PngImage& image, int x, int y, int width, int height) {
    std::vector<uint32_t> pixels;
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column) pixels.push_back(image.At(column, row));
    return pixels;
}

std::string Fingerprint(const std::string& verboseOutput) {
    std::smatch match;
    const std::regex digits("MD5 fingerprint ([0-9a-f]{32})\\.");
    return std::regex_search(verboseOutput, match, digits) ? match[1].str() : "(none)";
}

class Installation : public ::testing::Test {
protected:
    void SetUp() override { mkdir((dir + "/tmp").c_str(), 0755); }

    // The known ticker first, then the element of the type not installed,
    // whose Win32 module is `site`/ticker.dll (the Win16 one is never
    // fetched). Both look alike and stream their text from `site`, so the
    // same pixels mean the same behaviour.
    void WritePage(const std::string& site) {
        const std::string look =
            "src='" + site + "/text.txt' size='18' textcolor='#c00000' bgcolor='#ffffff'";
        WriteTextFile(dir + "/page.html",
                      "<body>\n<embed type='application/x-pellux-ticker' " + look +
                          ">\n<embed type='" + kType + "' qpmplatforms='Win16, Win32' qpmsrc='" +
                          site + "/ticker.dll.16," + site + "/ticker.dll' " + look + ">\n</body>");
    }

    ProcessResult Qpmhost(std::vector<std::string> arguments) {
        mkdir((dir + "/win").c_str(), 0755);
        arguments.insert(arguments.begin(), {"--windows-dir", dir + "/win"});
        return RunQpmhost(arguments, {{"XDG_DATA_HOME", dir + "/data"}, {"TMPDIR", dir + "/tmp"}});
    }
    ProcessResult RunPage(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {dir + "/page.html", "--verbose"});
        return Qpmhost(arguments);
    }

    // The page, with its module served by `server` over HTTP.
    void ServeOverHttp(TestHttpServer& server) {
        server.Serve("/ticker.dll", {200, ReadFileBytes(QPM_PELLUX_LIBRARY), -1});
        server.Serve("/text.txt", {200, kText, -1});
        ASSERT_TRUE(server.Start());
        WritePage(server.Url(""));
    }

    std::string Registry() { return ReadFileBytes(dir + "/win/DRX.REG"); }
    std::string Components() { return dir + "/data/qpm/components"; }
    // Nothing in $TMPDIR; qpmhost's own temporary folder made and empty.
    void ExpectNoTemporaryFiles() {
        EXPECT_EQ(EntriesIn(dir + "/tmp"), 0);
        EXPECT_EQ(EntriesIn(dir + "/data/qpm/tmp"), 0);
    }
    std::string InstalledEntry() {
        return std::string(kType) + "=" + Components() + "/APPLIC32.DLL";
    }

    // The installed ticker's pixels, after checking that they are the
    // known ticker's: same place in its row, same size, same picture.
    std::vector<uint32_t> InstalledTicker(const ProcessResult& run, const std::string& png) {
        PngImage image;
        std::vector<PlacedComponent> placed = PlacedComponents(run.err);
        if (!ReadPng(png, &image) || placed.size() != 2) {
            ADD_FAILURE() << "no picture of two components in " << png << "\n" << run.err;
            return {};
        }
        const PlacedComponent& known = placed[0];
        // Placed before the installer resized itself to the ticker's size.
        std::vector<uint32_t> installed =
            Region(image, placed[1].x, placed[1].y, known.width, known.height);
        EXPECT_EQ(installed, Region(image, known.x, known.y, known.width, known.height)) << png;
        EXPECT_GT(image.CountNear(placed[1].x, placed[1].y, known.width, known.height, kRed), 30);
        return installed;
    }

    std::string dir = MakeScratchDirectory();
};

TEST_F(Installation, YesInstallsItAndTheNextRunLoadsItFromDrxReg) {
    TestHttpServer server;
    ServeOverHttp(server);
    ProcessResult first = RunPage(
        {"--yes", "--png", dir + "/first.png", "--print", dir + "/printed.png", "--after", "1500"});
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_NE(Registry().find("[DRX-Win32]\r\n" + InstalledEntry()), std::string::npos)
        << Registry();
    EXPECT_EQ(ReadFileBytes(Components() + "/APPLIC32.DLL"), ReadFileBytes(QPM_PELLUX_LIBRARY));
    EXPECT_EQ(ReadFileBytes(Components() + "/libvarnoq.so"), ReadFileBytes(QPM_VARNOQ_LIBRARY));
    ExpectNoTemporaryFiles();
    const std::vector<uint32_t> shown = InstalledTicker(first, dir + "/first.png");
    InstalledTicker(first, dir + "/printed.png");
    EXPECT_EQ(Sorted(server.Requests()), kFirstRunRequests);

    // Nothing to ask and nothing to fetch: DRX.REG names the module.
    ProcessResult second = RunPage({"--png", dir + "/second.png", "--after", "2400"});
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(second.err.find("runs in " + Components() + "/APPLIC32.DLL (DRX.REG)"),
              std::string::npos)
        << second.err;
    EXPECT_EQ(
        Sorted(server.Requests()),
        Sorted({"GET /ticker.dll HTTP/1.1", "GET /text.txt HTTP/1.1", "GET /text.txt HTTP/1.1",
                "GET /text.txt HTTP/1.1", "GET /text.txt HTTP/1.1"}));
    EXPECT_NE(InstalledTicker(second, dir + "/second.png"), shown) << "the ticker did not move";
}

TEST_F(Installation, NoShowsTheAbortAndRecordsNothing) {
    TestHttpServer server;
    ServeOverHttp(server);
    ProcessResult run = RunPage({"--no", "--png", dir + "/page.png"});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_NE(run.err.find(std::string("qpmhost: component #2 (") + kType +
                           "): installation failed: QPM installation aborted\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Registry().find(kType), std::string::npos) << Registry();
    EXPECT_EQ(EntriesIn(Components()), 1);  // the installer's copy alone
    ExpectNoTemporaryFiles();

    // The installer's window (400 x 80): a sunken bevel, and the status
    // text in the element's colour on one line across its middle.
    PngImage image;
    std::vector<PlacedComponent> placed = PlacedComponents(run.err);
    ASSERT_TRUE(ReadPng(dir + "/page.png", &image));
    ASSERT_EQ(placed.size(), 2u) << run.err;
    const PlacedComponent& p = placed[1];
    ASSERT_EQ(p.height, 80);
    EXPECT_EQ(image.At(p.x, p.y), 0x808080u);
    const int text = image.CountNear(p.x, p.y, p.width, p.height, kRed);
    EXPECT_GT(text, 100);
    EXPECT_EQ(image.CountNear(p.x, p.y + 28, p.width, 24, kRed), text);
}

TEST_F(Installation, ATamperedModuleShowsAnotherFingerprint) {
    TestHttpServer server;
    ServeOverHttp(server);
    ProcessResult first = RunPage({"--yes", "--null"});
    const std::string original = Fingerprint(first.err);
    EXPECT_EQ(original, Md5Hex(QPM_PELLUX_LIBRARY)) << first.err;

    ProcessResult removed = Qpmhost({"--uninstall", kType});
    EXPECT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_EQ(Registry().find(kType), std::string::npos) << Registry();
    EXPECT_EQ(EntriesIn(Components()), 1);  // the module went, the installer stays

    server.Serve("/ticker.dll", {200, ReadFileBytes(QPM_HOST_PROBE_LIBRARY), -1});
    ProcessResult second = RunPage({"--no", "--null"});
    EXPECT_EQ(Fingerprint(second.err), Md5Hex(QPM_HOST_PROBE_LIBRARY)) << second.err;
    EXPECT_NE(Fingerprint(second.err), original);
}

class HttpsInstallation : public Installation {
protected:
    void SetUp() override {
        Installation::SetUp();
        mkdir((dir + "/site").c_str(), 0755);
        WriteTextFile(dir + "/site/ticker.dll", ReadFileBytes(QPM_PELLUX_LIBRARY));
        WriteTextFile(dir + "/site/text.txt", kText);
        ASSERT_TRUE(tls.Start(dir + "/site")) << "python3 with ssl, and openssl, are needed";
        WritePage(tls.Url(""));
    }
    TestTlsServer tls;
};

TEST_F(HttpsInstallation, TheExtraCaOfCacertLetsItInstall) {
    ProcessResult run =
        RunPage({"--yes", "--cacert", tls.CaFile(), "--png", dir + "/page.png", "--after", "1500"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(Registry().find(InstalledEntry()), std::string::npos) << Registry();
    InstalledTicker(run, dir + "/page.png");
    EXPECT_EQ(Sorted(tls.Requests()), kFirstRunRequests);
}

TEST_F(HttpsInstallation, AnUntrustedCertificateFailsTheDownload) {
    ProcessResult run = RunPage({"--yes", "--null"});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    // curl's CURLE_PEER_FAILED_VERIFICATION reaches the installer as 1040.
    EXPECT_NE(run.err.find(std::string("#2 (") + kType + ") <- QPMM_STREAMFAILED handle=2 code=60"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("installation failed: Could not load QPM from remote server"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Registry().find(kType), std::string::npos) << Registry();
    ExpectNoTemporaryFiles();
    EXPECT_TRUE(tls.Requests().empty());  // not even the known ticker's text
}

}  // namespace
