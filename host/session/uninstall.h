// Removing an installed component type: what the installer recorded in
// DRX.REG (its "DRX-Win32" and "DRX-Win32-Installing" entries) and the
// module file it put in the components folder.
#pragma once

#include <string>

// Removes `type`'s entries and its module file when that lies in
// `componentsDirectory` (a file elsewhere was not put there by the
// installer and is left alone). Returns false when the type is not
// installed. `report` says what was done, one line per thing.
bool UninstallType(const std::string& type, const std::string& componentsDirectory,
                   std::string* report);
