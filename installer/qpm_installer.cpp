// QPMInstaller: the status text, Start's decisions, painting, and letting
// go of the installed component.
#include "qpm_installer.h"

#include <qpm/attributes.h>
#include <qpm/graphics_context.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "child_calls.h"
#include "installer_stream.h"
#include "registry.h"
#include "source_lists.h"
#include "status_texts.h"
#include "type_name.h"

QPMInstaller::QPMInstaller()
    : statusText{},
      moduleType{},
      sourceList{},
      platformList{},
      tempPath{},
      modulePath{},
      installPending(0),
      library(nullptr),
      childWindow(nullptr),
      digest{},
      createdEntry(false),
      createdFile(false),
      wroteInstalling(false),
      confirmed(false),
      started(false) {}

// The framework deletes the component only when no call into it runs.
QPMInstaller::~QPMInstaller() {
    CloseDownloads();
    DeleteTemp();
    ReleaseChild(true, 0, 0);
}

// A stop carried out after a call that it interrupted never passed
// through QPMInstallWndProc, so the child may still be held here.
void QPMInstaller::Stop() {
    CloseDownloads();
    DeleteTemp();
    ReleaseChild(false, 0, 0);
}

// The text is also the window's text, so a host can read how the
// installation goes (GetWindowTextA) without knowing this class.
void QPMInstaller::SetStatus(const char* format, const char* argument) {
    snprintf(statusText, sizeof statusText, format, argument);
    if (!StopPending() && IsWindow(instance->window)) SetWindowTextA(instance->window, statusText);
}

// A stopped installer's window may be gone: the text is kept, not shown.
void QPMInstaller::Report(const char* format, const char* argument) {
    SetStatus(format, argument);
    if (!StopPending()) RepaintNow(instance);
}

int32_t QPMInstaller::Start() {
    int32_t result = Component::Start();
    if (result != 1) return result;
    // A host that sends 1025 again gets the same answer, and the
    // installer keeps its one download and its one temporary file.
    if (started) return 1;
    started = true;
    GetAttribute(instance, "TYPE", moduleType, kTextSize);
    GetAttribute(instance, "QPMSRC", sourceList, kTextSize);
    GetAttribute(instance, "QPMPLATFORMS", platformList, kTextSize);
    if (moduleType[0] == '\0') {
        char source[kTextSize];
        if (GetAttribute(instance, "SRC", source, kTextSize))
            TypeFromSource(source, moduleType, kTextSize);
    }
    Decide();
    return 1;
}

// The type name becomes a DRX.REG key: one that could add lines or
// sections there is refused before anything is downloaded.
void QPMInstaller::Decide() {
    if (moduleType[0] == '\0') return SetStatus(kTextNoType);
    if (sourceList[0] == '\0' || !IsSafeTypeName(moduleType)) {
        char shown[kShownTypeSize];
        ShownTypeName(moduleType, shown);
        return SetStatus(kTextCannotInstallType, shown);
    }
    int32_t index = FindWin32Platform(platformList);
    if (index < 0) return SetStatus(kTextPlatformUnsupported);
    if (!TakeSource(sourceList, index)) return SetStatus(kTextNoSource);
    StartDownload();
}

void QPMInstaller::StartDownload() {
    auto* stream = new (std::nothrow) InstallerStream(this);
    if (stream && stream->OpenURL(sourceList, nullptr, nullptr, 0, 0)) return;
    delete stream;  // its file is already gone
    tempPath[0] = '\0';
    SetStatus(kTextCannotRequest);
}

void QPMInstaller::DownloadStarted(const char* tempFile) {
    snprintf(tempPath, sizeof tempPath, "%s", tempFile);
    SetStatus(kTextDownloading);
}

void QPMInstaller::DownloadFailed() { ReportDownloadFailure(kTextDownloadFailed); }

void QPMInstaller::ReportDownloadFailure(const char* text) {
    DeleteTemp();
    Report(text);
}

void QPMInstaller::Paint(HDC dc) {
    GraphicsContext graphics(this, dc);
    RECT area{};
    GetClientRect(instance->window, &area);
    graphics.DrawBevelRect(area, 2, 0, 0, 0, kBackgroundColour);
    if (statusText[0] == '\0') return;
    InflateRect(&area, -3, -3);
    graphics.DrawTextCentredRect(area, statusText, 1, -1);
}

// Every stream of an installer is its download. A file still open cannot
// be deleted, so the stream ends and closes it first.
void QPMInstaller::CloseDownloads() {
    for (DataStream* s = streams; s; s = s->next) static_cast<InstallerStream*>(s)->CloseFile();
}

void QPMInstaller::DeleteTemp() {
    if (tempPath[0] == '\0') return;
    DeleteFileA(tempPath);
    tempPath[0] = '\0';
}

void QPMInstaller::InstallationConfirmed() {
    ClearInstalling(moduleType);
    installPending = 0;
    confirmed = true;
}

// The child's window goes first (its stop may still confirm), then its
// library, and only then the files and entries of an installation it
// never confirmed.
void QPMInstaller::ReleaseChild(bool destroy, WPARAM wParam, LPARAM lParam) {
    HWND child = childWindow;
    HMODULE childLibrary = library;
    childWindow = nullptr;
    library = nullptr;
    if (child && IsWindow(child)) {
        ChildLibraryCall call(ChildLibraryCall::kDown);
        if (destroy)
            DestroyWindow(child);
        else
            SendMessageA(child, QPMM_STOP, wParam, lParam);
    }
    bool rollBack = installPending != 0;
    installPending = 0;
    if (rollBack) {
        if (createdEntry) ForgetInstalledModule(moduleType);
        if (wroteInstalling) ClearInstalling(moduleType);
        createdEntry = wroteInstalling = false;
    }
    if (child || childLibrary || (rollBack && createdFile))
        ReleaseChildLibrary(childLibrary, child, rollBack && createdFile ? modulePath : nullptr);
    if (rollBack) createdFile = false;
}
