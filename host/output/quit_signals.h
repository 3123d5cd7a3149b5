// The signals a live display answers, turned into bytes on a self-pipe so
// that the message loop sees them among its other descriptors and acts
// in order: SIGINT, SIGTERM and SIGHUP end the run (components stopped,
// terminal restored), SIGWINCH redraws, and with job control SIGTSTP
// gives the terminal back before the process stops and SIGCONT takes it
// again.
#pragma once

// `jobControl`: SIGTSTP and SIGCONT too (a terminal display).
bool InstallQuitSignals(bool jobControl = false);
int QuitSignalDescriptor();

struct SignalsSeen {
    bool quit = false;     // SIGINT, SIGTERM or SIGHUP
    bool resized = false;  // SIGWINCH
    bool stop = false;     // SIGTSTP: leave the screen, then StopHere()
    bool resumed = false;  // SIGCONT
};
// Reads what arrived since the last call.
SignalsSeen DrainSignals();
// The signal that asked to quit, 0 while none has.
int QuitSignalNumber();
// Stops the process (and its process group) as SIGTSTP would have;
// returns once it is continued.
void StopHere();
void RemoveQuitSignals();
