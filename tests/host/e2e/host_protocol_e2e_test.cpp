// qpmhost seen from a component: the probe component prints what it is
// given and what the host answers, and the lines are compared with what
// a host must do, in order.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "host/e2e/http_server.h"
#include "host/e2e/qpmhost_process.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Expected lines; one ending in '*' matches any line that starts with
// the rest. On mismatch both columns are printed side by side.
::testing::AssertionResult SameLines(const std::vector<std::string>& expected,
                                     const std::vector<std::string>& actual) {
    auto matches = [](const std::string& e, const std::string& a) {
        if (!e.empty() && e.back() == '*')
            return a.compare(0, e.size() - 1, e, 0, e.size() - 1) == 0;
        return e == a;
    };
    bool same = expected.size() == actual.size();
    for (size_t i = 0; same && i < expected.size(); ++i) same = matches(expected[i], actual[i]);
    if (same) return ::testing::AssertionSuccess();
    std::ostringstream out;
    out << "lines differ (expected | actual):\n";
    for (size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        std::string e = i < expected.size() ? expected[i] : "-";
        std::string a = i < actual.size() ? actual[i] : "-";
        out << (i < expected.size() && i < actual.size() && matches(e, a) ? "   " : " * ") << e
            << " | " << a << "\n";
    }
    return ::testing::AssertionFailure() << out.str();
}

std::string CurrentDirectory() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

const std::vector<std::string> kRequestAnswers = {
    "supports 1044 -> 1", "supports 1046 -> 1",
    "supports 1054 -> 1", "supports 1069 -> 1",
    "supports 1056 -> 0", "supports 1100 -> 0",
    "open null -> -1",    "open no url -> -1",
    "open ftp -> -1",     "read null -> -1",
    "read unknown -> -1", "close unknown -> 0",
    "resize null -> 0",   "resize negative -> 0",
    "info null -> 0",     "resize 200x60 -> 1, window 200x60, site 200x60",
};

TEST(HostProtocol, CallingOrderRequestsAndHostInformation) {
    const std::string windows = MakeScratchDirectory() + "/windows";
    mkdir(windows.c_str(), 0755);
    ProcessResult run = RunQpmhost({"--component", QPM_HOST_PROBE_LIBRARY, "--attr", "TEXT=hi",
                                    "--attr", "DATAFILE=data.txt", "--null", "--after", "250",
                                    "--context", "CTX", "--user-name", "Ada King Lovelace",
                                    "--user-addr", "ada@example.org", "--windows-dir", windows});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> expected = {
        "set instance",
        "version 257..258",
        "calc size",
        "init 300x44 attributes 2",
        "attr TEXT=hi",
        "attr DATAFILE=data.txt",
        "data file " + CurrentDirectory() + "/data.txt",
        "colours ffffff 000000 fixed 0",
        "start",
        "info 1 -> 1 [" + windows + "/DRX.REG]",
        "info 2 -> 1 [CTX]",
        "info 3 -> 0 []",
        "info 5 -> 1 [Ada]",
        "info 6 -> 1 [Ada King Lovelace]",
        "info 7 -> 1 [ada@example.org]",
        "info 8 -> 1 [qpmhost/1.0 (*",
    };
    expected.insert(expected.end(), kRequestAnswers.begin(), kRequestAnswers.end());
    expected.insert(expected.end(), {"idle", "stop"});
    EXPECT_TRUE(SameLines(expected, Lines(run.out))) << run.err;
}

