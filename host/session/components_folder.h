// The per-user components folder. The installer puts each module it
// installs beside its own library file, so qpmhost runs the installer
// from a copy kept in a folder the user owns
// ($XDG_DATA_HOME/qpm/components), never from the build tree or a
// system folder: installed modules land there too.
#pragma once

#include <string>

// The components folder under the user's data directory.
std::string DefaultComponentsDirectory();

// Makes sure `folder` holds a copy of `builtLibrary` that is the same
// byte for byte: made on first use, and made again whenever the built
// library differs (a rebuilt or upgraded installer is used at once). A
// new copy goes in under a temporary name and is renamed over the old
// one, so a qpmhost still running the old copy keeps its file. Returns
// the copy's path, or "" with `error` set.
std::string PlaceInstallerCopy(const std::string& builtLibrary, const std::string& folder,
                               std::string* error);
