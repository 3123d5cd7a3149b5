// Real transfers through libcurl into the stream table: a local file, a
// local HTTP server, a 404, a connection cut short and a refused one.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

#include <qpm/protocol.h>

#include "host/e2e/http_server.h"
#include "net/curl_transport.h"
#include "net/file_transfers.h"
#include "net/stream_table.h"
#include "page/url.h"

namespace {

// A port that was free a moment ago: bound, read back and released.
int UnusedPort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(s);
    return port;
}

struct Outcome {
    std::string data;
    int32_t code = -99;  // -99: did not finish
};

class CurlTransportTest : public ::testing::Test {
protected:
    HWND window = reinterpret_cast<HWND>(0x1000);
    StreamTable table;
    CurlTransport transport{&table, "qpmhost-test"};
    std::map<LONG_PTR, Outcome> outcomes;

    void SetUp() override {
        transport.onFinished = [this](LONG_PTR handle, const std::string&, int32_t code) {
            outcomes[handle].code = code;
        };
    }

    LONG_PTR Fetch(const std::string& url, const std::string* post = nullptr) {
        LONG_PTR handle = table.Open(window, url);
        EXPECT_TRUE(transport.Start(handle, url, post));
        table.MarkReady(handle);
        return handle;
    }

    // Runs the transfers to their end, reading what arrives as a component
    // would; bounded so that a hang fails the test instead of stalling it.
    void RunToEnd() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (transport.Active() && std::chrono::steady_clock::now() < deadline) {
            transport.Wait(100, {});
            Drain();
        }
        Drain();
        EXPECT_FALSE(transport.Active()) << "transfers did not finish";
    }

    void Drain() {
        StreamTable::Notice notice;
        while (table.NextNotice(&notice)) {
            if (notice.message == QPMM_STREAMREADY) {
                char buffer[256];
                int32_t n;
                while ((n = table.Read(notice.handle, buffer, sizeof buffer)) > 0)
                    outcomes[notice.handle].data.append(buffer, size_t(n));
                if (n < 0)
                    table.Close(notice.handle);
                else
                    table.MarkReady(notice.handle);
            }
            table.NoticeDone(notice);
        }
    }
};

TEST_F(CurlTransportTest, FileUrlsAreRead) {
    char path[] = "/tmp/qpmhost-curl-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    std::string content(10000, 'q');
    content += "end";
    ASSERT_EQ(write(fd, content.data(), content.size()), ssize_t(content.size()));
    close(fd);
    LONG_PTR h = Fetch(FileUrlFromPath(path));
    RunToEnd();
    unlink(path);
    EXPECT_EQ(outcomes[h].code, 0);
    EXPECT_EQ(outcomes[h].data, content);
    EXPECT_FALSE(table.Known(h));
}

TEST_F(CurlTransportTest, HttpOutcomes) {
    TestHttpServer server;
    server.Serve("/ok", {200, "hello over http", -1});
    server.Serve("/cut", {200, std::string(1000, 'c'), 300});
    ASSERT_TRUE(server.Start());
    LONG_PTR ok = Fetch(server.Url("/ok"));
    LONG_PTR missing = Fetch(server.Url("/missing"));
    LONG_PTR cut = Fetch(server.Url("/cut"));
    RunToEnd();
    EXPECT_EQ(outcomes[ok].code, 0);
    EXPECT_EQ(outcomes[ok].data, "hello over http");
    EXPECT_EQ(outcomes[missing].code, 404);
    EXPECT_EQ(outcomes[missing].data, "");  // an error page is not the stream's data
    EXPECT_EQ(outcomes[cut].code, CURLE_PARTIAL_FILE);
    EXPECT_EQ(outcomes[cut].data, std::string(300, 'c'));
}

TEST_F(CurlTransportTest, PostSendsTheBody) {
    TestHttpServer server;
    server.Serve("/form", {200, "thanks", -1});
    ASSERT_TRUE(server.Start());
    std::string body = "a=1&b=2";
    LONG_PTR h = Fetch(server.Url("/form"), &body);
    RunToEnd();
    EXPECT_EQ(outcomes[h].code, 0);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], "POST /form HTTP/1.1");
}

