// One picture as a PNG file, written the safe way (StagedFile): under a
// fresh name beside the target, then renamed over it; a target that is
// not a regular file is refused.
#pragma once

#include <qpm_platform.h>

#include <string>

// False with `error` ("cannot write PATH: reason") when it could not be written.
bool WritePngFile(const QpmPixels& pixels, const std::string& path, std::string* error);
