// Crash safety of an installation: the built qpmhost runs a page whose
// component type is not installed (module served on 127.0.0.1, --yes),
// and is killed with SIGKILL at one point of the installation after
// another. strace delivers the signal as qpmhost enters its n-th call of
// one system call, so each point is exact and repeatable: every file
// creation, write, rename, removal and close from making the components
// folder to the end of the run.
//
// After each kill: DRX.REG parses, still holds the entry of another type
// that was there before, and holds for the new type either nothing or
// the path of a whole module; only temporary files of known names are
// left over. Then a new run of the same page must install or run the
// component, and remove those files: only a whole module that was never
// recorded may stay. The kill points are shared out between the shards
// so that ctest runs them side by side.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "host/e2e/http_server.h"
#include "host/e2e/qpmhost_process.h"

namespace {

namespace fs = std::filesystem;

const char kType[] = "application/x-crash-ticker";
const char kOtherType[] = "application/x-other";
const char kOtherModule[] = "/opt/other/OTHER32.DLL";
const char kUnrecorded[] = "components/APPLICnn.DLL, whole, not recorded";
constexpr int kShards = 8;
// Kill points over all shards: every point that is not a write of the
// module's bytes, and as many of those writes, evenly spread, as make
// up this number.
constexpr size_t kKillPoints = 400;
// The system calls a kill point may be.
const char kCalls[] = "openat,write,close,rename,unlink,fsync,ftruncate,fchmod,mkdir";

struct KillPoint {
    std::string call;  // the system call's name
    int ordinal = 0;   // its how-manieth call of that name in the run
    std::string line;  // as strace showed it in the traced run
};

// DRX.REG read as a profile: sections of key=value lines, CRLF ends.
// `parses` is false for anything else (a cut line, a stray byte).
struct Registry {
    bool exists = false, parses = true;
    std::map<std::string, std::map<std::string, std::string>> sections;

    explicit Registry(const std::string& path) {
        exists = fs::exists(path);
        std::string text = ReadFileBytes(path), section;
        if (!text.empty() && text.size() < 2) parses = false;
        if (!text.empty() && text.compare(text.size() - 2, 2, "\r\n") != 0) parses = false;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            if (line.empty() || line.back() != '\r') {
                parses = parses && lines.eof() && line.empty();
                continue;
            }
            line.pop_back();
            if (line.empty()) continue;
            const size_t equals = line.find('=');
            if (line.front() == '[' && line.back() == ']')
                section = line.substr(1, line.size() - 2);
            else if (equals != std::string::npos && equals > 0 && !section.empty())
                sections[section][line.substr(0, equals)] = line.substr(equals + 1);
            else
                parses = false;
        }
    }
    std::string Value(const std::string& section, const std::string& key) const {
        auto s = sections.find(section);
        if (s == sections.end()) return "";
        auto k = s->second.find(key);
        return k == s->second.end() ? "" : k->second;
    }
};

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}
bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

