// The benchmark's scratch directory.
#include "support/scratch_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

ScratchDir::ScratchDir() {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/qpm-bench-XXXXXX";
    if (mkdtemp(pattern.data())) path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out.flush());
}
