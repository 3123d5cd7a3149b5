// Where qpmhost keeps what belongs to the user between runs, under the
// XDG base directory for data: the Windows directory (DRX.REG) and the
// components folder (the installer and the modules it installs).
#pragma once

#include <string>

// $XDG_DATA_HOME/qpm, or ~/.local/share/qpm when that is unset or not
// absolute: a relative value is ignored, as XDG base directories must be
// absolute paths.
std::string UserDataDirectory();

// Creates the directory and every missing parent; true when it exists.
bool MakeDirectories(const std::string& path);
