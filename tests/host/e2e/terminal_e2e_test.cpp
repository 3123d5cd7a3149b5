// qpmhost live in a terminal (tmux, 120 x 40): the page appears in
// colour half blocks, the tickers move, Ctrl-C or 'q' ends it and the
// terminal is as it was; a component's question is asked there, the
// installer's among them.
#include <gtest/gtest.h>

#include "host/e2e/http_server.h"
#include "host/e2e/qpmhost_process.h"
#include "host/e2e/tmux_session.h"

namespace {

const char kBlock[] = "\xE2\x96\x80";

class TerminalRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TmuxSession::Available()) GTEST_SKIP() << "tmux is not installed";
        session = std::make_unique<TmuxSession>(120, 40);
        ASSERT_TRUE(session->started());
        dir = MakeScratchDirectory();
    }

    // Runs qpmhost in the pane between two snapshots of the terminal's settings.
    void Start(const std::string& arguments, std::string environment = "") {
        // The sanitizer's settings reach qpmhost through the pane's clean environment.
        if (const char* lsan = getenv("LSAN_OPTIONS"))
            environment += " LSAN_OPTIONS=" + ShellQuote(lsan);
        session->Type("stty -g > " + dir + "/before; " + environment + " " + QPMHOST_PATH +
                      " --windows-dir " + dir + "/win " + arguments + "; echo EXIT=$?; stty -g > " +
                      dir + "/after");
    }

    bool ShowsThePage() {
        return session->Format("#{alternate_on}") == "1" &&
               session->Screen().find(kBlock) != std::string::npos;
    }

    // The echo's output, at the start of a line (the typed command holds "EXIT=" too).
    bool Ended() { return session->Screen().find("\nEXIT=") != std::string::npos; }

    std::string Settings(const char* name) {
        FILE* file = fopen((dir + "/" + name).c_str(), "r");
        if (file == nullptr) return "(missing)";
        char line[1024] = "";
        fgets(line, sizeof line, file);
        fclose(file);
        return line;
    }

    void ExpectTerminalRestored() {
        EXPECT_EQ(session->Format("#{alternate_on}"), "0");
        EXPECT_EQ(session->Format("#{cursor_flag}"), "1");
        EXPECT_TRUE(session->WaitFor([&] { return Settings("after") != "(missing)"; }, 10));
        EXPECT_EQ(Settings("before"), Settings("after"));
        // The normal screen is back, with the command that was typed on it.
        EXPECT_NE(session->Screen().find("echo EXIT=$?"), std::string::npos) << session->Screen();
    }

    std::unique_ptr<TmuxSession> session;
    std::string dir;
};

TEST_F(TerminalRun, TheDemoScrollsAndCtrlCRestoresTheTerminal) {
    Start(std::string(QPM_EXAMPLES_DIR) + "/demo.html");
    ASSERT_TRUE(session->WaitFor([&] { return ShowsThePage(); })) << session->Screen();
    const std::string first = session->Screen(true);
    EXPECT_NE(first.find("38;2;"), std::string::npos) << "no 24-bit colour on screen";
    EXPECT_NE(first.find("q or Ctrl-C quits"), std::string::npos);
    // The tickers move: the picture changes while nothing is typed.
    EXPECT_TRUE(session->WaitFor([&] { return session->Screen(true) != first; }, 5));

    session->Keys("C-c");
    ASSERT_TRUE(session->WaitFor([&] { return Ended(); })) << session->Screen();
    EXPECT_NE(session->Screen().find("\nEXIT=0"), std::string::npos) << session->Screen();
    ExpectTerminalRestored();
}

TEST_F(TerminalRun, QQuitsAndTheQuestionIsAskedOnTheTerminal) {
    Start(std::string("--component ") + QPM_HOST_PROBE_LIBRARY, "PROBE_ASK=1");
    ASSERT_TRUE(session->WaitFor([&] {
        return session->Screen().find("[Y]es/[N]o/[C]ancel?") != std::string::npos;
    })) << session->Screen();
    const std::string question = session->Screen();
    EXPECT_NE(question.find("== Probe question =="), std::string::npos) << question;
    EXPECT_NE(question.find("Fingerprint 0123456789abcdef"), std::string::npos) << question;
    session->Type("c");
    ASSERT_TRUE(session->WaitFor([&] { return ShowsThePage(); })) << session->Screen();
    session->Keys("q");
    ASSERT_TRUE(session->WaitFor([&] { return Ended(); })) << session->Screen();
    EXPECT_NE(session->Screen().find("answer 2"), std::string::npos) << session->Screen();
    ExpectTerminalRestored();
}

// No, then (in the same Windows directory) a stray Enter and Yes.
TEST_F(TerminalRun, TheInstallersQuestionIsAnsweredThereAndAStrayEnterIsNoYes) {
    TestHttpServer server;
    server.Serve("/ticker.dll", {200, ReadFileBytes(QPM_PELLUX_LIBRARY), -1});
    ASSERT_TRUE(server.Start());
    WriteTextFile(dir + "/page.html",
                  "<embed type='application/x-e2e-ticker' qpmplatforms=Win32 "
                  "qpmsrc='" +
                      server.Url("/ticker.dll") + "' text=Installed>");
    const std::string prompt = "[Y]es/[N]o/[C]ancel?";
    auto prompts = [&] {
        const std::string screen = session->Screen();
        int count = 0;
        for (size_t at = screen.find(prompt); at != std::string::npos;
             at = screen.find(prompt, at + 1))
            ++count;
        return count;
    };
    auto answer = [&](const std::vector<std::string>& lines, const char* exit, const char* said) {
        session->Type("clear");
        ASSERT_TRUE(session->WaitFor([&] { return prompts() == 0; })) << session->Screen();
        Start(dir + "/page.html", "XDG_DATA_HOME=" + dir + "/data");
        ASSERT_TRUE(session->WaitFor([&] { return prompts() == 1; })) << session->Screen();
        EXPECT_NE(session->Screen().find("The downloaded module has the MD5 fingerprint " +
                                         Md5Hex(QPM_PELLUX_LIBRARY) + "."),
                  std::string::npos)
            << session->Screen();
        for (size_t i = 0; i < lines.size(); ++i) {
            session->Type(lines[i]);
            if (i + 1 < lines.size())
                ASSERT_TRUE(session->WaitFor([&] { return prompts() == int(i) + 2; }));
        }
        ASSERT_TRUE(session->WaitFor([&] { return ShowsThePage(); })) << session->Screen();
        session->Keys("q");
        ASSERT_TRUE(session->WaitFor([&] { return Ended(); })) << session->Screen();
        EXPECT_NE(session->Screen().find(exit), std::string::npos) << session->Screen();
        EXPECT_NE(session->Screen().find(said), std::string::npos) << session->Screen();
    };
    // The failure is said on the normal screen, once the page is gone.
    answer({"n"}, "\nEXIT=3",
           "\nqpmhost: component #1 (application/x-e2e-ticker): installation failed: QPM "
           "installation aborted\n");
    EXPECT_EQ(ReadFileBytes(dir + "/win/DRX.REG").find("x-e2e-ticker"), std::string::npos);
    answer({"", "y"}, "\nEXIT=0", "[Y]es/[N]o/[C]ancel? y\n");
    EXPECT_NE(ReadFileBytes(dir + "/win/DRX.REG").find("application/x-e2e-ticker="),
              std::string::npos);
    ExpectTerminalRestored();
}

}  // namespace
