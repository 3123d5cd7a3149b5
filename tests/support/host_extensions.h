// The tests' side of the host-only extensions, the same on the Win32
// layer and on a real Win32 (the Windows builds of the tests, run under
// Wine). Tests include <qpm_platform.h> as before; this header adds the
// few helpers whose behaviour must differ between the two.
#pragma once

#include <gtest/gtest.h>
#include <qpm_platform.h>
#include <windows.h>

#include <string>
#include <vector>

// First statement of a test that cannot be expressed without one of the
// layer's extensions (the manual clock, fault injection, ...): on Windows
// the test is skipped, with the extension named as the reason.
#if defined(_WIN32)
#define QPM_REQUIRES_HOST_EXTENSION(what) \
    GTEST_SKIP() << "needs the Win32 layer's " what ", which a real Win32 does not have"
#else
#define QPM_REQUIRES_HOST_EXTENSION(what) static_cast<void>(0)
#endif

// First statement of a test that asserts something a real Win32 does
// otherwise (the reason says what): skipped on Windows until the test or
// the code under it is put right; it still runs on the layer.
#if defined(_WIN32)
#define QPM_DIFFERS_FROM_WIN32(reason) GTEST_SKIP() << "asserts what Win32 does not do: " reason
#else
#define QPM_DIFFERS_FROM_WIN32(reason) static_cast<void>(0)
#endif

// First statement of a test that asserts one of the layer's own choices,
// where Win32 does otherwise or promises nothing (the reason says which):
// skipped on Windows, for good; it runs on the layer.
#if defined(_WIN32)
#define QPM_LAYER_CHOICE(reason) GTEST_SKIP() << "asserts the layer's own choice: " reason
#else
#define QPM_LAYER_CHOICE(reason) static_cast<void>(0)
#endif

// Holds time still for a test that only wants it out of the way: the
// layer's manual clock, started at `start`. On Windows the real clock
// runs, and QpmPumpMessages leaves timer messages alone, so no timer
// fires unless the test delivers it.
void HoldTime(DWORD start);

// Delivers one period of a window's timer: the layer's manual clock
// moves `period` milliseconds and fires what is due; on Windows, whose
// clock a test cannot move, the timer's WM_TIMER is sent to `window` as
// the system would dispatch it.
void DeliverTimerPeriod(HWND window, UINT_PTR timerId, DWORD period);

// Points the layer's Windows directory at `dir`. On Windows the system's
// stays: a test that depends on it must skip there.
void UseWindowsDirectory(const std::string& dir);

// A new, empty directory for a test's files ("stem" plus a unique part,
// under the system's temporary directory), and its removal together with
// the files a test made in it.
std::string MakeTempDirectory(const char* stem);
void RemoveTempDirectory(const std::string& dir, const std::vector<std::string>& files);
