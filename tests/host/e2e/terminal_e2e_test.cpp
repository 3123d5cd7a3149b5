// qpmhost live in a terminal (tmux, 120 x 40): the page appears in
// colour with its status line, the tickers move, Ctrl-C or 'q' ends it and the
// terminal is as it was; a component's question is asked there, the
// installer's among them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "host/e2e/http_server.h"
#include "host/e2e/qpmhost_process.h"
#include "host/e2e/tmux_session.h"

namespace {

class TerminalRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TmuxSession::Available()) GTEST_SKIP() << "tmux is not installed";
        session = std::make_unique<TmuxSession>(120, 40);
        ASSERT_TRUE(session->started());
        dir = MakeScratchDirectory();
    }

    // Runs qpmhost in the pane between two snapshots of the terminal's
    // settings, then writes its exit status to a file: the run has ended
    // when that file is there, whatever the screen shows by then.
    void Start(const std::string& arguments, std::string environment = "") {
        // The sanitizer's settings reach qpmhost through the pane's clean environment.
        if (const char* lsan = getenv("LSAN_OPTIONS"))
            environment += " LSAN_OPTIONS=" + ShellQuote(lsan);
        session->Type("mkdir -p " + dir + "/win; stty -g > " + dir + "/before; " + environment +
                      " " + QPMHOST_PATH + " --windows-dir " + dir + "/win " + arguments +
                      "; status=$?; stty -g > " + dir + "/after; echo $status > " + dir +
                      "/status");
    }

    bool ShowsThePage() {
        return session->Format("#{alternate_on}") == "1" &&
               session->Screen().find("q or Ctrl-C quits") != std::string::npos &&
               session->Screen(true).find("38;2;") != std::string::npos;
    }

    bool ScreenShows(const std::string& text) {
        return session->Screen().find(text) != std::string::npos;
    }

    // The first line of a file the command line wrote, once it is complete.
    std::string Written(const char* name) {
        FILE* file = fopen((dir + "/" + name).c_str(), "r");
        if (file == nullptr) return "";
        char line[1024] = "";
        if (fgets(line, sizeof line, file) == nullptr) line[0] = '\0';
        fclose(file);
        const size_t length = strlen(line);
        return length > 0 && line[length - 1] == '\n' ? std::string(line, length - 1) : "";
    }

    // Waits for qpmhost to end; its exit status, or "" if it did not end.
    std::string ExitStatus() {
        session->WaitFor([&] { return !Written("status").empty(); });
        return Written("status");
    }

    void ExpectTerminalRestored() {
        // tmux may still be reading what qpmhost wrote last: wait for the result.
        EXPECT_TRUE(session->WaitFor([&] { return session->Format("#{alternate_on}") == "0"; }));
        EXPECT_TRUE(session->WaitFor([&] { return session->Format("#{cursor_flag}") == "1"; }));
        EXPECT_FALSE(Written("before").empty());
        EXPECT_EQ(Written("before"), Written("after"));
        // The normal screen is back, with the command that was typed on it.
        EXPECT_TRUE(session->WaitFor([&] { return ScreenShows("/status"); })) << session->Screen();
    }

    std::unique_ptr<TmuxSession> session;
    std::string dir;
};

TEST_F(TerminalRun, TheDemoScrollsAndCtrlCRestoresTheTerminal) {
    Start(std::string(QPM_EXAMPLES_DIR) + "/demo.html");
    ASSERT_TRUE(session->WaitFor([&] { return ShowsThePage(); })) << session->Screen();
    EXPECT_TRUE(session->WaitFor([&] { return ScreenShows("q or Ctrl-C quits"); }))
        << session->Screen();
    const std::string first = session->Screen(true);
    EXPECT_NE(first.find("38;2;"), std::string::npos) << "no 24-bit colour on screen";
    // The tickers move: the picture changes while nothing is typed.
    EXPECT_TRUE(session->WaitFor([&] { return session->Screen(true) != first; }));

    session->Keys("C-c");
    EXPECT_EQ(ExitStatus(), "0") << session->Screen();
    ExpectTerminalRestored();
}

