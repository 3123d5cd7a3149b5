// Start: from the element's attributes to a download request, or to the
// status text that says why there is none.
#include "installer_fixture.h"
#include "status_texts.h"

namespace {

struct StartCase {
    AttrList attributes;
    const char* status;
    const char* url;  // the address asked for, or null for no request
};

const StartCase kStartCases[] = {
    {{{"SRC", "media/clip.xyz"}, {"QPMSRC", "m.dll"}, {"QPMPLATFORMS", "Win32"}},
     kTextDownloading,
     "m.dll"},
    {{{"SRC", "dir.old/clip"}, {"QPMSRC", "m.dll"}, {"QPMPLATFORMS", "Win32"}},
     kTextNoType,
     nullptr},
    {{{"SRC", "clip."}, {"QPMSRC", "m.dll"}, {"QPMPLATFORMS", "Win32"}}, kTextNoType, nullptr},
    {{{"QPMSRC", "m.dll"}, {"QPMPLATFORMS", "Win32"}}, kTextNoType, nullptr},
    {{{"TYPE", "t"}, {"QPMSRC", "a.dll,b.dll c.dll"}, {"QPMPLATFORMS", "Win16, ,WIN32"}},
     kTextDownloading,
     "b.dll"},
    {{{"TYPE", "t"}, {"QPMSRC", "a.dll,b.dll"}, {"QPMPLATFORMS", "Win32s,Win32"}},
     kTextDownloading,
     "b.dll"},
    {{{"TYPE", "t"}, {"QPMSRC", "a.dll"}, {"QPMPLATFORMS", "win32"}}, kTextDownloading, "a.dll"},
    {{{"TYPE", "t"}, {"QPMSRC", ",,"}, {"QPMPLATFORMS", "Win32"}}, kTextNoSource, nullptr},
    {{{"TYPE", "t"}, {"QPMSRC", "a.dll"}, {"QPMPLATFORMS", "Win16"}},
     kTextPlatformUnsupported,
     nullptr},
    {{{"TYPE", "t"}, {"QPMSRC", "a.dll"}}, kTextPlatformUnsupported, nullptr},
    {{{"TYPE", "t"}, {"QPMSRC", ""}, {"QPMPLATFORMS", "Win16"}},
     "Cannot install QPM for type t",
     nullptr},
    // Names that would add lines or sections to DRX.REG download nothing.
    {{{"TYPE", "t\r\n[x]"}, {"QPMSRC", "a.dll"}, {"QPMPLATFORMS", "Win32"}},
     "Cannot install QPM for type t??[x]",
     nullptr},
    {{{"TYPE", "k=v"}, {"QPMSRC", "a.dll"}, {"QPMPLATFORMS", "Win32"}},
     "Cannot install QPM for type k=v",
     nullptr},
    {{{"TYPE", "[x"}, {"QPMSRC", "a.dll"}, {"QPMPLATFORMS", "Win32"}},
     "Cannot install QPM for type [x",
     nullptr},
    // The host refuses the request (it serves nothing at that address).
    {{{"TYPE", "t"}, {"QPMSRC", "refused.dll"}, {"QPMPLATFORMS", "Win32"}},
     kTextCannotRequest,
     "refused.dll"},
};

TEST_F(InstallerTest, StartDecidesFromTheAttributes) {
    host.ServeStream("m.dll", 1, "");
    host.ServeStream("a.dll", 2, "");
    host.ServeStream("b.dll", 3, "");
    for (const StartCase& c : kStartCases) {
        host.ClearRequests();
        HWND w = Create(c.attributes);
        EXPECT_EQ(SendMessageA(w, QPMM_START, 0, 0), 1);
        EXPECT_EQ(Status(w), c.status) << c.attributes[0].second;
        std::string url;
        for (const HostRequest& r : host.requests())
            if (r.message == QPMR_OPENSTREAM) url = r.detail.substr(5, r.detail.find('"', 5) - 5);
        EXPECT_EQ(url, c.url ? c.url : "") << c.attributes[0].second;
        std::string temp = Installer(w)->tempPath;
        EXPECT_EQ(temp.empty(), c.status != std::string(kTextDownloading));
        // Stopping ends the download and leaves no temporary file.
        SendMessageA(w, QPMM_STOP, 0, 0);
        EXPECT_FALSE(IsWindow(w));
        if (!temp.empty()) {
            EXPECT_FALSE(Exists(temp)) << temp;
        }
    }
}

TEST_F(InstallerTest, TheDownloadGoesToATemporaryFileThatStopRemoves) {
    HWND w = Begin("module bytes");
    std::string temp = Installer(w)->tempPath;
    EXPECT_EQ(std::filesystem::path(temp).filename().string().substr(0, 3), "Plu");
    EXPECT_TRUE(Exists(temp));
    host.ClearRequests();
    SendMessageA(w, QPMM_STOP, 0, 0);
    EXPECT_TRUE(SameRequests({{QPMR_CLOSESTREAM, 0, "handle=7"}}, host.requests()));
    EXPECT_FALSE(Exists(temp));
}

// A sunken bevel around the word-wrapped status text.
TEST_F(InstallerTest, TheWindowShowsItsStatusInASunkenFrame) {
    HWND w = Create({});
    const auto inked = [&] {
        UpdateWindow(w);
        QpmPumpMessages();
        QpmPixels px{};
        EXPECT_TRUE(QpmGetWindowPixels(host.window(), &px));
        auto at = [&](int x, int y) { return px.bgrx[y * px.stride + x * 4]; };
        EXPECT_EQ(at(0, 0), 0x80);     // dark grey at the top left
        EXPECT_EQ(at(399, 79), 0xC0);  // light grey at the bottom right, on white
        int count = 0;
        for (int y = 3; y < 77; ++y)
            for (int x = 3; x < 397; ++x) count += at(x, y) != 0xFF;
        return count;
    };
    EXPECT_EQ(inked(), 0);  // no status yet
    SendMessageA(w, QPMM_START, 0, 0);
    InvalidateRect(w, nullptr, TRUE);
    EXPECT_GT(inked(), 20);
}

}  // namespace
