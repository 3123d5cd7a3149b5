// The live message loop.
#include <qpm_platform.h>

#include <algorithm>

#include "app/run_loops.h"
#include "app/transfer_report.h"
#include "output/page_output.h"
#include "session/host.h"

namespace {

// The longest the loop sleeps in one go; timers and curl wake it sooner.
constexpr DWORD kLongestWaitMs = 250;

struct LiveState {
    Host* host;
    PageOutput* output;
    TransferReport transfers;
    DWORD shownVersion = 0;
    bool shownOnce = false;
    bool quitting = false;
};

void ShowIfChanged(LiveState& state) {
    const DWORD version = QpmGetWindowSurfaceVersion(state.host->pageWindow);
    if (state.shownOnce && version == state.shownVersion) return;
    QpmPixels pixels;
    if (!QpmGetWindowPixels(state.host->pageWindow, &pixels)) return;
    state.output->Show(pixels);
    state.shownVersion = version;
    state.shownOnce = true;
}

// Called by GetMessageA whenever it has nothing to deliver.
void Wait(DWORD timeoutMs, void* context) {
    LiveState& state = *static_cast<LiveState*>(context);
    Host& host = *state.host;
    ShowIfChanged(state);
    host.transport->Wait(int(std::min(timeoutMs, kLongestWaitMs)),
                         state.output->EventDescriptors());
    state.transfers.Update(*host.transport);
    if (!state.output->HandleEvents() && !state.quitting) {
        state.quitting = true;
        PostQuitMessage(0);
    }
    if (host.streams.HasDueNotice()) PostMessageA(host.pageWindow, kStreamsDueMessage, 0, 0);
}

}  // namespace

void RunLive(Host& host, PageOutput& output) {
    LiveState state{&host, &output, TransferReport(&output)};
    QpmSetWaitHandler(&Wait, &state);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    QpmSetWaitHandler(nullptr, nullptr);
}
