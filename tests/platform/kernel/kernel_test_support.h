// Helpers for the kernel tests: scratch directories that clean up after
// themselves, a private Windows directory, and whole-file read/write.
#pragma once

#include <gtest/gtest.h>
#include <qpm_platform.h>
#include <windows.h>

#include <dirent.h>
#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace qpm_test {

// A fresh directory (mkdtemp) removed with everything in it at the end.
class ScratchDir {
public:
    ScratchDir() {
        const char* tmp = getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/qpm-kernel-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data())) path_ = buffer.data();
        EXPECT_FALSE(path_.empty()) << "mkdtemp failed";
    }
    ~ScratchDir() {
        if (!path_.empty())
            nftw(
                path_.c_str(),
                [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); }, 16,
                FTW_DEPTH | FTW_PHYS);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // File names in the directory, sorted, without "." and "..".
    std::vector<std::string> List() const {
        std::vector<std::string> names;
        if (DIR* dir = opendir(path_.c_str())) {
            while (dirent* e = readdir(dir))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    names.push_back(e->d_name);
            closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};

// A scratch directory that is the layer's Windows directory, so no test
// ever touches the user's own DRX.REG or win.ini. Every test that uses the
// Windows directory makes its own.
class WindowsDirectoryScope : public ScratchDir {
public:
    WindowsDirectoryScope() { QpmSetWindowsDirectory(path().c_str()); }
};

// Runs the test body with `dir` as the current directory.
class CurrentDirectoryScope {
public:
    explicit CurrentDirectoryScope(const std::string& dir) {
        char buffer[4096];
        if (getcwd(buffer, sizeof buffer)) saved_ = buffer;
        EXPECT_EQ(chdir(dir.c_str()), 0);
    }
    ~CurrentDirectoryScope() {
        if (!saved_.empty() && chdir(saved_.c_str()) != 0) ADD_FAILURE() << "cannot restore cwd";
    }

private:
    std::string saved_;
};

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// Shows \r, \n and \0 so byte-exact comparisons print readably.
inline std::string Visible(const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\0')
            out += "\\0";
        else
            out += c;
    }
    return out;
}

}  // namespace qpm_test
