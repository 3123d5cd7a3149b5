// Message sequences that recur across the window tests, as named tables.
// Optional rows are what Windows sends and the layer does not model: it
// has no palettes (WM_QUERYNEWPALETTE), no input methods
// (WM_IME_SETCONTEXT) and draws no non-client area (WM_NCPAINT, and the
// WM_GETTEXT that drawing a caption asks for).
#pragma once

#include "message_log.h"

namespace usertest {

using msglog::kAnyL;
using msglog::kAnyW;
using msglog::kAnyWL;
using msglog::kOptional;
using msglog::Named;
using msglog::Sequence;

inline LPARAM L(HWND hwnd) { return reinterpret_cast<LPARAM>(hwnd); }

// `window` loses the activation to `next` (null: to no window).
inline Sequence Deactivate(HWND window, HWND next) {
    return Named("deactivate", {
                                   {window, WM_NCACTIVATE, FALSE, L(next)},
                                   {window, WM_GETTEXT, 0, 0, kAnyWL | kOptional},
                                   {window, WM_ACTIVATE, WA_INACTIVE, L(next)},
                               });
}

// `window` gains the activation from `previous` (null: from no window).
inline Sequence Activate(HWND window, HWND previous) {
    return Named("activate", {
                                 {window, WM_QUERYNEWPALETTE, 0, 0, kOptional},
                                 {window, WM_NCACTIVATE, TRUE, L(previous)},
                                 {window, WM_GETTEXT, 0, 0, kAnyWL | kOptional},
                                 {window, WM_ACTIVATE, WA_ACTIVE, L(previous)},
                             });
}

// The application is activated (or deactivated): every top-level window
// in `windows` hears WM_ACTIVATEAPP, in that order.
inline Sequence ActivateApp(std::initializer_list<HWND> windows, BOOL active) {
    Sequence rows;
    for (HWND w : windows) rows.push_back({w, WM_ACTIVATEAPP, WPARAM(active), 0});
    return Named(active ? "activate app" : "deactivate app", rows);
}

// The first activation of the application: `window` becomes active with
// nothing active before it, and `others` hear WM_ACTIVATEAPP after it.
inline Sequence ActivateFirst(HWND window, std::initializer_list<HWND> others = {}) {
    Sequence rows{{window, WM_QUERYNEWPALETTE, 0, 0, kOptional}, {window, WM_ACTIVATEAPP, TRUE, 0}};
    for (HWND w : others) rows.push_back({w, WM_ACTIVATEAPP, TRUE, 0});
    rows.push_back({window, WM_NCACTIVATE, TRUE, 0});
    rows.push_back({window, WM_GETTEXT, 0, 0, kAnyWL | kOptional});
    rows.push_back({window, WM_ACTIVATE, WA_ACTIVE, 0});
    return Named("activate first", rows);
}

// The focus moves from `from` to `to` (either may be null: no window).
inline Sequence FocusMoves(HWND from, HWND to) {
    Sequence rows;
    if (from) {
        rows.push_back({from, WM_KILLFOCUS, WPARAM(to), 0});
        rows.push_back({from, WM_IME_SETCONTEXT, FALSE, 0, kAnyL | kOptional});
    }
    if (to) {
        rows.push_back({to, WM_IME_SETCONTEXT, TRUE, 0, kAnyL | kOptional});
        rows.push_back({to, WM_SETFOCUS, WPARAM(from), 0});
    }
    return Named("focus moves", rows);
}

// Windows draws the frame of a top-level window being shown and erases
// it at once; the layer leaves the erasing to its first BeginPaint.
inline Sequence ShownFramePainted(HWND window) {
    return Named("frame painted", {
                                      {window, WM_NCPAINT, 0, 0, kAnyWL | kOptional},
                                      {window, WM_GETTEXT, 0, 0, kAnyWL | kOptional},
                                      {window, WM_ERASEBKGND, 0, 0, kAnyW | kOptional},
                                  });
}

}  // namespace usertest