class KilledInstallation : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(QPM_STRACE)) << "strace is needed: scripts/install-deps.sh";
        module = ReadFileBytes(QPM_PELLUX_LIBRARY);
        installer = ReadFileBytes(QPM_VARNOQ_LIBRARY);
        server.Serve("/ticker.dll", {200, module, -1});
        ASSERT_TRUE(server.Start());
        WriteTextFile(dir + "/page.html",
                      "<body>\n<embed type='" + std::string(kType) +
                          "' qpmplatforms='Win32' qpmsrc='" + server.Url("/ticker.dll") +
                          "' text='Put in place whole, or not at all' size='18'>\n</body>");
    }
    void TearDown() override { fs::remove_all(dir); }

    // The state before the installation: another type installed, no
    // components folder, nothing in TMPDIR.
    void Reset() {
        for (const char* sub : {"/data", "/win", "/tmp"}) fs::remove_all(dir + sub);
        fs::create_directories(dir + "/win");
        fs::create_directories(dir + "/tmp");
        WriteTextFile(Drx(),
                      "[DRX-Win32]\r\n" + std::string(kOtherType) + "=" + kOtherModule + "\r\n");
    }

    std::vector<std::string> Arguments() {
        return {dir + "/page.html", "--windows-dir", dir + "/win", "--yes", "--null"};
    }
    std::map<std::string, std::string> Environment() {
        return {{"XDG_DATA_HOME", dir + "/data"}, {"TMPDIR", dir + "/tmp"}};
    }
    ProcessResult Traced(std::vector<std::string> straceArguments) {
        straceArguments.insert(straceArguments.begin(), {"-f", "-qq"});
        straceArguments.push_back(QPMHOST_PATH);
        for (const std::string& a : Arguments()) straceArguments.push_back(a);
        std::map<std::string, std::string> environment = Environment();
        // A sanitizer build's leak check cannot run under ptrace.
        environment["ASAN_OPTIONS"] = "detect_leaks=0";
        return RunProgram(QPM_STRACE, straceArguments, environment);
    }

    // The installation's system calls, from a whole run under strace:
    // those of qpmhost's main thread from the first that touches the
    // components folder to the end of the run.
    std::vector<KillPoint> InstallationCalls() {
        Reset();
        const std::string trace = dir + "/trace.txt";
        ProcessResult run = Traced({"-o", trace, "-e", std::string("trace=") + kCalls});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        std::ifstream in(trace);
        const std::regex callLine(R"(^(\d+) +([a-z0-9_]+)\()");
        std::map<std::string, int> seen;
        std::vector<KillPoint> calls;
        std::string mainThread;
        size_t first = std::string::npos;
        bool registryWritten = false;
        for (std::string line; std::getline(in, line);) {
            std::smatch m;
            if (!std::regex_search(line, m, callLine)) continue;
            if (mainThread.empty()) mainThread = m[1];
            if (m[1] != mainThread) continue;
            calls.push_back({m[2], ++seen[m[2]], line});
            if (first == std::string::npos && line.find(dir + "/data") != std::string::npos)
                first = calls.size() - 1;
            if (m[2] == "rename" && line.find("/DRX.REG\")") != std::string::npos)
                registryWritten = true;
        }
        if (first == std::string::npos || !registryWritten) {
            ADD_FAILURE() << "no installation in the trace\n" << run.err;
            return {};
        }
        return {calls.begin() + long(first), calls.end()};
    }

    // Every call that is not a write of the module, and writes of it
    // evenly spread, up to kKillPoints in all.
    static std::vector<KillPoint> Choose(const std::vector<KillPoint>& calls) {
        std::vector<size_t> others, writes;
        for (size_t i = 0; i < calls.size(); ++i)
            (calls[i].call == "write" ? writes : others).push_back(i);
        std::vector<size_t> chosen = others;
        const size_t room = kKillPoints > others.size() ? kKillPoints - others.size() : 0;
        for (size_t k = 0; k < std::min(room, writes.size()); ++k)
            chosen.push_back(writes[k * writes.size() / std::min(room, writes.size())]);
        std::sort(chosen.begin(), chosen.end());
        std::vector<KillPoint> points;
        for (size_t i : chosen) points.push_back(calls[i]);
        return points;
    }

    std::string Drx() { return dir + "/win/DRX.REG"; }
    std::string Components() { return dir + "/data/qpm/components"; }
    std::string OwnTemporary() { return dir + "/data/qpm/tmp"; }

    // The state after a kill; `where` names the kill point in failures.
    void CheckConsistent(const std::string& where) {
        Registry registry(Drx());
        ASSERT_TRUE(registry.exists && registry.parses) << where << "\n" << ReadFileBytes(Drx());
        EXPECT_EQ(registry.Value("DRX-Win32", kOtherType), kOtherModule) << where;
        EXPECT_EQ(registry.Value("DRX-Win32-Installing", kType), "") << where;
        const std::string recorded = registry.Value("DRX-Win32", kType);
        if (recorded.empty()) {
            ++statesBefore;
        } else {
            ++statesAfter;
            EXPECT_EQ(fs::path(recorded).parent_path(), fs::path(Components())) << where;
            EXPECT_TRUE(ReadFileBytes(recorded) == module) << where << ": " << recorded;
        }
        for (const auto& [kind, count] : LeftOver(where, recorded)) leftovers[kind] += count;
    }

    // Every file the run's folders hold besides DRX.REG, the installer's
    // copy and the recorded module, counted by kind. Each must be a
    // temporary file of a known name, in its own folder, or a whole
    // module that was not recorded; nothing goes to $TMPDIR.
    std::map<std::string, int> LeftOver(const std::string& where, const std::string& recorded) {
        std::map<std::string, int> found;
        const std::string folders[] = {Components(), OwnTemporary(), dir + "/win", dir + "/tmp"};
        for (const std::string& folder : folders) {
            std::error_code ignored;
            for (const auto& entry : fs::directory_iterator(folder, ignored)) {
                const std::string name = entry.path().filename();
                if (entry.path() == recorded || (folder == dir + "/win" && name == "DRX.REG"))
                    continue;
                if (folder == Components() && name == "libvarnoq.so") {
                    EXPECT_TRUE(ReadFileBytes(entry.path()) == installer) << where << ": " << name;
                    continue;
                }
                const std::string kind = KindOf(folder, name, entry.path());
                if (kind.empty()) ADD_FAILURE() << where << ": unexpected " << entry.path();
                ++found[kind];
            }
        }
        return found;
    }
    std::string KindOf(const std::string& folder, const std::string& name, const fs::path& path) {
        if (folder == Components() && StartsWith(name, "libvarnoq.so."))
            return "components/libvarnoq.so.XXXXXX";
        if (folder == Components() && StartsWith(name, "QPM") && EndsWith(name, ".tmp"))
            return "components/QPM<hex>.tmp";
        if (folder == Components() &&
            std::regex_match(name, std::regex("APPLIC[0-9][0-9]\\.DLL")) &&
            ReadFileBytes(path) == module)
            return kUnrecorded;
        if (folder == OwnTemporary() && StartsWith(name, "Plu") && EndsWith(name, ".tmp"))
            return "tmp/Plu<hex>.tmp";
        if (folder == dir + "/win" && StartsWith(name, ".DRX.REG.") && EndsWith(name, ".new"))
            return "windows/.DRX.REG.<pid>.<n>.new";
        return "";
    }

    // A run after the kill, left alone, installs the type or runs it.
    void CheckRecovery(const std::string& where) {
        ProcessResult run = RunQpmhost(Arguments(), Environment());
        EXPECT_EQ(run.exitCode, 0) << where << "\n" << run.err;
        Registry registry(Drx());
        EXPECT_TRUE(registry.parses) << where;
        EXPECT_EQ(registry.Value("DRX-Win32", kOtherType), kOtherModule) << where;
        const std::string recorded = registry.Value("DRX-Win32", kType);
        EXPECT_TRUE(!recorded.empty() && ReadFileBytes(recorded) == module) << where;
        // It removed the killed run's temporary files: only a module
        // that was never recorded may stay.
        for (const auto& [kind, count] : LeftOver(where, recorded)) {
            EXPECT_EQ(kind, kUnrecorded) << where << ": left after the next run";
            leftAfterNextRun[kind] += count;
        }
    }

    std::string dir = MakeScratchDirectory();
    TestHttpServer server;
    std::string module, installer;
    int statesBefore = 0, statesAfter = 0;
    std::map<std::string, int> leftovers, leftAfterNextRun;
};

