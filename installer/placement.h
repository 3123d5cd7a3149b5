// Putting a downloaded module in place.
#pragma once

// Moves or copies the file `from` to `to`, replacing a file that is
// there. The copy goes to a new file beside `to`, which is renamed over
// `to` only when it is whole: a failure never damages an earlier module,
// and a module that is loaded and running is never written over in
// place. True when `to` now holds the whole module (`from` may then be
// gone: a move takes it).
bool PlaceModule(const char* from, const char* to);
