// The kernel tests' helpers: POSIX calls on the layer, the system's
// Win32 calls on Windows.
#include "kernel_test_support.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#if !defined(_WIN32)
#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qpm_test {

namespace {

#if defined(_WIN32)

// Every name in `dir`, without "." and "..".
std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        for (const std::string& name : Names(path)) RemoveTree(path + "\\" + name);
        RemoveDirectoryA(path.c_str());
    } else {
        DeleteFileA(path.c_str());
    }
}

// The name of the lock that lets one test at a time use the Windows directory.
constexpr char kWindowsDirectoryLock[] = "qpm-kernel-tests-windows-directory";
constexpr DWORD kLockDeadlineMs = 60000;

#else

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& path) {
    nftw(
        path.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); },
        16, FTW_DEPTH | FTW_PHYS);
}

#endif

}  // namespace

ScratchDir::ScratchDir() : path_(MakeTempDirectory("qpm-kernel")) {
    EXPECT_FALSE(path_.empty()) << "no scratch directory could be made";
}

ScratchDir::~ScratchDir() {
    if (!path_.empty()) RemoveTree(path_);
}

std::vector<std::string> ScratchDir::List() const { return Names(path_); }

#if defined(_WIN32)

WindowsDirectoryScope::WindowsDirectoryScope() {
    lock_ = CreateMutexA(nullptr, FALSE, kWindowsDirectoryLock);
    DWORD waited = lock_ ? WaitForSingleObject(lock_, kLockDeadlineMs) : WAIT_FAILED;
    EXPECT_TRUE(waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
        << "the Windows directory stayed locked";
    char buffer[MAX_PATH];
    UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
    if (n > 0 && n < MAX_PATH) path_.assign(buffer, n);
    before_ = Names(path_);
    winIni_ = ReadFileBytes(*this / "win.ini");
}

WindowsDirectoryScope::~WindowsDirectoryScope() {
    for (const std::string& name : List()) RemoveTree(*this / name);
    if (ReadFileBytes(*this / "win.ini") != winIni_) WriteFileBytes(*this / "win.ini", winIni_);
    if (lock_) {
        ReleaseMutex(lock_);
        CloseHandle(lock_);
    }
}

CurrentDirectoryScope::CurrentDirectoryScope(const std::string& dir) {
    char buffer[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(MAX_PATH, buffer);
    if (n > 0 && n < MAX_PATH) saved_.assign(buffer, n);
    EXPECT_TRUE(SetCurrentDirectoryA(dir.c_str()));
}

CurrentDirectoryScope::~CurrentDirectoryScope() {
    if (!saved_.empty() && !SetCurrentDirectoryA(saved_.c_str()))
        ADD_FAILURE() << "cannot restore the current directory";
}

bool MakeDirectory(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr); }

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

#else

WindowsDirectoryScope::WindowsDirectoryScope() : path_(scratch_.path()) {
    QpmSetWindowsDirectory(path_.c_str());
}

WindowsDirectoryScope::~WindowsDirectoryScope() = default;

CurrentDirectoryScope::CurrentDirectoryScope(const std::string& dir) {
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer)) saved_ = buffer;
    EXPECT_EQ(chdir(dir.c_str()), 0);
}

CurrentDirectoryScope::~CurrentDirectoryScope() {
    if (!saved_.empty() && chdir(saved_.c_str()) != 0)
        ADD_FAILURE() << "cannot restore the current directory";
}

bool MakeDirectory(const std::string& path) { return mkdir(path.c_str(), 0755) == 0; }

bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

#endif

std::vector<std::string> WindowsDirectoryScope::List() const {
    std::vector<std::string> added;
    for (const std::string& name : Names(path_))
        if (!std::binary_search(before_.begin(), before_.end(), name)) added.push_back(name);
    return added;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string Visible(const std::string& bytes) {
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
