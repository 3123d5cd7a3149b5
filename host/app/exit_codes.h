// The exit codes of qpmhost, documented in the README.
#pragma once

enum ExitCode : int {
    kExitOk = 0,         // everything ran (and every output was written)
    kExitUsage = 1,      // bad command line
    kExitPage = 2,       // the page cannot be read
    kExitComponent = 3,  // a component could not be loaded or started (the others ran)
    kExitOutput = 4,     // no terminal or display, or an output file could not be written
    kExitSignal = 128,   // + the number of the signal that ended the run (SIGTERM, SIGHUP)
};