TEST(HostProtocol, AGivenSizeSkipsCalcSizeAndIsFixed) {
    ProcessResult run = RunQpmhost(
        {"--component", QPM_HOST_PROBE_LIBRARY, "--width", "250", "--height", "30", "--null"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 4u) << run.out;
    EXPECT_TRUE(
        SameLines({"set instance", "version 257..258", "init 250x30 attributes 2", "attr WIDTH=250",
                   "attr HEIGHT=30", "data file (none)", "colours ffffff 000000 fixed 1", "start"},
                  std::vector<std::string>(lines.begin(),
                                           lines.begin() + std::min<size_t>(8, lines.size()))));
}

// A GET's data joins the URL's query; a POST sends it as its body.
TEST(HostProtocol, StreamDataGoesIntoTheQueryOrTheBody) {
    TestHttpServer server;
    ASSERT_TRUE(server.Start());
    const std::string url = server.Url("/data");
    ProcessResult run =
        RunQpmhost({"--component", QPM_HOST_PROBE_LIBRARY, "--null"}, {{"PROBE_FETCH", url}});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    for (const std::string& said :
         {"fetch GET " + url + " -> stream", "fetch GET " + url + "?k=v -> stream",
          "fetch POST " + url + " -> stream"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), said), lines.end()) << said;
    std::vector<std::string> requests = server.Requests();
    std::sort(requests.begin(), requests.end());
    EXPECT_EQ(requests,
              (std::vector<std::string>{"GET /data?a=1&b=2 HTTP/1.1", "GET /data?k=v&a=1 HTTP/1.1",
                                        "POST /data HTTP/1.1", "POST /data HTTP/1.1"}));
}

TEST(HostProtocol, ComponentsThatCannotRunAreNamedAndTheRestGoOn) {
    struct Case {
        const char* switchName;
        const char* says;
        const char* lastLine;
    } cases[] = {
        {"PROBE_VERSION_ZERO",
         "speaks no interface version from 257 to 258 (QPMGetVersion answered 0)",
         "version 257..258"},
        {"PROBE_NO_WINDOW", "QPMInit created no window", "colours ffffff 000000 fixed 0"},
        {"PROBE_REFUSE", "did not start (it answered message 1025 with 0)", "stop"},
    };
    for (const Case& c : cases) {
        ProcessResult run =
            RunQpmhost({"--component", QPM_HOST_PROBE_LIBRARY, "--null"}, {{c.switchName, "1"}});
        EXPECT_EQ(run.exitCode, 3) << c.switchName;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.switchName << ": " << run.err;
        EXPECT_NE(run.err.find("#1"), std::string::npos) << run.err;
        std::vector<std::string> lines = Lines(run.out);
        ASSERT_FALSE(lines.empty()) << c.switchName;
        EXPECT_EQ(lines.back(), c.lastLine) << c.switchName;
    }
}

TEST(HostProtocol, TypesFromTheRegistryAndUnknownTypes) {
    const std::string dir = MakeScratchDirectory();
    mkdir((dir + "/windows").c_str(), 0755);
    WriteTextFile(dir + "/windows/DRX.REG", std::string("[DRX-Win32]\r\napplication/x-probe=") +
                                                QPM_HOST_PROBE_LIBRARY + "\r\n");
    WriteTextFile(dir + "/page.html",
                  "<body><embed type='application/x-nothing' width=10 height=10>"
                  "<embed type='application/x-probe'><object width=5 height=5></object></body>");
    ProcessResult run =
        RunQpmhost({dir + "/page.html", "--null", "--windows-dir", dir + "/windows"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("component #1 (application/x-nothing): no component installed for type "
                           "application/x-nothing"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("component #3 (<object>): the element has no TYPE attribute"),
              std::string::npos)
        << run.err;
    // The registered type ran all the same.
    std::vector<std::string> lines = Lines(run.out);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "start"), lines.end()) << run.out;
}

TEST(HostProtocol, TheQuestionIsAnsweredByFlagOrFails) {
    struct Case {
        std::vector<std::string> flags;
        const char* answer;
    } cases[] = {{{"--yes"}, "answer 6"}, {{"--no"}, "answer 7"}, {{}, "answer 0"}};
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--component", QPM_HOST_PROBE_LIBRARY, "--null"};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        // No terminal here (the child has no controlling terminal): only flags answer.
        ProcessResult run = RunQpmhost(args, {{"PROBE_ASK", "1"}});
        std::vector<std::string> lines = Lines(run.out);
        EXPECT_NE(std::find(lines.begin(), lines.end(), c.answer), lines.end()) << c.answer << "\n"
                                                                                << run.out;
    }
}

}  // namespace