TEST_F(CurlTransportTest, RefusedConnectionAndMissingFileFail) {
    const int port = UnusedPort();
    ASSERT_GT(port, 0);
    LONG_PTR refused = Fetch("http://127.0.0.1:" + std::to_string(port) + "/x");
    LONG_PTR nofile = Fetch("file:///nonexistent/qpmhost/file.txt");
    RunToEnd();
    EXPECT_EQ(outcomes[refused].code, CURLE_COULDNT_CONNECT);
    EXPECT_EQ(outcomes[nofile].code, CURLE_FILE_COULDNT_READ_FILE);
}

TEST_F(CurlTransportTest, AbortForgetsTheTransfer) {
    TestHttpServer server;
    server.Serve("/ok", {200, "x", -1});
    ASSERT_TRUE(server.Start());
    LONG_PTR h = Fetch(server.Url("/ok"));
    EXPECT_TRUE(transport.Active());
    transport.Abort(h);
    transport.Abort(h);  // twice is harmless
    EXPECT_FALSE(transport.Active());
    EXPECT_EQ(outcomes.count(h), 0u);
}

// A component that does not read holds the transfer back: its stream
// keeps at most the buffer limit (and one piece from curl), for a file as
// for HTTP; once read, the rest arrives whole.
TEST_F(CurlTransportTest, AnUnreadStreamPausesItsTransfer) {
    const std::string body(3 << 20, 'b');
    TestHttpServer server;
    server.Serve("/big", {200, body, -1});
    ASSERT_TRUE(server.Start());
    char path[] = "/tmp/qpmhost-curl-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, body.data(), body.size()), ssize_t(body.size()));
    close(fd);
    for (const std::string& url : {server.Url("/big"), FileUrlFromPath(path)}) {
        LONG_PTR h = Fetch(url);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (transport.Active() && std::chrono::steady_clock::now() < deadline)
            transport.Wait(100, {});
        EXPECT_FALSE(transport.Active()) << url << ": never held back";
        EXPECT_EQ(table.Room(h), 0u) << url;
        std::vector<char> held(body.size());
        const int32_t n = table.Read(h, held.data(), int32_t(held.size()));
        EXPECT_GE(n, int32_t(StreamTable::kBufferLimit)) << url;
        EXPECT_LE(n, int32_t(StreamTable::kBufferLimit + CURL_MAX_WRITE_SIZE)) << url;
        outcomes[h].data.assign(held.data(), size_t(std::max(n, 0)));
        table.MarkReady(h);
        RunToEnd();
        EXPECT_EQ(outcomes[h].code, 0) << url;
        EXPECT_EQ(outcomes[h].data.size(), body.size()) << url;
    }
    unlink(path);
}

// A stream past the maximum fails as too large, whether the server said
// so in advance (Content-Length) or not; the component is told (1040).
TEST_F(CurlTransportTest, AStreamPastTheMaximumFails) {
    TestHttpServer server;
    TestHttpServer::Route announced{200, std::string(1 << 20, 'a')}, endless = announced;
    announced.repeat = 300;
    endless.repeat = 0;
    server.Serve("/announced", announced);
    server.Serve("/endless", endless);
    ASSERT_TRUE(server.Start());
    // Refused before the body (0 bytes), or after all the maximum allowed.
    const std::pair<const char*, int64_t> cases[] = {{"/announced", 0},
                                                     {"/endless", CurlTransport::kMaxStreamBytes}};
    for (const auto& [path, expected] : cases) {
        const LONG_PTR h = Fetch(server.Url(path));
        int64_t received = 0;
        int32_t failure = 0;
        std::vector<char> buffer(1 << 20);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (failure == 0 && std::chrono::steady_clock::now() < deadline) {
            transport.Wait(100, {});
            StreamTable::Notice notice;
            while (table.NextNotice(&notice)) {
                if (notice.message == QPMM_STREAMFAILED) failure = int32_t(notice.wParam);
                if (notice.message == QPMM_STREAMREADY) {
                    int32_t n;
                    while ((n = table.Read(h, buffer.data(), int32_t(buffer.size()))) > 0)
                        received += n;
                    table.MarkReady(h);
                }
                table.NoticeDone(notice);
            }
        }
        EXPECT_EQ(failure, CURLE_FILESIZE_EXCEEDED) << path;
        EXPECT_EQ(received, expected) << path;
        EXPECT_EQ(outcomes[h].code, CURLE_FILESIZE_EXCEEDED) << path;  // onFinished
    }
}

