// What the fuzz targets that run components share: a private folder
// that is both the temporary folder and the Windows directory, the
// manual clock, a check that ends the run with a message, and the
// layer's live objects counted before and after each input.
#pragma once

#include <qpm_platform.h>
#include <windows.h>

#include <dirent.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Ends the run (a finding) when a promise is broken.
inline void Require(bool condition, const char* what) {
    if (condition) return;
    fprintf(stderr, "broken promise: %s\n", what);
    abort();
}

// A folder of its own for the process: GetTempPathA's folder (TMPDIR)
// and the Windows directory (DRX.REG) at once. Returns its path.
inline std::string UsePrivateFolder(const char* stem) {
    std::string pattern = std::string("/tmp/") + stem + ".XXXXXX";
    std::vector<char> path(pattern.begin(), pattern.end());
    path.push_back('\0');
    Require(mkdtemp(path.data()) != nullptr, "a private folder can be made");
    setenv("TMPDIR", path.data(), 1);
    QpmSetWindowsDirectory(path.data());
    QpmUseManualClock(1000);
    return path.data();
}

// The names in a folder, "." and ".." left out.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

// The layer's live objects of every kind, to compare after an input.
struct ObjectCounts {
    std::array<UINT, QPM_OBJECT_KINDS> counts{};

    static ObjectCounts Now() {
        ObjectCounts now;
        for (int kind = 0; kind < QPM_OBJECT_KINDS; ++kind)
            now.counts[size_t(kind)] = QpmCountObjects(QpmObjectKind(kind));
        return now;
    }
    // Ends the run when an input left objects behind (or freed others').
    void RequireSameNow() const {
        static const char* const kWhat[] = {"global memory blocks", "open files", "windows",
                                            "GDI objects", "loaded modules"};
        ObjectCounts now = Now();
        for (size_t kind = 0; kind < counts.size(); ++kind) {
            if (now.counts[kind] == counts[kind]) continue;
            fprintf(stderr, "leak: %u %s before the input, %u after\n", counts[kind], kWhat[kind],
                    now.counts[kind]);
            abort();
        }
    }
};
