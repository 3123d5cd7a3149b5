// Running the built qpmhost as a process, as a user would, and reading
// back what it wrote.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ProcessResult {
    int exitCode = -1;  // 128 + the signal when it died of one
    std::string out, err;
    long peakKilobytes = 0;  // its largest resident set
};

// Runs qpmhost with `arguments`, stdin from /dev/null, in a session of
// its own (so it has no controlling terminal), with XDG_DATA_HOME in a
// scratch directory and `environment` added. Waits for it to end.
ProcessResult RunQpmhost(const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment = {});
// The same for any program (an installed qpmhost, a tool), by its path.
ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment = {});

// A fresh directory under the system's temporary directory.
std::string MakeScratchDirectory();
void WriteTextFile(const std::string& path, const std::string& content);
// The file's bytes; "" when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// The file's MD5 as 32 lowercase hex digits, from md5sum.
std::string Md5Hex(const std::string& path);
// How many entries a directory holds (-1 when it cannot be read).
int EntriesIn(const std::string& directory);

// A component placed by qpmhost, from its --verbose output
// ("#2 (type) at 16,60 size 440x30").
struct PlacedComponent {
    int number = 0;
    int x = 0, y = 0, width = 0, height = 0;
};
std::vector<PlacedComponent> PlacedComponents(const std::string& verboseOutput);