TEST_P(KilledInstallation, LeavesTheRegistryWholeAndTheNextRunInstalls) {
    const std::vector<KillPoint> calls = InstallationCalls();
    ASSERT_FALSE(calls.empty());
    const std::vector<KillPoint> points = Choose(calls);
    ASSERT_GE(points.size(), 200u);
    int killed = 0;
    for (size_t i = size_t(GetParam()); i < points.size(); i += kShards) {
        const KillPoint& point = points[i];
        const std::string where =
            "killed at " + point.call + " #" + std::to_string(point.ordinal) + ": " + point.line;
        Reset();
        ProcessResult run = Traced(
            {"-o", "/dev/null", "-e", "trace=" + point.call, "-e",
             "inject=" + point.call + ":signal=SIGKILL:when=" + std::to_string(point.ordinal)});
        EXPECT_EQ(run.exitCode, 128 + 9) << where << "\n" << run.err;
        killed += run.exitCode == 128 + 9;
        CheckConsistent(where);
        CheckRecovery(where);
        if (HasFatalFailure()) return;
    }
    // Most kills come during the download: the sweep had work to do.
    EXPECT_GT(leftovers["tmp/Plu<hex>.tmp"], 0);
    std::ostringstream summary;
    summary << killed << " of " << points.size() << " kill points (" << calls.size()
            << " calls in the installation); DRX.REG as before " << statesBefore << ", as after "
            << statesAfter << "; left over:";
    for (const auto& [kind, count] : leftovers) summary << " " << kind << " " << count << ";";
    summary << " after the next run:";
    for (const auto& [kind, count] : leftAfterNextRun)
        summary << " " << kind << " " << count << ";";
    RecordProperty("summary", summary.str());
    std::cout << summary.str() << "\n";
}

INSTANTIATE_TEST_SUITE_P(Shards, KilledInstallation, ::testing::Range(0, kShards));

}  // namespace
