// A directory of the benchmark's own under $TMPDIR (or /tmp), removed
// with everything in it when the program ends.
#pragma once

#include <string>

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Writes `bytes` to a new file at `path`; false on failure.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
