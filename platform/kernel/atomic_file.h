// Replacing a file atomically: write a new file next to it, then rename
// it over the old one, so a crash leaves either the old or the new file,
// never half of one.
#pragma once

#include <sys/types.h>
#include <string>

namespace qpm {

// Creates a new, empty, hidden file in the directory of `target`; returns
// its descriptor and name, or -1 with errno set.
int CreateSiblingTemp(const std::string& target, mode_t mode, std::string* tempPath);

// Writes `bytes` to a sibling temporary file, flushes it to disk and
// renames it to `target`. On failure nothing is left behind, the target
// is untouched and errno is set.
bool WriteFileAtomically(const std::string& target, const std::string& bytes, mode_t mode);

// Copies the file `in` (an open descriptor) to `target` the same way.
bool CopyFileAtomically(int in, const std::string& target, mode_t mode);

}  // namespace qpm