// Local files read piece by piece: how each kind of file ends, what a
// running read shows, and an abort.
TEST(FileTransfers, EachFileEndsWithItsReason) {
    char dir[] = "/tmp/qpmhost-files-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string folder = dir;
    FILE* file = fopen((folder + "/five").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fputs(std::string(5000, 'f').c_str(), file);
    fclose(file);
    ASSERT_EQ(mkfifo((folder + "/fifo").c_str(), 0644), 0);
    struct {
        std::string path;
        int64_t maxBytes;
        int32_t code;
        std::string reason;
        size_t received;
    } rows[] = {
        {folder + "/five", 1 << 20, 0, "", 5000},
        {folder + "/five", 3000, CURLE_FILESIZE_EXCEEDED, "", 3000},
        {folder + "/fifo", 1 << 20, CURLE_FILE_COULDNT_READ_FILE,
         "it is a FIFO, not a regular file", 0},
        {folder + "/none", 1 << 20, CURLE_FILE_COULDNT_READ_FILE, "No such file or directory", 0},
        // A regular file by its type whose reading fails.
        {"/proc/self/mem", 1 << 20, CURLE_READ_ERROR, "Input/output error", 0},
    };
    HWND owner = reinterpret_cast<HWND>(0x1000);
    for (const auto& row : rows) {
        StreamTable table;
        FileTransfers files;
        const LONG_PTR handle = table.Open(owner, "file://" + row.path);
        files.Start(handle, "file://" + row.path, row.path);
        std::vector<FileTransfers::Ending> endings;
        std::string data;
        char buffer[1024];
        for (int round = 0; round < 100 && endings.empty(); ++round) {
            endings = files.Perform(&table, row.maxBytes);
            for (int32_t n; (n = table.Read(handle, buffer, sizeof buffer)) > 0;)
                data.append(buffer, size_t(n));
        }
        ASSERT_EQ(endings.size(), 1u) << row.path;
        EXPECT_EQ(endings[0].code, row.code) << row.path;
        EXPECT_EQ(endings[0].reason, row.reason) << row.path;
        EXPECT_EQ(data.size(), row.received) << row.path;
        EXPECT_TRUE(files.Empty());
    }
    // A read in progress is shown with its size; an abort forgets it; a
    // file still open when the transfers end is closed with them.
    StreamTable table;
    FileTransfers files;
    const LONG_PTR aborted = table.Open(owner, "a"), left = table.Open(owner, "b");
    files.Start(aborted, "a", folder + "/five");
    files.Start(left, "b", folder + "/five");
    const std::vector<FileTransfers::Progress> running = files.Running();
    ASSERT_EQ(running.size(), 2u);
    EXPECT_EQ(running[0].total, 5000);
    EXPECT_EQ(running[0].received, 0);
    files.Abort(aborted);
    EXPECT_FALSE(files.Has(aborted));
    EXPECT_TRUE(files.Has(left));
    std::string path;
    EXPECT_FALSE(FileUrlPath("::not a url", &path));
    EXPECT_FALSE(FileUrlPath("file://elsewhere/x", &path));
    EXPECT_TRUE(FileUrlPath("file://localhost/a%20b", &path));
    EXPECT_EQ(path, "/a b");
    unlink((folder + "/five").c_str());
    unlink((folder + "/fifo").c_str());
    rmdir(dir);
}

}  // namespace
