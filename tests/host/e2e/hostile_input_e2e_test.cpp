// qpmhost against what a careless or hostile page, file, server or
// command line may bring: deep pages, bad colours and sizes, files outside
// the page's folder or not regular, endless and huge streams, output paths
// that are no files, odd Windows directories and terminals. Each run must
// end, within bounded memory, with the cause named.
#include <curl/curl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "host/e2e/http_server.h"
#include "host/e2e/qpmhost_process.h"

namespace {

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

std::string Ticker(const std::string& attributes) {
    return "<body><embed type='application/x-pellux-ticker' " + attributes + "></body>";
}

bool Has(const ProcessResult& run, const std::string& text) {
    return run.err.find(text) != std::string::npos;
}

const char kTicker[] = "component #1 (application/x-pellux-ticker): ";

TEST(HostileInput, OddPagesRunAndNameWhatWasIgnored) {
    struct Case {
        std::string page;
        std::string said;
    } cases[] = {
        {"<body>" + Repeat("<span>", 30000) + "deep" + "</body>", "nest deeper than 512 levels"},
        {"<body>" + Repeat("<div>", 100000) + "deep" + "</body>", "nest deeper than 512 levels"},
        {"<body bgcolor='#'><p>x</p></body>", "<body bgcolor=\"#\"> is not a colour; ignored"},
        {"<body text='#12345678901234567890'><p>x</p></body>",
         "<body text=\"#12345678901234567890\"> is not a colour; ignored"},
        {Ticker("bgcolor='#' text=x"), std::string(kTicker) + "bgcolor=\"#\" is not a colour"},
        {Ticker("textcolor='#11111111111111111' text=x"),
         std::string(kTicker) + "textcolor=\"#11111111111111111\" is not a colour"},
        {Ticker("width='12.5' text=x"), std::string(kTicker) + "width=\"12.5\" is not a size"},
        {Ticker("height='50%' text=x"), std::string(kTicker) + "height=\"50%\" is not a size"},
        {Ticker("width='0' text=x"), std::string(kTicker) + "width=\"0\" is not a size"},
        {Ticker("width='-3' text=x"), std::string(kTicker) + "width=\"-3\" is not a size"},
        {Ticker("height='65535' text=x"), std::string(kTicker) + "height=\"65535\" is not a size"},
        {Ticker("size='5000' text=x"),
         std::string(kTicker) + "ticker: SIZE=\"5000\" is outside 0 to 1000; 1000 is used"},
    };
    const std::string dir = MakeScratchDirectory();
    for (const Case& c : cases) {
        WriteTextFile(dir + "/page.html", c.page);
        ProcessResult run = RunQpmhost({dir + "/page.html", "--png", dir + "/page.png"});
        EXPECT_EQ(run.exitCode, 0) << c.said << "\n" << run.err;
        EXPECT_TRUE(Has(run, "warning: ") && Has(run, c.said)) << c.said << "\n" << run.err;
    }
}

TEST(HostileInput, APageReadsOnlyRegularFilesInItsFolder) {
    const std::string dir = MakeScratchDirectory(), other = MakeScratchDirectory();
    ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0600), 0);
    mkdir((dir + "/folder").c_str(), 0755);
    WriteTextFile(other + "/news.txt", "news from elsewhere");
    // A sparse file larger than 4 GiB: its size wraps in 32 bits.
    WriteTextFile(dir + "/huge.txt", "");
    ASSERT_EQ(truncate((dir + "/huge.txt").c_str(), 5LL << 30), 0);
    struct Case {
        std::string attributes;
        std::vector<std::string> options;
        int exitCode;
        std::string said;
    } cases[] = {
        {"datafile='../../../../../etc/passwd'",
         {},
         3,
         "refused its data file /etc/passwd: it is outside the page's folder"},
        {"src='file:///etc/passwd'",
         {},
         3,
         "refused to read file:///etc/passwd: it is outside the page's folder"},
        {"src='file:///proc/self/environ'", {}, 3, "refused to read file:///proc/self/environ"},
        {"datafile='fifo'", {}, 3, "refused its data file " + dir + "/fifo: it is a FIFO"},
        // The same rule under the other ways of hosting.
        {"src='file:///etc/passwd'", {"--npapi"}, 0, "refused to read file:///etc/passwd"},
        {"datafile='fifo'", {"--alt-host"}, 3, "refused its data file " + dir + "/fifo"},
        {"datafile='folder'", {}, 3, "refused its data file " + dir + "/folder: it is a directory"},
        {"src='fifo'", {}, 0, "cannot fetch file://" + dir + "/fifo: it is a FIFO"},
        {"src='file:///dev/zero'",
         {"--allow-files", "/dev"},
         0,
         "cannot fetch file:///dev/zero: it is a device"},
        {"datafile='missing.txt'",
         {},
         3,
         "its data file " + dir + "/missing.txt: No such file or directory"},
        {"datafile='huge.txt'", {}, 3, "is larger than 16777216 bytes, the most a ticker holds"},
        {"datafile='" + other + "/news.txt'", {"--allow-files", other}, 0, ""},
    };
    for (const Case& c : cases) {
        WriteTextFile(dir + "/page.html", Ticker(c.attributes));
        std::vector<std::string> arguments = {dir + "/page.html", "--png", dir + "/page.png",
                                              "--stream-timeout", "5000"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        ProcessResult run = RunQpmhost(arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.attributes << "\n" << run.err;
        if (c.said.empty())  // (a sanitizer run may add its table of suppressions)
            EXPECT_FALSE(Has(run, "qpmhost:")) << c.attributes << "\n" << run.err;
        else
            EXPECT_TRUE(Has(run, c.said)) << c.attributes << "\n" << run.err;
    }
    // Without a page, the user names the files: they are read where they
    // are, as long as they are regular files.
    for (const auto& [file, exitCode] : {std::pair{other + "/news.txt", 0}, {dir + "/fifo", 3}}) {
        ProcessResult run = RunQpmhost({"--component", "application/x-pellux-ticker", "--attr",
                                        "DATAFILE=" + file, "--png", dir + "/page.png"});
        EXPECT_EQ(run.exitCode, exitCode) << file << "\n" << run.err;
    }
}

TEST(HostileInput, StreamsStayWithinBoundsAndTheirFailuresAreTold) {
    TestHttpServer server;
    TestHttpServer::Route endless{200, std::string(65536, 'e')};
    endless.repeat = 0;
    TestHttpServer::Route gigabyte{200, std::string(1 << 20, 'g')};
    gigabyte.repeat = 1024;
    server.Serve("/endless", endless);
    server.Serve("/gigabyte", gigabyte);
    server.Serve("/gone", {500, "server error", -1});
    server.Serve("/cut", {200, std::string(4000, 'c'), 100});
    // One byte, then nothing: the transfer outlasts --stream-timeout.
    server.Serve("/stuck", {200, "stuck", -1, 1});
    ASSERT_TRUE(server.Start());
    const std::string dir = MakeScratchDirectory();
    struct Case {
        std::string path;
        std::string said;
        const char* timeout = "1000";  // ms
    } cases[] = {
        {"/endless", std::string(kTicker) + "ticker: the streamed text stops at 16777216 bytes",
         "60000"},
        {"/gigabyte", "cannot fetch " + server.Url("/gigabyte") + ": larger than 256 MiB"},
        {"/missing", "cannot fetch " + server.Url("/missing") + ": HTTP status 404"},
        {"/gone", "cannot fetch " + server.Url("/gone") + ": HTTP status 500"},
        {"/cut", "cannot fetch " + server.Url("/cut") + ": cut short"},
        {"/stuck",
         "cannot fetch " + server.Url("/stuck") + ": timed out"},  // last: it holds the server
    };
    for (const Case& c : cases) {
        WriteTextFile(dir + "/page.html", Ticker("src='" + server.Url(c.path) + "'"));
        ProcessResult run = RunQpmhost({dir + "/page.html", "--png", dir + "/page.png", "--after",
                                        "1000", "--stream-timeout", c.timeout});
        EXPECT_EQ(run.exitCode, 0) << c.path << "\n" << run.err;
        EXPECT_TRUE(Has(run, c.said)) << c.path << "\n" << run.err;
        // Without bounds the endless stream took gigabytes; now the text's
        // 16 MiB and a quarter megabyte per stream.
        EXPECT_LT(run.peakKilobytes, 400000) << c.path;
    }
}

TEST(HostileInput, OutputPathsThatAreNoFilesAreRefused) {
    const std::string dir = MakeScratchDirectory();
    ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0600), 0);
    WriteTextFile(dir + "/page.html", "<body><p>a page</p></body>");
    const std::string page = dir + "/page.html";
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string said;
    } cases[] = {
        {{page, "--png", "/dev/null"}, 1, "--png /dev/null: that is a device"},
        {{page, "--png", ""}, 1, "--png wants a file name, not \"\""},
        {{page, "--png", dir}, 1, "--png " + dir + ": that is a directory"},
        {{page, "--gif", page}, 1, "--gif " + page + ": that is the page itself"},
        {{page, "--png", dir + "/fifo"}, 1, "--png " + dir + "/fifo: that is a FIFO"},
        {{page, "--png", dir + "/no/x.png"},
         4,
         "cannot write " + dir + "/no/x.png: No such file or directory"},
    };
    for (const Case& c : cases) {
        ProcessResult run = RunQpmhost(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.said << "\n" << run.err;
        EXPECT_TRUE(Has(run, c.said)) << c.said << "\n" << run.err;
    }
    struct stat info {};
    EXPECT_TRUE(stat("/dev/null", &info) == 0 && S_ISCHR(info.st_mode));
    EXPECT_TRUE(stat((dir + "/fifo").c_str(), &info) == 0 && S_ISFIFO(info.st_mode));

    // A link planted where a fixed temporary name would be is not followed.
    WriteTextFile(dir + "/victim", "keep me");
    ASSERT_EQ(symlink((dir + "/victim").c_str(), (dir + "/out.png.tmp").c_str()), 0);
    ProcessResult run = RunQpmhost({page, "--png", dir + "/out.png"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(dir + "/victim"), "keep me");
    EXPECT_EQ(ReadFileBytes(dir + "/out.png").substr(1, 3), "PNG");
}

TEST(HostileInput, AMissingLibraryIsOneMessageAndOneExitCode) {
    const std::string dir = MakeScratchDirectory();
    for (const char* option : {"--png", "--gif", "--apng", "--print"}) {
        ProcessResult run =
            RunQpmhost({"--component", dir + "/none.so", option, dir + "/out.file"});
        EXPECT_EQ(run.exitCode, 3) << option;
        EXPECT_EQ(run.err, "qpmhost: component #1 (<embed>): cannot load component library " + dir +
                               "/none.so: No such file or directory\n")
            << option;
        EXPECT_EQ(EntriesIn(dir), 0) << option;
    }
    // A shared library that is not a component (libcurl's).
    Dl_info curl{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&curl_version), &curl), 0);
    ProcessResult run = RunQpmhost({"--component", curl.dli_fname, "--null"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "qpmhost: component #1 (<embed>): " + std::string(curl.dli_fname) +
                           " is not a component library: it does not export QPMSetInstance\n");
}

