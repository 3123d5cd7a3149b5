// The command line checked against the file system before anything
// runs: output files that cannot be files (a directory, a device, the
// page itself), folders that are not folders.
#pragma once

#include <string>

#include "app/options.h"

// False with `error` set (one line) when an option names what it cannot use.
bool CheckOptionPaths(const HostOptions& options, std::string* error);
