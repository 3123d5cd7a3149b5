// Figure 3: one ticker frame. The ticker's paint at 400 by 23 with a
// border (off-screen bitmap, a 12-pixel font made, selected and deleted,
// the text, the blit to the window), against cairo drawing the same on
// an image surface of the same size, then copying it to another.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/component_host.h"
#include "support/figure_report.h"
#include "support/thread_cpu.h"

namespace {

constexpr int kWidth = 400, kHeight = 23, kFontSize = 12;
constexpr UINT_PTR kScrollTimer = 1;

// Long enough that most frames show a window full of text.
std::string Headline() {
    std::string text;
    while (text.size() < 600) text += "Markets close higher as the ticker scrolls on, 0123456789; ";
    return text;
}

// Per-frame CPU times, kept for the median.
void ReportFrames(benchmark::State& state, std::vector<double>& frames) {
    if (frames.empty()) return;
    std::nth_element(frames.begin(), frames.begin() + long(frames.size() / 2), frames.end());
    state.counters["median_us"] = frames[frames.size() / 2] * 1e6;
}

void FrameOurs(benchmark::State& state) {
    static ComponentHost host(QPM_PELLUX_LIBRARY);
    HWND ticker = host.Start({{"TEXT", Headline()},
                              {"SHOWBORDER", "1"},
                              {"SIZE", std::to_string(kFontSize)},
                              {"FONT", "Arial"}},
                             kWidth, kHeight);
    if (ticker == nullptr) return state.SkipWithError("the ticker did not start");
    SendMessageA(ticker, WM_TIMER, kScrollTimer, 0);  // the first frame loads the font
    std::vector<double> frames;
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        SendMessageA(ticker, WM_TIMER, kScrollTimer, 0);  // one tick: paint, then move
        const double spent = ThreadCpuSeconds() - start;
        state.SetIterationTime(spent);
        frames.push_back(spent);
    }
    ReportFrames(state, frames);
    host.Stop();
}

struct CairoTicker {
    cairo_surface_t* offscreen = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cairo_surface_t* window = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    std::string text = Headline();
    size_t first = 0;
    ~CairoTicker() {
        cairo_surface_destroy(offscreen);
        cairo_surface_destroy(window);
    }

    void Frame() {
        cairo_t* cr = cairo_create(offscreen);
        cairo_set_source_rgb(cr, 1.0, 1.0, 0.88);
        cairo_paint(cr);
        cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);  // the sunken bevel: dark above and left
        cairo_rectangle(cr, 0, 0, kWidth, 2);
        cairo_rectangle(cr, 0, 0, 2, kHeight);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);  // light below and right
        cairo_rectangle(cr, 0, kHeight - 2, kWidth, 2);
        cairo_rectangle(cr, kWidth - 2, 0, 2, kHeight);
        cairo_fill(cr);
        cairo_rectangle(cr, 4, 2, kWidth - 8, kHeight - 4);
        cairo_clip(cr);
        cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, kFontSize);
        cairo_set_source_rgb(cr, 0.0, 0.0, 0.5);
        cairo_move_to(cr, 4, 16);
        cairo_show_text(cr, text.c_str() + first);
        cairo_destroy(cr);
        cairo_t* blit = cairo_create(window);
        cairo_set_source_surface(blit, offscreen, 0, 0);
        cairo_paint(blit);
        cairo_destroy(blit);
        first = (first + 1) % (text.size() - 100);  // one character further, as a tick does
    }
};

void FrameCairo(benchmark::State& state) {
    CairoTicker ticker;
    ticker.Frame();  // the first frame loads the font
    std::vector<double> frames;
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        ticker.Frame();
        const double spent = ThreadCpuSeconds() - start;
        state.SetIterationTime(spent);
        frames.push_back(spent);
    }
    ReportFrames(state, frames);
}

void Report(const BestTimes& times) {
    const double ours = times.Seconds("FrameOurs"), peer = times.Seconds("FrameCairo");
    if (ours <= 0 || peer <= 0) return;
    const double median = times.Counter("FrameOurs", "median_us");
    const double ratio = ours / peer;  // time, ours relative to cairo's
    PrintFigureRow({"3 ticker frame 400x23, border",
                    Format("%.1f us (median %.1f us)", ours * 1e6, median),
                    Format("cairo %.1f us (median %.1f us)", peer * 1e6,
                           times.Counter("FrameCairo", "median_us")),
                    ratio, "<= 1 x cairo, median <= 50 us", ratio <= 1 && median <= 50});
}

}  // namespace

BENCHMARK(FrameOurs)->Unit(benchmark::kMicrosecond)->Repetitions(5)->UseManualTime();
BENCHMARK(FrameCairo)->Unit(benchmark::kMicrosecond)->Repetitions(5)->UseManualTime();

int main(int argc, char** argv) { return RunFigures(argc, argv, &Report); }
