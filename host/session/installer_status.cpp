// Following the installers' status texts.
#include "session/installer_status.h"

#include <windows.h>

#include "session/host.h"
#include "session/log.h"

namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string WindowText(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

}  // namespace

InstallerState ClassifyInstallerStatus(const std::string& text) {
    if (text.empty() || text == "Downloading QPM from remote server" ||
        text == "QPM downloaded from remote server" || StartsWith(text, "Copying QPM to "))
        return InstallerState::kWorking;
    if (StartsWith(text, "The QPM for type ") && EndsWith(text, " has been installed"))
        return InstallerState::kInstalled;
    return InstallerState::kFailed;
}

void WatchInstallers(Host& host) {
    for (const auto& slot : host.slots) {
        if (!slot->runsInstaller || slot->window == nullptr || !IsWindow(slot->window)) continue;
        const std::string status = WindowText(slot->window);
        if (status == slot->installerStatus) continue;
        slot->installerStatus = status;
        LogVerbose("%s: installer: %s", slot->label.c_str(), status.c_str());
        if (ClassifyInstallerStatus(status) != InstallerState::kFailed) continue;
        LogError("component %s: installation failed: %s", slot->label.c_str(), status.c_str());
        host.componentFailed = true;
    }
}
