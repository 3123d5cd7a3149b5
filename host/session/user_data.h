// Where qpmhost keeps what belongs to the user between runs, under the
// XDG base directory for data: the Windows directory (DRX.REG), the
// components folder (the installer and the modules it installs), the
// components' temporary folder and the run lock.
#pragma once

#include <string>

// $XDG_DATA_HOME/qpm, or ~/.local/share/qpm when that is unset or not
// absolute: a relative value is ignored, as XDG base directories must be
// absolute paths.
std::string UserDataDirectory();

// The folder the components' temporary files go to (downloads), of
// qpmhost's own so that a later run can find what a killed one left.
std::string TemporaryDirectory();

// The file every run holds locked (see session/run_lock.h).
std::string RunLockPath();

// Creates the directory and every missing parent; true when it exists.
bool MakeDirectories(const std::string& path);
