// From the downloaded module to a running component: the question, the
// module's place, DRX.REG, loading the library and handing the
// installer's window over to the new component.
//
// The question is a modal message box that lets messages through, and
// every later step calls into the new library, which may ask the host
// for things: the host may stop the installer or destroy its window at
// any of these points. The framework then puts the stop off until this
// call returns, and the installer checks StopPending after each call out
// and only returns: what it already holds (the temporary file, the
// library, the child window) is let go by Stop or the destructor.
#include <qpm/host_requests.h>
#include <qpm/module.h>

#include <cstdio>

#include "child_calls.h"
#include "install_wnd_proc.h"
#include "module_path.h"
#include "placement.h"
#include "qpm_installer.h"
#include "registry.h"
#include "status_texts.h"
#include "type_name.h"

namespace {

using SetInstanceFn = void(WINAPI*)(HINSTANCE);
using CalcSizeFn = int32_t(WINAPI*)(InitRecord*);
using InitFn = HWND(WINAPI*)(HWND, InitRecord*);

template <class Fn>
Fn Export(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(library, name)));
}

// LoadLibraryA's old convention: a handle of 32 or less is an error code.
bool Loaded(HMODULE library) { return reinterpret_cast<uintptr_t>(library) > 32; }

}  // namespace

void QPMInstaller::InstallDownloadedModule() {
    ChildLibraryCall call(ChildLibraryCall::kDown);
    HandOver();
    DeleteTemp();
}

void QPMInstaller::HandOver() {
    Report(kTextDownloaded);
    if (!AskConsent()) return;
    bool fromRegistry = false;
    if (!ChooseTarget(&fromRegistry)) return;

    const char* fileName = FileNamePart(modulePath);
    Report(kTextCopying, fileName);
    bool existed = GetFileAttributesA(modulePath) != INVALID_FILE_ATTRIBUTES;
    // Not in place: neither recorded nor loaded.
    if (!PlaceModule(tempPath, modulePath)) return Report(kTextCannotCopy, fileName);
    createdFile = !existed;
    DeleteTemp();
    // A module DRX.REG does not name is found by no later page: when the
    // entry cannot be written (a full disk), the installation did not
    // happen, and a file this installer put there goes again.
    if (!RecordInstalledModule(moduleType, modulePath)) {
        if (createdFile) DeleteFileA(modulePath);
        createdFile = false;
        return Report(kTextCannotCopy, fileName);
    }
    createdEntry = !fromRegistry;

    char shown[kShownTypeSize];
    ShownTypeName(moduleType, shown);
    Report(kTextInstalled, shown);
    LoadAndStart();
}

// The question is formatted into room for its longest form: the type is
// shown cut and with its control characters replaced, so the page that
// names it can neither push the fingerprint out nor forge one.
bool QPMInstaller::AskConsent() {
    unsigned char sum[kMD5DigestSize];
    char digits[kMD5TextSize];
    MD5Final(sum, &digest);
    FormatDigest(sum, digits);
    char shown[kShownTypeSize];
    ShownTypeName(moduleType, shown);
    char question[sizeof kQuestionText + kShownTypeSize + kMD5TextSize];
    snprintf(question, sizeof question, kQuestionText, shown, digits);

    int answer = MessageBoxA(instance->window, question, kQuestionCaption, MB_YESNOCANCEL);
    if (StopPending()) return false;
    if (answer == IDYES) return true;
    Report(kTextAborted);
    return false;
}

// A type recorded before keeps its file (another installer of the same
// type may have just put it there); otherwise a new name beside the
// installer's own library.
bool QPMInstaller::ChooseTarget(bool* fromRegistry) {
    *fromRegistry = ReadInstalledModule(moduleType, modulePath, sizeof modulePath);
    if (*fromRegistry) return true;
    char directory[kTextSize];
    if (ModuleDirectory(ModuleInstance(), directory, sizeof directory) &&
        ChooseModulePath(directory, moduleType, modulePath, sizeof modulePath))
        return true;
    Report(kTextNoFileName);
    return false;
}

void QPMInstaller::LoadAndStart() {
    HMODULE loaded = LoadLibraryA(modulePath);
    if (!Loaded(loaded)) return Refuse(kTextCannotLoad);
    library = loaded;  // from here on, releasing the child frees it
    auto init = Export<InitFn>(loaded, "QPMInit");
    auto calcSize = Export<CalcSizeFn>(loaded, "QPMCalcSize");
    auto setInstance = Export<SetInstanceFn>(loaded, "QPMSetInstance");
    if (init == nullptr || calcSize == nullptr) return Refuse(kTextNotAModule);
    if (setInstance) {
        setInstance(loaded);
        if (StopPending()) return;
    }

    // The installer's own record, whose leading InitRecord is the new
    // component's creation record.
    instance->typeName = moduleType;
    instance->mode = 1;
    if (!instance->fixedSize) {
        int32_t width = instance->width, height = instance->height;
        if (!calcSize(instance) || !HostResize(instance, instance->width, instance->height)) {
            instance->width = width;
            instance->height = height;
        }
        if (StopPending()) return;
    }
    HWND child = init(instance->window, instance);
    if (child == nullptr) return Refuse(kTextCannotCreate);
    // Relayed to at once: the host's answers to what the component asks
    // during its 1025 must reach it.
    childWindow = child;
    if (StopPending()) return;
    StartChild(child);
}

void QPMInstaller::StartChild(HWND child) {
    HWND window = instance->window;
    auto saved =
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&QPMInstallWndProc));
    installPending = 0;
    LRESULT reply = SendMessageA(child, QPMM_START, 0, reinterpret_cast<LPARAM>(instance));
    if (reply == 0) {
        childWindow = nullptr;
        if (IsWindow(child)) DestroyWindow(child);
        if (IsWindow(window)) SetWindowLongPtrA(window, GWLP_WNDPROC, saved);
        return Refuse(kTextStartRefused);
    }
    // A 1056 sent while the component was still answering counts.
    if (reply == 2 && !confirmed) {
        MarkInstalling(moduleType);
        wroteInstalling = true;
        installPending = 1;
    }
}

// A module refused after it was put in place: what this installer made
// goes, so a later page does not load a known-bad module for ever.
void QPMInstaller::Refuse(const char* text) {
    HWND child = childWindow;
    HMODULE refused = library;
    childWindow = nullptr;
    library = nullptr;
    if (createdEntry) ForgetInstalledModule(moduleType);
    ReleaseChildLibrary(refused, child, createdFile ? modulePath : nullptr);
    createdEntry = createdFile = false;
    Report(text);
}
