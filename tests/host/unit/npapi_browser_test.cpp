// qpmhost as the Netscape browser, driving a scripted plug-in: how it
// takes a library's refusals, what its browser functions answer, and
// the NPP_* calls with which it carries real transfers to the plug-in.
#include <gtest/gtest.h>
#include <qpm_platform.h>

#include <chrono>
#include <memory>

#include "host/e2e/http_server.h"
#include "host/e2e/qpmhost_process.h"
#include "host/unit/hosted_page.h"
#include "host/unit/plugin/scripted_plugin.h"
#include "page/url.h"
#include "session/host.h"
#include "session/log.h"

namespace {

const char kEmbed[] = "<embed type='application/x-scripted' width='100' height='20'";
const char kAgent[] = "qpmhost-test/1";

class NpapiBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        QpmUseManualClock(0);
        SetVerbose(true);  // every call is logged too
        // Held for the whole test, so the script outlives each run's unload.
        plugin = LoadLibraryA(QPM_SCRIPTED_PLUGIN);
        ASSERT_NE(plugin, nullptr);
        reset = reinterpret_cast<PluginScript* (*)()>(
            reinterpret_cast<void (*)()>(GetProcAddress(plugin, "ScriptedPlugin")));
        ASSERT_NE(reset, nullptr);
        WriteTextFile(dir + "/data.txt", "0123456789");
        WriteTextFile(dir + "/empty.txt", "");
    }
    void TearDown() override {
        Stop();
        FreeLibrary(plugin);
    }

    // A fresh script for the next run.
    PluginScript& Script() { return *(script = reset()); }

    // Prepares and starts the page's elements, each run by `library`.
    void Start(const std::string& html, const std::string& library = QPM_SCRIPTED_PLUGIN) {
        host = std::make_unique<Host>();
        host->page = ParsePageHtml(html);
        host->componentLibrary = library;
        host->baseDirectory = dir;
        host->baseUrl = FileUrlFromPath(dir + "/");
        std::string error;
        ASSERT_TRUE(host->fileAccess.Allow(dir, &error)) << error;
        host->identity.userAgent = kAgent;
        host->transport = std::make_unique<CurlTransport>(&host->streams, kAgent);
        ASSERT_TRUE(StartComponents(*host, HostingMode::kNpapi));
    }

    // Carries every transfer to its end and delivers what that posts;
    // bounded, so that a hang fails the test instead of stalling it.
    void Settle() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            const UINT handled = QpmPumpMessages();
            if (host->transport->Active())
                host->transport->Wait(50, {});
            else if (handled == 0)
                return;
        }
        ADD_FAILURE() << "the transfers did not settle";
    }

    // One more push by the browser's 50 ms timer.
    void Tick() {
        QpmAdvanceClock(50);
        Settle();
    }

    void Stop() {
        if (!host) return;
        host->hosting->Stop();
        DestroyWindow(host->pageWindow);
        host.reset();
    }

    // The calls recorded from `from` on, as "A, B, C".
    std::string Calls(size_t from = 0) const {
        std::string text;
        for (size_t i = from; i < script->calls.size(); ++i)
            text += (text.empty() ? "" : ", ") + script->calls[i];
        return text;
    }

    std::string dir = MakeScratchDirectory();
    HMODULE plugin = nullptr;
    PluginScript* (*reset)() = nullptr;
    PluginScript* script = nullptr;
    std::unique_ptr<Host> host;
};

// "@" in a text stands for the library's path.
std::string WithPath(std::string text, const std::string& path) {
    const size_t at = text.find('@');
    return at == std::string::npos ? text : text.replace(at, 1, path);
}

