// What a killed qpmhost run leaves behind, found again by name and
// removed by the next run. Every temporary file a run makes has a name
// that says what it is:
//   <temporary folder>/Plu<hex>.tmp    a download (GetTempFileNameA, "Plugins")
//   <components>/QPM<hex>.tmp          a module being copied into place
//   <components>/libvarnoq.so.XXXXXX   the installer's copy being written (mkstemp)
//   .DRX.REG.<pid>.<n>.new             DRX.REG being rewritten (the layer's
//                                      write-and-rename), beside DRX.REG
// A whole module that a kill kept from being recorded (APPLICnn.DLL) is
// not among them: DRX.REG files of other Windows directories may record
// modules in the same components folder, so it cannot be told unused.
#pragma once

#include <string>

class RunLock;

struct RunFolders {
    std::string temporary;   // the components' temporary folder
    std::string components;  // the components folder
};

// Takes `lock` for the whole run. When no other qpmhost holds it, the
// files above in `folders` are removed first: their runs are gone. A
// lock that cannot be had never stops the run; it only skips the sweep.
void TakeRunLockAndSweep(RunLock& lock, const RunFolders& folders);

// Removes the write-and-rename siblings of `target` (".<name>.<pid>.<n>.new")
// whose writing process no longer exists. The pid says whose a file is,
// so this needs no lock; a reused pid only keeps a file.
void RemoveDeadWritersFiles(const std::string& target);
