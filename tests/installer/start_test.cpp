// Start: from the element's attributes to a download request, or to the
// status text that says why there is none; and how the window shows it.
#include "installer_fixture.h"

namespace {

struct StartCase {
    const char *type, *src, *sources, *platforms;  // null: no such attribute
    const char* status;
    const char* url;  // the address asked for; "" for none
};

const StartCase kStartCases[] = {
    {nullptr, "media/clip.xyz", "m.dll", "Win32", kTextDownloading, "m.dll"},
    {nullptr, "dir.old/clip", "m.dll", "Win32", kTextNoType, ""},
    {nullptr, "clip.", "m.dll", "Win32", kTextNoType, ""},
    {nullptr, nullptr, "m.dll", "Win32", kTextNoType, ""},
    {"t", nullptr, "a.dll,b.dll c.dll", "Win16, ,WIN32", kTextDownloading, "b.dll"},
    {"t", nullptr, "a.dll,b.dll", "Win32s,Win32", kTextDownloading, "b.dll"},
    {"t", nullptr, " ,a.dll", "win32", kTextDownloading, "a.dll"},
    {"t", nullptr, ",,", "Win32", kTextNoSource, ""},
    {"t", nullptr, "a.dll", "Win16,Win32", kTextNoSource, ""},
    {"t", nullptr, "a.dll", "Win16", kTextPlatformUnsupported, ""},
    {"t", nullptr, "a.dll", nullptr, kTextPlatformUnsupported, ""},
    {"t", nullptr, "", "Win16", "Cannot install QPM for type t", ""},
    // Names that would add lines or sections to DRX.REG download nothing.
    {"t\r\n[x]", nullptr, "a.dll", "Win32", "Cannot install QPM for type t??[x]", ""},
    {"k=v", nullptr, "a.dll", "Win32", "Cannot install QPM for type k=v", ""},
    {"[x", nullptr, "a.dll", "Win32", "Cannot install QPM for type [x", ""},
    {"   ", nullptr, "a.dll", "Win32", "Cannot install QPM for type    ", ""},
    {"t", nullptr, "refused.dll", "Win32", kTextCannotRequest, "refused.dll"},  // not served
};

TEST_F(InstallerTest, StartDecidesFromTheAttributes) {
    host.ServeStream("m.dll", 1, "");
    host.ServeStream("a.dll", 2, "");
    host.ServeStream("b.dll", 3, "");
    for (const StartCase& c : kStartCases) {
        AttrList attributes;
        const char* names[] = {"TYPE", "SRC", "QPMSRC", "QPMPLATFORMS"};
        const char* values[] = {c.type, c.src, c.sources, c.platforms};
        for (int i = 0; i < 4; ++i)
            if (values[i]) attributes.push_back({names[i], values[i]});
        host.ClearRequests();
        HWND w = Create(attributes);
        EXPECT_EQ(SendMessageA(w, QPMM_START, 0, 0), 1);
        EXPECT_STREQ(Installer(w)->statusText, c.status) << &c - kStartCases;
        std::string url;
        for (const HostRequest& r : host.requests())
            if (r.message == QPMR_OPENSTREAM) url = r.detail.substr(5, r.detail.find('"', 5) - 5);
        EXPECT_EQ(url, c.url) << &c - kStartCases;
        // A download has a temporary file; stopping it ends the request
        // and then removes the file (an open file could not be removed).
        const bool downloading = strcmp(c.status, kTextDownloading) == 0;
        const std::string temp = Installer(w)->tempPath;
        EXPECT_EQ(Exists(temp), downloading) << temp;
        EXPECT_EQ(std::filesystem::path(temp).filename().string().substr(0, 3),
                  downloading ? "Plu" : "");
        host.ClearRequests();
        SendMessageA(w, QPMM_STOP, 0, 0);
        EXPECT_EQ(host.messages(),
                  downloading ? std::vector<UINT>{QPMR_CLOSESTREAM} : std::vector<UINT>{});
        EXPECT_FALSE(Exists(temp)) << temp;
    }
}

// Found by fuzzing: a second 1025 started a second download, and the
// first one's temporary file stayed behind for good.
TEST_F(InstallerTest, ASecondStartKeepsTheOneDownload) {
    host.ServeStream("m.dll", 1, "");
    HWND w = Create({{"TYPE", "t"}, {"QPMSRC", "m.dll"}, {"QPMPLATFORMS", "Win32"}});
    ASSERT_EQ(SendMessageA(w, QPMM_START, 0, 0), 1);
    const std::string temp = Installer(w)->tempPath;
    host.ClearRequests();
    EXPECT_EQ(SendMessageA(w, QPMM_START, 0, 0), 1);
    EXPECT_EQ(host.messages(), std::vector<UINT>{});
    EXPECT_EQ(Installer(w)->tempPath, temp);
    SendMessageA(w, QPMM_STOP, 0, 0);
    EXPECT_FALSE(Exists(temp));
}

// A sunken bevel around the word-wrapped status text.
TEST_F(InstallerTest, TheWindowShowsItsStatusInASunkenFrame) {
    HWND w = Create({});
    const auto inked = [&] {
        InvalidateRect(w, nullptr, TRUE);
        UpdateWindow(w);
        QpmPixels px{};
        EXPECT_TRUE(QpmGetWindowPixels(host.window(), &px));
        auto at = [&](int x, int y) { return px.bgrx[y * px.stride + x * 4]; };
        EXPECT_EQ(at(0, 0) * 1000 + at(399, 79), 0x80 * 1000 + 0xC0);  // dark, then light on white
        int count = 0;
        for (int y = 3; y < 77; ++y)
            for (int x = 3; x < 397; ++x) count += at(x, y) != 0xFF;
        return count;
    };
    EXPECT_EQ(inked(), 0);  // no status yet
    SendMessageA(w, QPMM_START, 0, 0);
    EXPECT_GT(inked(), 20);
}

}  // namespace