TEST_F(NpapiBrowserTest, RefusalsFailTheSlotsAndOweOnlyWhatWasBegun) {
    const std::string kMissing = "/nonexistent/libnothing.so";
    struct {
        std::string library;
        void (*setUp)(PluginScript&);
        std::string failure;  // for both elements of the page
        std::string calls;    // the whole run, the stop included
    } rows[] = {
        {kMissing, [](PluginScript&) {}, "cannot load plug-in library @", ""},
        {QPM_HOST_PROBE_LIBRARY, [](PluginScript&) {},
         "@ is not a plug-in: it does not export NP_GetEntryPoints, NP_Initialize and NP_Shutdown",
         ""},
        {QPM_SCRIPTED_PLUGIN, [](PluginScript& s) { s.getEntryPoints = 3; },
         "@ refused the browser (plug-in API error 3)", "GetEntryPoints"},
        {QPM_SCRIPTED_PLUGIN, [](PluginScript& s) { s.initialize = 8; },
         "@ refused the browser (plug-in API error 8)", "GetEntryPoints, Initialize"},
        {QPM_SCRIPTED_PLUGIN, [](PluginScript& s) { s.leaveOutWrite = true; },
         "@ left callbacks out of its plug-in table", "GetEntryPoints, Initialize, Shutdown"},
        // A stream asked for inside a refused NPP_New is never delivered.
        {QPM_SCRIPTED_PLUGIN,
         [](PluginScript& s) {
             s.newInstance = 1;
             s.urlFromNew = "data.txt";
         },
         "NPP_New refused it (error 1)",
         "GetEntryPoints, Initialize, New 3, NPN_GetURL = 0, New 3, NPN_GetURL = 0, Shutdown"},
        {QPM_SCRIPTED_PLUGIN, [](PluginScript& s) { s.setWindow = 1; },
         "NPP_SetWindow refused it (error 1)",
         "GetEntryPoints, Initialize, New 3, SetWindow 100x20, New 3, SetWindow 100x20, "
         "SetWindow 50x10, SetWindow 50x10, Destroy, Destroy, Shutdown"},
    };
    for (const auto& row : rows) {
        row.setUp(Script());
        testing::internal::CaptureStderr();
        Start(std::string(kEmbed) + ">" + kEmbed + ">", row.library);
        Settle();
        // Only an instance that NPP_New made is told of a new size, and
        // only when it is new.
        for (const auto& slot : host->slots) {
            if (!slot->site) continue;
            SendMessageA(slot->site, WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 20));
            MoveWindow(slot->site, 0, 0, 50, 10, TRUE);
        }
        Tick();
        Stop();
        const std::string err = testing::internal::GetCapturedStderr();
        const std::string failure = WithPath(row.failure, row.library);
        for (const char* label : {"#1", "#2"}) {
            const std::string line =
                std::string("component ") + label + " (application/x-scripted): " + failure + "\n";
            EXPECT_NE(err.find(line), std::string::npos) << line << "in:\n" << err;
        }
        EXPECT_EQ(Calls(), row.calls) << failure;
    }
}

TEST_F(NpapiBrowserTest, StreamsReachThePluginAsItAsksForThem) {
    TestHttpServer server;
    server.Serve("/cut", {200, "0123456789", 4});
    server.Serve("/gone", {404, "not here"});
    ASSERT_TRUE(server.Start());
    using Setup = void (*)(PluginScript&);
    const Setup kAsIs = [](PluginScript&) {};
    const std::string kData = "NewStream data.txt, WriteReady, Write 0 10, ";
    struct {
        std::string src;
        Setup setUp;
        int ticks;  // pushes by the timer after the transfer ended
        std::string calls;
    } rows[] = {
        {"data.txt", kAsIs, 0, kData + "DestroyStream 0"},
        {"empty.txt", kAsIs, 0, "NewStream empty.txt, DestroyStream 0"},
        {"data.txt", [](PluginScript& s) { s.newStream = 1; }, 1, "NewStream data.txt"},
        {"data.txt", [](PluginScript& s) { s.writeReady = {4}; }, 0,
         "NewStream data.txt, WriteReady, Write 0 4, WriteReady, Write 4 4, WriteReady, Write 8 2, "
         "DestroyStream 0"},
        {"data.txt",
         [](PluginScript& s) {
             s.writeReady = {0, 16};
         },
         1, "NewStream data.txt, WriteReady, WriteReady, Write 0 10, DestroyStream 0"},
        {"data.txt", [](PluginScript& s) { s.write = {-1}; }, 1, kData + "DestroyStream 1"},
        {"data.txt",
         [](PluginScript& s) {
             s.write = {0, PluginScript::kTakeAll};
         },
         1, kData + "WriteReady, Write 0 10, DestroyStream 0"},
        {"data.txt",
         [](PluginScript& s) {
             s.write = {3, 100};
         },
         0, kData + "WriteReady, Write 3 7, DestroyStream 0"},
        {"data.txt", [](PluginScript& s) { s.destroyInWrite = true; }, 1,
         kData + "DestroyStream 2, NPN_DestroyStream = 0"},
        // Never ready: the stop breaks the stream off.
        {"data.txt", [](PluginScript& s) { s.writeReady = {0}; }, 2,
         "NewStream data.txt, WriteReady, WriteReady, WriteReady, DestroyStream 2"},
        // Failed before any data: no stream at all.
        {"missing.txt", kAsIs, 1, ""},
        {server.Url("/gone"), kAsIs, 1, ""},
        {server.Url("/cut"), kAsIs, 1,
         "NewStream " + server.Url("/cut") + ", WriteReady, Write 0 4, DestroyStream 1"},
    };
    for (const auto& row : rows) {
        PluginScript& s = Script();
        row.setUp(s);
        s.savedBytes = 64;  // freed by the browser: the sanitizers see no leak
        Start(std::string(kEmbed) + " src='" + row.src + "'>");
        ASSERT_EQ(Calls(), "GetEntryPoints, Initialize, New 4, SetWindow 100x20");
        Settle();
        for (int i = 0; i < row.ticks; ++i) Tick();
        Stop();
        const std::string stop = "Destroy, Shutdown";
        EXPECT_EQ(Calls(4), row.calls.empty() ? stop : row.calls + ", " + stop) << row.src;
    }
}

