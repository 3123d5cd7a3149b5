// The file names the installer gives installed modules. (The type names
// it accepts and shows are in Start's table and the question's test.)
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "module_path.h"
#include "support/host_extensions.h"

namespace {

// `taken` names exist already, in the order they are tried: 32 to 99,
// then 00 to 31.
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
        const std::string dir = MakeTempDirectory("qpm_names") + "/";
        std::vector<std::string> files;
        char path[MAX_PATH];
        for (int i = 0; i < c.taken; ++i) {
            ASSERT_TRUE(ChooseModulePath(dir.c_str(), c.type, path, sizeof path));
            files.push_back(path);
            _lclose(_lcreat(path, 0));
        }
        const bool found = ChooseModulePath(dir.c_str(), c.type, path, sizeof path);
        EXPECT_EQ(found ? std::string(path) : "", c.name ? dir + c.name : "") << c.taken;
        RemoveTempDirectory(dir, files);
    }
    char small[12];  // "/tmp/" + "ABCDEF32.DLL" does not fit
    EXPECT_FALSE(ChooseModulePath("/tmp/", "abcdef", small, sizeof small));
}

}  // namespace
