// Host information in plug-in mode, where no host window answers it and
// the library answers itself: the registry file's path, the user's
// details from the browser's INI file, the user agent, and nothing for
// the other items.
#include <qpm/host_requests.h>

#include <cstring>
#include <string>

#include "browser_bridge.h"
#include "plugin_globals.h"
#include "ticker/ticker_fixture.h"

namespace {

class HostInfo : public TickerTest {
protected:
    void SetUp() override {
        TickerTest::SetUp();
        SetPluginBridge(&kBrowserBridge);
    }
    void TearDown() override {
        browserFuncs = nullptr;
        TickerTest::TearDown();
    }
    // The answer to `item`, as GetHostInfo gives it in plug-in mode.
    std::string Item(int item, int32_t expectedResult = 1) {
        InstanceRecord record{};
        record.pluginMode = 1;
        char buffer[kHostInfoSize];
        memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(GetHostInfo(&record, item, buffer), expectedResult) << "item " << item;
        return std::string(buffer, strnlen(buffer, sizeof buffer));
    }
    // The Windows profile names a browser INI file with these user values.
    void WriteUser(const std::string& name, const std::string& address) {
        std::string ini = WriteFile(
            "netscape.ini", "[User]\r\nUser_Name=" + name + "\r\nUser_Addr=" + address + "\r\n");
        WriteFile("win.ini", "[Netscape]\r\nini=" + ini + "\r\n");
    }
};

TEST_F(HostInfo, RegistryPathGetsOneSeparator) {
    char directory[MAX_PATH] = {};
    GetWindowsDirectoryA(directory, MAX_PATH);
    EXPECT_EQ(Item(kInfoRegistryPath), std::string(directory) + "\\DRX.REG");
    QPM_REQUIRES_HOST_EXTENSION("Windows directory");
    UseWindowsDirectory("/");
    EXPECT_EQ(Item(kInfoRegistryPath), "/DRX.REG");
}

TEST_F(HostInfo, UserNameAndItsFirstWord) {
    QPM_REQUIRES_HOST_EXTENSION("Windows directory");
    struct {
        const char* name;
        const char* firstWord;
    } cases[] = {{"Ada Lovelace", "Ada"}, {"Ada", "Ada"}, {"", ""}};
    for (const auto& c : cases) {
        WriteUser(c.name, "ada@example.org");
        EXPECT_EQ(Item(kInfoUserFirstName), c.firstWord);
        EXPECT_EQ(Item(kInfoUserName), c.name);
        EXPECT_EQ(Item(kInfoUserAddress), "ada@example.org");
    }
}

TEST_F(HostInfo, WithoutTheBrowserIniTheUserIsEmpty) {
    QPM_REQUIRES_HOST_EXTENSION("Windows directory");
    EXPECT_EQ(Item(kInfoUserName), "");
    EXPECT_EQ(Item(kInfoUserAddress), "");
}

const char* NP_LOADDS TestAgent(NPP) { return "Testscape/2.0"; }

TEST_F(HostInfo, ContextUserAgentAndTheItemsNobodyAnswers) {
    EXPECT_EQ(Item(kInfoContext), "");
    EXPECT_EQ(Item(kInfoUserAgent), "") << "no browser yet";
    NPNetscapeFuncs funcs{};
    funcs.size = sizeof funcs;
    funcs.uagent = TestAgent;
    browserFuncs = &funcs;
    EXPECT_EQ(Item(kInfoUserAgent), "Testscape/2.0");
    for (int item : {3, 4, 9, 0}) EXPECT_EQ(Item(item, 0), "") << item;
}

}  // namespace