TEST_F(NpapiBrowserTest, UrlRequestsAnswerByTheirArguments) {
    TestHttpServer server;
    server.Serve("/posted", {200, "thanks"});
    ASSERT_TRUE(server.Start());
    PluginScript& s = Script();
    s.urlFromNew = "data.txt";  // asked for before the instance has its window
    Start(std::string(kEmbed) + ">");
    Settle();
    EXPECT_EQ(Calls(2),
              "New 3, NPN_GetURL = 0, SetWindow 100x20, NewStream data.txt, WriteReady, "
              "Write 0 10, DestroyStream 0");
    NPP me = s.instances.at(0);
    NPP_t foreign{};
    const std::string posted = server.Url("/posted");
    struct {
        bool post;
        NPP npp;
        const char* url;
        const char* target;
        uint32_t length;
        const char* body;
        NPBool file;
        NPError result;
        std::string calls;  // what the plug-in is given for it
    } rows[] = {
        {false, nullptr, "data.txt", nullptr, 0, nullptr, false, NPERR_INVALID_INSTANCE_ERROR, ""},
        {false, &foreign, "data.txt", nullptr, 0, nullptr, false, NPERR_INVALID_INSTANCE_ERROR, ""},
        {false, me, nullptr, nullptr, 0, nullptr, false, NPERR_INVALID_URL, ""},
        {false, me, "data.txt", "_blank", 0, nullptr, false, NPERR_GENERIC_ERROR, ""},
        {false, me, "", nullptr, 0, nullptr, false, NPERR_INVALID_URL, ""},
        {false, me, "ftp://127.0.0.1/x", nullptr, 0, nullptr, false, NPERR_INVALID_URL, ""},
        {false, me, "file:///etc/passwd", nullptr, 0, nullptr, false, NPERR_GENERIC_ERROR, ""},
        {false, me, "data.txt", nullptr, 0, nullptr, false, NPERR_NO_ERROR,
         "NewStream data.txt, WriteReady, Write 0 10, DestroyStream 0"},
        {true, nullptr, posted.c_str(), nullptr, 2, "a=", false, NPERR_INVALID_INSTANCE_ERROR, ""},
        {true, me, nullptr, nullptr, 2, "a=", false, NPERR_INVALID_URL, ""},
        {true, me, posted.c_str(), "_top", 2, "a=", false, NPERR_GENERIC_ERROR, ""},
        {true, me, posted.c_str(), nullptr, 2, "a=", true, NPERR_GENERIC_ERROR, ""},
        {true, me, posted.c_str(), nullptr, 2, nullptr, false, NPERR_INVALID_PARAM, ""},
        {true, me, "data.txt", nullptr, 2, "a=", false, NPERR_GENERIC_ERROR, ""},  // no file POSTs
        {true, me, posted.c_str(), nullptr, 3, "a=1", false, NPERR_NO_ERROR,
         "NewStream " + posted + ", WriteReady, Write 0 6, DestroyStream 0"},
        {true, me, posted.c_str(), nullptr, 0, nullptr, false, NPERR_NO_ERROR,
         "NewStream " + posted + ", WriteReady, Write 0 6, DestroyStream 0"},
    };
    for (const auto& row : rows) {
        const size_t before = s.calls.size();
        const NPError result = row.post ? s.browser->posturl(row.npp, row.url, row.target,
                                                             row.length, row.body, row.file)
                                        : s.browser->geturl(row.npp, row.url, row.target);
        EXPECT_EQ(result, row.result) << row.post << " " << (row.url ? row.url : "null");
        Settle();
        EXPECT_EQ(Calls(before), row.calls) << row.post << " " << (row.url ? row.url : "null");
    }
    const std::vector<std::string> requests = server.Requests();
    EXPECT_EQ(requests, std::vector<std::string>(2, "POST /posted HTTP/1.1"));
}

