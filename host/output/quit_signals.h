// The signals that end a live run (SIGINT, SIGTERM, SIGHUP) and the
// terminal's size change (SIGWINCH), turned into bytes on a self-pipe,
// so that the message loop sees them among its other descriptors and
// the run ends in order: components stopped, terminal restored.
#pragma once

bool InstallQuitSignals();
int QuitSignalDescriptor();
// Reads what arrived: true when a quitting signal did; `resized` is set
// when the window size changed.
bool DrainQuitSignals(bool* resized);
void RemoveQuitSignals();
