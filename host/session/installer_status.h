// What the host learns of an installation: the installer shows one
// status text at a time in its window and keeps it as its window text,
// which the host reads with GetWindowTextA. While it works the text is
// one of the few texts of progress; once it has handed its window over,
// the "installed" text stays; any other text is how it ended in failure,
// and stays until the page goes.
#pragma once

#include <string>

struct Host;

enum class InstallerState { kWorking, kInstalled, kFailed };

InstallerState ClassifyInstallerStatus(const std::string& text);

// Reads the status of every slot the installer runs and tells of each
// change: on stderr with --verbose, and always, once, when the
// installation ended in failure (the run then exits with 3).
void WatchInstallers(Host& host);
