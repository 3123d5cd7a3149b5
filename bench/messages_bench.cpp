// Figure 6: a SendMessageA round trip, and PostMessageA + GetMessageA +
// DispatchMessageA, against a plain virtual call, in nanoseconds.
#include <benchmark/benchmark.h>
#include <windows.h>

#include "support/figure_report.h"
#include "support/virtual_receiver.h"

namespace {

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) return LRESULT(wParam + 1);
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND BenchWindow() {
    static HWND window = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &CountingProc;
        wc.lpszClassName = "QpmBenchMessages";
        RegisterClassA(&wc);
        return CreateWindowExA(0, "QpmBenchMessages", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
    }();
    return window;
}

void VirtualCall(benchmark::State& state) {
    Receiver& receiver = CountingReceiver();
    WPARAM i = 0;
    for (auto _ : state) i = WPARAM(receiver.Handle(WM_USER, i, 0));
    if (i != WPARAM(state.iterations())) state.SkipWithError("the receiver was not called");
}

void SendMessageRoundTrip(benchmark::State& state) {
    HWND window = BenchWindow();
    WPARAM i = 0;
    for (auto _ : state) i = WPARAM(SendMessageA(window, WM_USER, i, 0));
    if (i != WPARAM(state.iterations())) state.SkipWithError("the window procedure was not run");
}

void PostGetDispatch(benchmark::State& state) {
    HWND window = BenchWindow();
    MSG msg;
    LRESULT last = 0;
    for (auto _ : state) {
        PostMessageA(window, WM_USER, 7, 0);
        GetMessageA(&msg, nullptr, 0, 0);
        last = DispatchMessageA(&msg);
    }
    if (last != 8) state.SkipWithError("the posted message did not arrive");
}

void Report(const BestTimes& times) {
    const double call = times.Seconds("VirtualCall") * 1e9;
    const double send = times.Seconds("SendMessageRoundTrip") * 1e9;
    const double post = times.Seconds("PostGetDispatch") * 1e9;
    if (call <= 0 || send <= 0 || post <= 0) return;
    PrintFigureRow({"6 SendMessageA round trip", Format("%.1f ns", send),
                    Format("virtual call %.1f ns", call), send / call, "<= 100 ns", send <= 100});
    PrintFigureRow({"6 PostMessageA+GetMessageA+DispatchMessageA", Format("%.1f ns", post),
                    Format("virtual call %.1f ns", call), post / call, "<= 300 ns", post <= 300});
}

}  // namespace

BENCHMARK(VirtualCall)->Repetitions(5);
BENCHMARK(SendMessageRoundTrip)->Repetitions(5);
BENCHMARK(PostGetDispatch)->Repetitions(5);

int main(int argc, char** argv) { return RunFigures(argc, argv, &Report); }
