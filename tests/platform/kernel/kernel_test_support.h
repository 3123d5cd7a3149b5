// Helpers for the kernel tests: scratch directories that clean up after
// themselves, the Windows directory, the current directory, and
// whole-file read/write. The same tests run on the layer and, built for
// Windows, under Wine: these helpers are where the two differ.
#pragma once

#include <gtest/gtest.h>
#include <qpm_platform.h>
#include <windows.h>
#include "support/host_extensions.h"

#include <string>
#include <vector>

namespace qpm_test {

#if defined(_WIN32)
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// A fresh directory under the system's temporary directory, removed with
// everything in it at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + kSeparator + name; }

    // File names in the directory, sorted, without "." and "..".
    std::vector<std::string> List() const;

private:
    std::string path_;
};

// The Windows directory for the length of a test, where bare profile
// names and win.ini live. On the layer it is a scratch directory of the
// test's own, so no test touches the user's DRX.REG or win.ini. On
// Windows it is the system's (GetWindowsDirectoryA): the scope holds a
// lock that keeps the tests using it from running at the same time,
// removes the files the test added and puts win.ini back as it was.
class WindowsDirectoryScope {
public:
    WindowsDirectoryScope();
    ~WindowsDirectoryScope();
    WindowsDirectoryScope(const WindowsDirectoryScope&) = delete;
    WindowsDirectoryScope& operator=(const WindowsDirectoryScope&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + kSeparator + name; }

    // The names added since the scope began, sorted.
    std::vector<std::string> List() const;

private:
#if defined(_WIN32)
    HANDLE lock_ = nullptr;
    std::string winIni_;
#else
    ScratchDir scratch_;  // made before path_, which names it
#endif
    std::string path_;
    std::vector<std::string> before_;
};

// Runs the test body with `dir` as the current directory.
class CurrentDirectoryScope {
public:
    explicit CurrentDirectoryScope(const std::string& dir);
    ~CurrentDirectoryScope();
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

private:
    std::string saved_;
};

bool MakeDirectory(const std::string& path);
bool FileExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Shows \r, \n and \0 so byte-exact comparisons print readably.
std::string Visible(const std::string& bytes);

}  // namespace qpm_test
