// Removing an installed type.
#include "session/uninstall.h"

#include <windows.h>

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

const char kRegistryFile[] = "DRX.REG";
const char kInstalledSection[] = "DRX-Win32";
const char kInstallingSection[] = "DRX-Win32-Installing";

std::string RegistryValue(const char* section, const std::string& type) {
    char value[512] = "";
    GetPrivateProfileStringA(section, type.c_str(), "", value, sizeof value, kRegistryFile);
    return value;
}

// The real directory of a path, so that links and ".." cannot make a
// file outside the folder look like one inside it.
std::string RealDirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    char real[PATH_MAX];
    return realpath(slash == 0 ? "/" : path.substr(0, slash).c_str(), real) ? real : "";
}

std::string RealPath(const std::string& path) {
    char real[PATH_MAX];
    return realpath(path.c_str(), real) ? real : "";
}

}  // namespace

bool UninstallType(const std::string& type, const std::string& componentsDirectory,
                   std::string* report) {
    const std::string module = RegistryValue(kInstalledSection, type);
    const bool installing = !RegistryValue(kInstallingSection, type).empty();
    if (module.empty() && !installing) {
        *report = "type " + type + " is not installed\n";
        return false;
    }
    // A null value removes the key.
    WritePrivateProfileStringA(kInstalledSection, type.c_str(), nullptr, kRegistryFile);
    WritePrivateProfileStringA(kInstallingSection, type.c_str(), nullptr, kRegistryFile);
    *report = "removed type " + type + " from DRX.REG\n";
    if (module.empty()) return true;
    // The installer names every module it installs "....NN.DLL" in the
    // components folder; any other file was put there by someone else.
    const std::string folder = RealPath(componentsDirectory);
    const bool dll = module.size() > 4 && module.compare(module.size() - 4, 4, ".DLL") == 0;
    if (folder.empty() || RealDirectoryOf(module) != folder || !dll)
        *report += "left " + module + " alone: it is not a module in the components folder " +
                   componentsDirectory + "\n";
    else if (unlink(module.c_str()) == 0)
        *report += "deleted " + module + "\n";
    else
        *report += "could not delete " + module + ": " + strerror(errno) + "\n";
    return true;
}
