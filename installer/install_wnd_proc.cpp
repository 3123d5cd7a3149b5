// QPMInstallWndProc: relaying between the host and the installed
// component, and letting go of the component when the window ends.
#include "install_wnd_proc.h"

#include <qpm/protocol.h>
#include <qpm/window_call.h>

#include "child_calls.h"
#include "qpm_installer.h"
#include "registry.h"

namespace {

// The installer through window long 0; the record is unlocked again at
// once: only the component object, which does not move, is used.
QPMInstaller* InstallerOf(HWND window) {
    HGLOBAL block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
    auto* record = block ? static_cast<InstanceRecord*>(GlobalLock(block)) : nullptr;
    if (record == nullptr) return nullptr;
    auto* installer = static_cast<QPMInstaller*>(record->component);
    GlobalUnlock(block);
    return installer;
}

HWND ChildOf(const QPMInstaller* installer) {
    return installer && installer->childWindow && IsWindow(installer->childWindow)
               ? installer->childWindow
               : nullptr;
}

// The child keeps the container's size, unless minimised.
void ResizeChild(HWND child, WPARAM kind, LPARAM size) {
    RECT client{};
    GetClientRect(child, &client);
    const int width = LOWORD(size), height = HIWORD(size);
    if ((kind == SIZE_RESTORED || kind == SIZE_MAXIMIZED) &&
        (client.right != width || client.bottom != height))
        MoveWindow(child, 0, 0, width, height, TRUE);
}

}  // namespace

extern "C" LRESULT CALLBACK QPMInstallWndProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    const bool request = message >= kFirstRequest && message <= kLastRequest;
    // Counted first, so it ends last: a library released below is freed
    // only after what the framework put off has run.
    ChildLibraryCall libraryCall(request ? ChildLibraryCall::kUp : ChildLibraryCall::kDown);
    ComponentWindowCall windowCall(window);
    QPMInstaller* installer = InstallerOf(window);

    switch (message) {
        case WM_DESTROY:
        case QPMM_STOP:
            // Inside another call the framework puts the stop off, and
            // Stop or the destructor lets the child go then.
            if (installer && !windowCall.Nested())
                installer->ReleaseChild(message == WM_DESTROY, wParam, lParam);
            return QPMLibWndProc(window, message, wParam, lParam);
        case WM_SIZE:
            if (HWND child = ChildOf(installer)) ResizeChild(child, wParam, lParam);
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_SETFOCUS: {
            LRESULT result = DefWindowProcA(window, message, wParam, lParam);
            if (HWND child = ChildOf(installer)) SetFocus(child);
            return result;
        }
        case QPMR_CONFIRMED:
            if (installer)
                installer->InstallationConfirmed();
            else if (lParam != 0)
                ClearInstalling(reinterpret_cast<const char*>(lParam));
            return 0;
        default:
            break;
    }
    if (message >= kFirstHostMessage && message <= kLastHostMessage) {
        HWND child = ChildOf(installer);
        return child ? SendMessageA(child, message, wParam, lParam) : 0;
    }
    if (request) return SendMessageA(GetParent(window), message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}