// Ctrl-Z gives the shell its screen back before the process stops; fg
// brings the page back whole, and q still quits.
TEST_F(TerminalRun, CtrlZGivesTheScreenBackAndFgTakesItAgain) {
    Start(std::string(QPM_EXAMPLES_DIR) + "/demo.html");
    ASSERT_TRUE(session->WaitFor([&] { return ShowsThePage(); })) << session->Screen();
    session->Keys("C-z");
    ASSERT_TRUE(session->WaitFor([&] {
        return session->Format("#{alternate_on}") == "0" &&
               session->Format("#{cursor_flag}") == "1" && !Written("status").empty();
    })) << session->Screen();
    session->Type("fg >/dev/null; echo $? > " + dir + "/resumed");
    ASSERT_TRUE(session->WaitFor([&] { return ShowsThePage(); })) << session->Screen();
    session->Keys("q");
    EXPECT_TRUE(session->WaitFor([&] { return Written("resumed") == "0"; })) << session->Screen();
    EXPECT_TRUE(session->WaitFor([&] { return session->Format("#{alternate_on}") == "0"; }));
    EXPECT_TRUE(session->WaitFor([&] { return session->Format("#{cursor_flag}") == "1"; }));
}

TEST_F(TerminalRun, QQuitsAndTheQuestionIsAskedOnTheTerminal) {
    Start(std::string("--component ") + QPM_HOST_PROBE_LIBRARY, "PROBE_ASK=1");
    ASSERT_TRUE(session->WaitFor([&] { return ScreenShows("[Y]es/[N]o/[C]ancel?"); }))
        << session->Screen();
    const std::string question = session->Screen();
    EXPECT_NE(question.find("== Probe question =="), std::string::npos) << question;
    EXPECT_NE(question.find("Fingerprint 0123456789abcdef"), std::string::npos) << question;
    session->Type("c");
    ASSERT_TRUE(session->WaitFor([&] { return ShowsThePage(); })) << session->Screen();
    session->Keys("q");
    EXPECT_EQ(ExitStatus(), "0") << session->Screen();
    EXPECT_TRUE(session->WaitFor([&] { return ScreenShows("answer 2"); })) << session->Screen();
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
    auto answer = [&](const std::vector<std::string>& lines, const char* status, const char* said) {
        session->Type("clear");
        ASSERT_TRUE(session->WaitFor([&] { return prompts() == 0; })) << session->Screen();
        unlink((dir + "/status").c_str());
        Start(dir + "/page.html", "XDG_DATA_HOME=" + dir + "/data");
        ASSERT_TRUE(session->WaitFor([&] { return prompts() == 1; })) << session->Screen();
        EXPECT_TRUE(ScreenShows("The downloaded module has the MD5 fingerprint " +
                                Md5Hex(QPM_PELLUX_LIBRARY) + "."))
            << session->Screen();
        for (size_t i = 0; i < lines.size(); ++i) {
            session->Type(lines[i]);
            if (i + 1 < lines.size()) {
                ASSERT_TRUE(session->WaitFor([&] { return prompts() == int(i) + 2; }));
            }
        }
        ASSERT_TRUE(session->WaitFor([&] { return ShowsThePage(); })) << session->Screen();
        session->Keys("q");
        EXPECT_EQ(ExitStatus(), status) << session->Screen();
        EXPECT_TRUE(session->WaitFor([&] { return ScreenShows(said); })) << session->Screen();
    };
    // The failure is said on the normal screen, once the page is gone.
    answer({"n"}, "3",
           "qpmhost: component #1 (application/x-e2e-ticker): installation failed: QPM "
           "installation aborted");
    EXPECT_EQ(ReadFileBytes(dir + "/win/DRX.REG").find("x-e2e-ticker"), std::string::npos);
    answer({"", "y"}, "0", "[Y]es/[N]o/[C]ancel? y");
    EXPECT_NE(ReadFileBytes(dir + "/win/DRX.REG").find("application/x-e2e-ticker="),
              std::string::npos);
    ExpectTerminalRestored();
}

}  // namespace
