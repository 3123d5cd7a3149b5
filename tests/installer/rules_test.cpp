// The installer's naming rules: the lists it reads, the type names it
// accepts and shows, and the file names it gives modules.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "module_path.h"
#include "source_lists.h"
#include "support/host_extensions.h"
#include "type_name.h"

namespace {

TEST(SourceLists, ThePlatformsItemPicksTheSource) {
    const struct {
        const char *platforms, *sources;
        int32_t index;
        const char* source;  // null: none
    } cases[] = {
        {"Win16, ,WIN32", "a.dll,b.dll c.dll", 1, "b.dll"},
        {"Win32s,Win32", "a,b", 1, "b"},
        {"win32", " ,\tx.dll , y", 0, "x.dll"},
        {"Win32", ",,", 0, nullptr},
        {"Win16,Win32", "only", 1, nullptr},
        {"Win3", "a", -1, nullptr},
        {"", "a", -1, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindWin32Platform(c.platforms), c.index) << c.platforms;
        char list[64];
        strcpy(list, c.sources);
        EXPECT_EQ(TakeSource(list, c.index), c.source != nullptr) << c.sources;
        EXPECT_STREQ(list, c.source ? c.source : c.sources);
    }
}

TEST(TypeNames, UnsafeNamesAreRefusedAndShownNamesAreTamed) {
    for (const char* good : {"application/x-foo", "a]b", " x", ";k"})
        EXPECT_TRUE(IsSafeTypeName(good)) << good;
    for (const char* bad : {"a\nb", "a\rb", "[s", "k=v", "   ", "a\x7f", "\t"})
        EXPECT_FALSE(IsSafeTypeName(bad)) << bad;

    char shown[kShownTypeSize];
    ShownTypeName("a\r\nb", shown);
    EXPECT_STREQ(shown, "a??b");
    const std::string longName(100, 'x');
    ShownTypeName(longName.c_str(), shown);
    EXPECT_EQ(shown, std::string(64, 'x') + "...");

    char type[16];
    for (auto [source, expected] : {std::pair{"media/clip.xyz", "xyz"},
                                    {"dir.old/clip", ""},
                                    {"clip.", ""},
                                    {"a\\b.c", "c"},
                                    {"none", ""}}) {
        TypeFromSource(source, type, sizeof type);
        EXPECT_STREQ(type, expected) << source;
    }
}

TEST(ModulePaths, AbsolutePathsOnly) {
    for (const char* path : {"C:\\x.dll", "c:/x.dll", "/usr/lib/x.so", "\\\\server\\x.dll"})
        EXPECT_TRUE(IsAbsolutePath(path)) << path;
    for (const char* path : {"x.dll", "C:x.dll", "sub/x.dll", ""})
        EXPECT_FALSE(IsAbsolutePath(path)) << path;
    EXPECT_STREQ(FileNamePart("C:\\dir/APPLIC32.DLL"), "APPLIC32.DLL");
}

// `taken` names exist already, in the order they are tried (32 to 99,
// then 00 to 31).
TEST(ModulePaths, NamesCountOnFromThirtyTwo) {
    const struct {
        const char* type;
        int taken;
        const char* name;  // null: no name left
    } cases[] = {
        {"application/x-foo", 0, "APPLIC32.DLL"},
        {"application/x-foo", 1, "APPLIC33.DLL"},
        {"application/x-foo", 8, "APPLIC40.DLL"},
        {"application/x-foo", 68, "APPLIC00.DLL"},
        {"application/x-foo", 99, "APPLIC31.DLL"},
        {"application/x-foo", 100, nullptr},
        {"a.b-c", 0, "AB-C32.DLL"},
        {"/.+*", 0, "32.DLL"},
    };
    for (const auto& c : cases) {
        std::string dir = MakeTempDirectory("qpm_names");
        std::vector<std::string> files;
        char path[MAX_PATH];
        for (int i = 0; i < c.taken; ++i) {
            ASSERT_TRUE(ChooseModulePath((dir + "/").c_str(), c.type, path, sizeof path));
            files.push_back(path);
            _lclose(_lcreat(path, 0));
        }
        bool found = ChooseModulePath((dir + "/").c_str(), c.type, path, sizeof path);
        EXPECT_EQ(found, c.name != nullptr) << c.type << " " << c.taken;
        if (found && c.name) {
            EXPECT_EQ(path, dir + "/" + c.name);
        }
        RemoveTempDirectory(dir, files);
    }
    char small[12];
    EXPECT_FALSE(ChooseModulePath("/tmp/", "abcdef", small, sizeof small));
}

}  // namespace