TEST_F(NpapiBrowserTest, DestroyStreamEndsOnlyTheCallersLiveStream) {
    PluginScript& s = Script();
    s.writeReady = {0};  // keeps its stream open
    Start(std::string(kEmbed) + " src='data.txt'>" + kEmbed + ">");
    Settle();
    ASSERT_EQ(s.instances.size(), 2u);
    ASSERT_EQ(s.streams.size(), 1u);
    NPStream* stream = s.streams[0];
    NPStream unknown{};
    struct {
        NPP npp;
        NPStream* stream;
        NPError result;
        std::string calls;  // made back before the browser function returns
    } rows[] = {
        {nullptr, stream, NPERR_INVALID_INSTANCE_ERROR, ""},
        {s.instances[0], &unknown, NPERR_INVALID_PARAM, ""},
        {s.instances[1], stream, NPERR_INVALID_PARAM, ""},  // another instance's
        {s.instances[0], stream, NPERR_NO_ERROR, "DestroyStream 2"},
        {s.instances[0], stream, NPERR_INVALID_PARAM, ""},  // ended already
    };
    for (const auto& row : rows) {
        const size_t before = s.calls.size();
        EXPECT_EQ(s.browser->destroystream(row.npp, row.stream, NPRES_USER_BREAK), row.result);
        EXPECT_EQ(Calls(before), row.calls);
    }
    Tick();
    Stop();
    EXPECT_EQ(Calls(8), "DestroyStream 2, Destroy, Destroy, Shutdown");
}

TEST_F(NpapiBrowserTest, TheOtherBrowserFunctions) {
    PluginScript& s = Script();
    Start(std::string(kEmbed) + ">");
    const NPNetscapeFuncs& b = *s.browser;
    EXPECT_GE(b.size, kBrowserFuncsMinSize);
    EXPECT_EQ(b.version >> 8, 0);
    for (NPP npp : {s.instances.at(0), NPP(nullptr)}) EXPECT_STREQ(b.uagent(npp), kAgent);
    testing::internal::CaptureStderr();
    b.status(s.instances[0], "half way");
    b.status(nullptr, nullptr);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("-> NPN_Status(\"half way\")"), std::string::npos) << err;
    EXPECT_NE(err.find("(no instance) -> NPN_Status(null)"), std::string::npos) << err;
    auto* block = static_cast<char*>(b.memalloc(100));
    ASSERT_NE(block, nullptr);
    block[99] = 'x';  // all of it is the plug-in's
    b.memfree(block);
    EXPECT_EQ(b.memflush(1000), 0u);
    b.reloadplugins(true);
    // The plug-in can neither seek nor send streams of its own.
    NPStream* made = nullptr;
    char data[] = "abc";
    EXPECT_EQ(b.requestread(nullptr, nullptr), NPERR_STREAM_NOT_SEEKABLE);
    EXPECT_EQ(b.newstream(s.instances[0], const_cast<char*>("text/plain"), "_blank", &made),
              NPERR_GENERIC_ERROR);
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(b.write(s.instances[0], made, 3, data), -1);
}

}  // namespace
