// QPMInstaller: the installer component.
//
// Run by a host for a page element whose component type is not
// installed. From the element's "TYPE" (or the extension of "SRC"),
// "QPMSRC" and "QPMPLATFORMS" it picks the module for "Win32" and has the
// host download it into a temporary file, fingerprinting it on the way.
// Then it asks the user, showing the fingerprint, puts the module in
// place beside its own library, records it in DRX.REG, loads it and
// starts its component inside its own window, which from then on relays
// between host and component (QPMInstallWndProc). Its window shows one
// status text throughout.
#pragma once

#include <qpm/component.h>

#include <windows.h>

#include <cstdint>

#include "md5.h"

class QPMInstaller : public Component {
public:
    static constexpr int32_t kTextSize = 512;

    QPMInstaller();
    ~QPMInstaller() override;  // removes the temporary file, releases the child

    int32_t Start() override;  // always 1: failures show as the status text
    void Stop() override;
    void Paint(HDC dc) override;
    virtual void InstallDownloadedModule();  // the module has arrived whole
    virtual void DownloadFailed();           // the host failed the download

    // The download ended without a module: the temporary file goes, the
    // text shows.
    void ReportDownloadFailure(const char* text);
    // The download's temporary file exists now: it is the installer's.
    void DownloadStarted(const char* tempFile);

    // Message 1056 from the installed component: its installation is final.
    void InstallationConfirmed();
    // Lets go of the installed component: its window is destroyed
    // (`destroy`) or sent 1027 with these parameters, its library freed
    // (when no call into it is running), and an installation it never
    // confirmed rolled back.
    void ReleaseChild(bool destroy, WPARAM wParam, LPARAM lParam);

    char statusText[kTextSize];    // what the window shows
    char moduleType[kTextSize];    // the component type being installed
    char sourceList[kTextSize];    // "QPMSRC"; then only the chosen address
    char platformList[kTextSize];  // "QPMPLATFORMS"
    char tempPath[kTextSize];      // the download's temporary file; empty when none
    char modulePath[kTextSize];    // where the module is installed
    int32_t installPending;        // 1 while the installed component owes its confirmation
    HMODULE library;               // the installed component's library, or null
    HWND childWindow;              // the installed component's window, or null
    MD5Context digest;             // the fingerprint of the download

    // What this installer itself made, which alone its rollback and its
    // refusals remove: another installer of the same type may share the
    // entry and the file.
    bool createdEntry;     // wrote the "DRX-Win32" entry where none was usable
    bool createdFile;      // the module file did not exist before
    bool wroteInstalling;  // wrote the "DRX-Win32-Installing" entry
    bool confirmed;        // 1056 arrived (perhaps while 1025 was still running)

private:
    bool started;  // Start has run: a second 1025 changes nothing

    void SetStatus(const char* format, const char* argument = "");
    void Report(const char* format, const char* argument = "");
    void Decide();
    void StartDownload();
    void HandOver();
    bool AskConsent();
    bool ChooseTarget(bool* fromRegistry);
    void LoadAndStart();
    void StartChild(HWND child);
    void Refuse(const char* text);
    void CloseDownloads();
    void DeleteTemp();
};
