// A fixture for the profile tests: a private Windows directory and short
// names for the calls, as the notes on Win32 write them (W and G).
#pragma once

#include "kernel_test_support.h"

#include <cstring>
#include <string>

namespace qpm_test {

struct ProfileResult {
    DWORD length;
    std::string text;  // the buffer up to the returned length
    bool operator==(const ProfileResult& o) const { return length == o.length && text == o.text; }
};

inline std::ostream& operator<<(std::ostream& os, const ProfileResult& r) {
    return os << r.length << " \"" << Visible(r.text) << "\"";
}

class ProfileTest : public ::testing::Test {
protected:
    // A bare name: the file lives in the (scratch) Windows directory.
    const char* file = "TEST.INI";

    std::string Path() const { return windows / file; }
    std::string Bytes() const { return ReadFileBytes(Path()); }
    void SetBytes(const std::string& bytes) const { WriteFileBytes(Path(), bytes); }

    BOOL W(const char* section, const char* key, const char* value) const {
        return WritePrivateProfileStringA(section, key, value, file);
    }

    ProfileResult G(const char* section, const char* key, const char* def = "",
                    DWORD size = 100) const {
        char buffer[256];
        memset(buffer, '#', sizeof buffer);
        DWORD n = GetPrivateProfileStringA(section, key, def, buffer, size, file);
        return ProfileResult{n, std::string(buffer, n)};
    }

    WindowsDirectoryScope windows;
};

}  // namespace qpm_test