TEST(HostileInput, WindowsDirectoriesAndRegistriesThatCannotServe) {
    const std::string dir = MakeScratchDirectory();
    WriteTextFile(dir + "/page.html", "<body><embed type='application/x-probe'></body>");
    WriteTextFile(dir + "/file", "not a folder");
    const std::string longFolder = dir + "/" + std::string(250, 'l') + "/" + std::string(250, 'm');
    ASSERT_EQ(system(("mkdir -p " + longFolder).c_str()), 0);
    mkdir((dir + "/fifo").c_str(), 0755);
    ASSERT_EQ(mkfifo((dir + "/fifo/DRX.REG").c_str(), 0600), 0);
    mkdir((dir + "/marked").c_str(), 0755);
    WriteTextFile(dir + "/marked/DRX.REG",
                  std::string("\xEF\xBB\xBF[DRX-Win32]\napplication/x-probe=") +
                      QPM_HOST_PROBE_LIBRARY + "\n");
    struct Case {
        std::string folder;
        int exitCode;
        std::string said;
    } cases[] = {
        {dir + "/file", 1, "--windows-dir " + dir + "/file: that is not a directory"},
        {dir + "/absent", 1, "--windows-dir " + dir + "/absent: no such directory"},
        {longFolder, 1, "characters long, more than the 511 a component can hold"},
        {dir + "/fifo", 3, dir + "/fifo/DRX.REG is not a regular file"},
        {dir + "/marked", 0, ""},
    };
    for (const Case& c : cases) {
        ProcessResult run = RunQpmhost({dir + "/page.html", "--null", "--windows-dir", c.folder});
        EXPECT_EQ(run.exitCode, c.exitCode) << c.folder << "\n" << run.err;
        EXPECT_TRUE(c.said.empty() || Has(run, c.said)) << c.folder << "\n" << run.err;
    }
    EXPECT_NE(access((dir + "/absent").c_str(), F_OK), 0);
    // The same refusals where the run is not a page's.
    const std::pair<std::vector<std::string>, std::string> others[] = {
        {{"--uninstall", "application/x-probe", "--windows-dir", longFolder},
         "characters long, more than the 511 a component can hold"},
        {{dir + "/page.html", "--null", "--cacert", dir + "/absent.pem"},
         "--cacert: cannot read the certificate file " + dir + "/absent.pem"},
        {{dir + "/page.html", "--null", "--cacert", dir + "/file"},
         "--cacert: " + dir + "/file holds no PEM certificate"},
    };
    for (const auto& [arguments, said] : others) {
        ProcessResult run = RunQpmhost(arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments[0] << "\n" << run.err;
        EXPECT_TRUE(Has(run, said)) << said << "\n" << run.err;
    }
}

TEST(HostileInput, ATerminalThatCannotShowPicturesIsRefused) {
    const std::string dir = MakeScratchDirectory();
    WriteTextFile(dir + "/page.html", "<body><p>a page</p></body>");
    for (const char* term : {"dumb", ""}) {
        ProcessResult run = RunQpmhost({dir + "/page.html"}, {{"TERM", term}});
        EXPECT_EQ(run.exitCode, 4) << term;
        EXPECT_TRUE(Has(run, "cannot show pictures; use --png FILE")) << term << "\n" << run.err;
    }
}

#ifdef __SANITIZE_ADDRESS__
// The leaks of system libraries are suppressed in qpmhost itself.
TEST(HostileInput, ASanitizedRunNeedsNoLeakOptions) {
    const std::string dir = MakeScratchDirectory();
    WriteTextFile(dir + "/page.html", Ticker("text='fonts are loaded'"));
    ProcessResult run =
        RunQpmhost({dir + "/page.html", "--png", dir + "/page.png"}, {{"LSAN_OPTIONS", ""}});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
}
#endif

}  // namespace
