// qpmhost's other ways to run components, on their own: the packed
// "SUBTYPE" of the alternate host, and the browser's NPP_SetWindow when
// a plug-in's site window is resized.
#include <gtest/gtest.h>
#include <qpm_platform.h>

#include "host/unit/hosted_page.h"
#include "session/alt_host.h"

namespace {

TEST(PackAttributes, EscapesAndLeavesOut) {
    struct {
        std::vector<PageAttribute> attributes;
        size_t limit;
        std::string packed, left;
    } rows[] = {
        {{{"text", "a,b 100%"}, {"size", "14"}}, 511, "text=a%2Cb 100%25,size=14", ""},
        {{{"type", "t"}, {"SubType", "s"}, {"datafile", "d"}, {"x", ""}}, 511, "x=", ""},
        {{{"a b", "1"}, {"a=b", "1"}, {"", "1"}, {"ok", "1"}}, 511, "ok=1", "a b,a=b,,"},
        // An entry that does not fit is left out whole, never cut.
        {{{"text", "%%%"}, {"size", "9"}}, 10, "size=9", "text,"},
        {{{"text", "%%%"}, {"size", "9"}}, 21, "text=%25%25%25,size=9", ""},
    };
    for (const auto& row : rows) {
        std::vector<std::string> left;
        EXPECT_EQ(PackAttributes(row.attributes, row.limit, &left), row.packed);
        std::string names;
        for (const std::string& name : left) names += name + ",";
        EXPECT_EQ(names, row.left) << row.packed;
    }
}

TEST(NpapiBrowser, AResizedSiteIsToldToThePlugin) {
    QpmUseManualClock(0);
    Host host;
    host.page = ParsePageHtml(
        "<embed type='application/x-pellux-ticker' width='300' height='20' text='x'>");
    host.componentLibrary = QPM_PELLUX_LIBRARY;
    ASSERT_TRUE(StartComponents(host, HostingMode::kNpapi));
    ASSERT_FALSE(host.componentFailed);
    HWND site = host.slots[0]->site;
    HWND component = GetWindow(site, GW_CHILD);
    ASSERT_NE(component, nullptr);
    RECT r{};
    for (SIZE size : {SIZE{300, 20}, SIZE{250, 31}}) {
        MoveWindow(site, 0, 0, size.cx, size.cy, TRUE);
        GetClientRect(component, &r);
        EXPECT_EQ(r.right, size.cx);
        EXPECT_EQ(r.bottom, size.cy);
    }
    host.hosting->Stop();
    EXPECT_FALSE(IsWindow(component));
    DestroyWindow(host.pageWindow);
}

}  // namespace
