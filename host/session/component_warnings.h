// What components say through OutputDebugStringA (the ticker's text cut
// at its maximum, a SIZE it cannot use), told as the host's warnings
// with the name of the component that said it.
#pragma once

struct Host;

// Takes the layer's debug output for the whole process, for `host`.
void ShowComponentWarnings(Host& host);
// Gives it back (before `host` goes).
void StopComponentWarnings();
