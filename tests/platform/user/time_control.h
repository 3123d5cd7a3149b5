// Time for the window tests that need timers to fire. On the layer the
// manual clock holds time still and moves only when a test moves it, so
// every tick is exact. On Windows the real clock runs: these helpers run
// the message loop until what the test needs has happened, with a
// generous deadline, and a test checks exact ticks only under the
// manual clock (QpmClockIsManual).
#pragma once

#include <windows.h>

#include <functional>

namespace usertest {

// Runs the message loop, timers as they fall due, until `done` holds:
// the manual clock steps a millisecond at a time; on Windows the loop
// waits for messages. False if it never held (the deadline passed).
bool RunTimersUntil(const std::function<bool()>& done);

// Runs the message loop for `ms`: QpmAdvanceClock and QpmPumpMessages on
// the layer; on Windows the loop runs for that long in real time. For
// checking that nothing fires.
void RunTimersFor(DWORD ms);

// Lets the next timer fall due, `ms` from now, without dispatching
// anything: the manual clock jumps; on Windows the test waits until the
// system has a WM_TIMER ready.
void MakeTimerDue(DWORD ms);

}  // namespace usertest
