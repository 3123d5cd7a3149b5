// Reading and writing the two sections of DRX.REG.
#include "registry.h"

#include "module_path.h"

namespace {

const char kRegistryFile[] = "DRX.REG";
const char kInstalledSection[] = "DRX-Win32";
const char kInstallingSection[] = "DRX-Win32-Installing";

}  // namespace

bool ReadInstalledModule(const char* type, char* path, DWORD size) {
    DWORD length = GetPrivateProfileStringA(kInstalledSection, type, "", path, size, kRegistryFile);
    if (length > 0 && length < size - 1 && IsAbsolutePath(path)) return true;
    path[0] = '\0';
    return false;
}

bool RecordInstalledModule(const char* type, const char* path) {
    return WritePrivateProfileStringA(kInstalledSection, type, path, kRegistryFile) != 0;
}

// A null value removes the key.
void ForgetInstalledModule(const char* type) {
    WritePrivateProfileStringA(kInstalledSection, type, nullptr, kRegistryFile);
}

void MarkInstalling(const char* type) {
    WritePrivateProfileStringA(kInstallingSection, type, "Y", kRegistryFile);
}

void ClearInstalling(const char* type) {
    WritePrivateProfileStringA(kInstallingSection, type, nullptr, kRegistryFile);
}
