// Block layout and the lookup of a type's library.
#include <gtest/gtest.h>

#include <set>

#include "page/layout.h"
#include "session/type_table.h"

namespace {

TEST(Layout, BlocksStackWithMarginsAndGaps) {
    std::vector<LayoutBlock> blocks = {
        {false, 0, 0}, {true, 400, 23}, {true, 520, 30}, {false, 0, 0}};
    std::vector<int> measuredWidths;
    PageLayout layout = LayoutPage(blocks, [&](size_t index, int width) {
        measuredWidths.push_back(width);
        return index == 0 ? 28 : 17;
    });
    // Text is wrapped to the widest component.
    EXPECT_EQ(measuredWidths, (std::vector<int>{520, 520}));
    ASSERT_EQ(layout.blocks.size(), 4u);
    const int expected[4][4] = {
        {16, 16, 520, 28}, {16, 54, 400, 23}, {16, 87, 520, 30}, {16, 127, 520, 17}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(layout.blocks[i].x, expected[i][0]) << i;
        EXPECT_EQ(layout.blocks[i].y, expected[i][1]) << i;
        EXPECT_EQ(layout.blocks[i].width, expected[i][2]) << i;
        EXPECT_EQ(layout.blocks[i].height, expected[i][3]) << i;
    }
    EXPECT_EQ(layout.width, 520 + 32);
    EXPECT_EQ(layout.height, 127 + 17 + 16);
}

TEST(Layout, EmptyBlocksTakeNoRoomAndSidesAreCapped) {
    std::vector<LayoutBlock> blocks = {{true, 100, 20}, {true, 0, 0}, {true, 100, 20}};
    PageLayout layout = LayoutPage(blocks, [](size_t, int) { return 0; });
    EXPECT_EQ(layout.blocks[2].y, 16 + 20 + 10);
    EXPECT_EQ(layout.width, 400 + 32);  // the minimum content width

    LayoutMetrics bare{0, 0, 0, 4096};
    PageLayout alone = LayoutPage(
        {{true, 300, 40}}, [](size_t, int) { return 0; }, bare);
    EXPECT_EQ(alone.width, 300);
    EXPECT_EQ(alone.height, 40);

    PageLayout huge = LayoutPage({{true, 9000, 9000}}, [](size_t, int) { return 0; });
    EXPECT_LE(huge.width, 4096);
    EXPECT_LE(huge.height, 4096);
}

TypeLookup FakeLookup(std::set<std::string> files, std::string registered) {
    TypeLookup lookup;
    lookup.searchDirectories = {"/first", "/second"};
    lookup.fileExists = [files](const std::string& path) { return files.count(path) != 0; };
    lookup.registry = [registered](const std::string&) { return registered; };
    return lookup;
}

TEST(TypeTable, KnownTypesComeFromTheSearchDirectories) {
    TypeResolution r =
        ResolveType("Application/X-Pellux-Ticker",
                    FakeLookup({"/second/libpellux.so", "/first/other.so"}, "/reg.so"));
    EXPECT_EQ(r.source, TypeResolution::kKnown);
    EXPECT_EQ(r.library, "/second/libpellux.so");
    EXPECT_STREQ(KnownTypeLibrary(kTickerType), "libpellux.so");
    EXPECT_EQ(KnownTypeLibrary("application/x-unknown"), nullptr);
}

TEST(TypeTable, RegistryServesWhatTheTableDoesNot) {
    TypeResolution installed =
        ResolveType("application/x-other", FakeLookup({}, "/win/OTHER01.DLL"));
    EXPECT_EQ(installed.source, TypeResolution::kRegistry);
    EXPECT_EQ(installed.library, "/win/OTHER01.DLL");

    TypeResolution missing = ResolveType("application/x-other", FakeLookup({}, ""));
    EXPECT_EQ(missing.source, TypeResolution::kNotInstalled);
    EXPECT_TRUE(missing.library.empty());

    // A known type whose library is nowhere says where it looked.
    TypeResolution lost = ResolveType(kTickerType, FakeLookup({}, ""));
    EXPECT_EQ(lost.source, TypeResolution::kNotInstalled);
    EXPECT_EQ(lost.detail, "libpellux.so was not found in /first /second");
}

TEST(TypeTable, OnlyAWholeAbsoluteRegistryPathIsLoaded) {
    struct Case {
        std::string value;
        bool loaded;
    } cases[] = {
        {"/home/u/.local/share/qpm/components/APPLIC32.DLL", true},
        {"/" + std::string(509, 'a'), true},   // 510 characters: whole
        {"/" + std::string(510, 'a'), false},  // fills the 512-byte buffer: maybe cut
        {"APPLIC32.DLL", false},               // would be searched for along the library path
        {"components/APPLIC32.DLL", false},
    };
    for (const Case& c : cases) {
        TypeResolution r = ResolveType("application/x-foo", FakeLookup({}, c.value));
        EXPECT_EQ(r.source == TypeResolution::kRegistry, c.loaded) << c.value;
        EXPECT_EQ(r.detail.empty(), c.loaded) << c.value;
    }
}

TEST(TypeTable, SearchDirectoriesInOrder) {
    EXPECT_EQ(ComponentSearchDirectories("/a::/b:", "/opt/q/bin", "../lib/qpm", "/build"),
              (std::vector<std::string>{"/a", "/b", "/opt/q/bin", "/opt/q/lib/qpm", "/build"}));
    EXPECT_EQ(ComponentSearchDirectories(nullptr, "/bin", "", "/bin"),
              (std::vector<std::string>{"/bin"}));
    // The installed directory climbs from the program's as its ".."s say.
    EXPECT_EQ(ComponentSearchDirectories(nullptr, "/usr/bin", "../../lib/qpm", ""),
              (std::vector<std::string>{"/usr/bin", "/lib/qpm"}));
    EXPECT_EQ(ComponentSearchDirectories(nullptr, "/opt/bin", "qpm", ""),
              (std::vector<std::string>{"/opt/bin", "/opt/bin/qpm"}));
}

}  // namespace
