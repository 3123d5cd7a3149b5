// Child processes for the end-to-end tests.
#include "host/e2e/qpmhost_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

extern char** environ;

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string Md5Hex(const std::string& path) {
    FILE* pipe = popen(("md5sum < '" + path + "'").c_str(), "r");
    if (pipe == nullptr) return "";
    char digits[33] = "";
    const bool read = fscanf(pipe, "%32s", digits) == 1;
    pclose(pipe);
    return read ? digits : "";
}

int EntriesIn(const std::string& directory) {
    DIR* listing = opendir(directory.c_str());
    if (listing == nullptr) return -1;
    int count = 0;
    while (const dirent* entry = readdir(listing))
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) ++count;
    closedir(listing);
    return count;
}

std::string MakeScratchDirectory() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/qpmhost-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = mkdtemp(buffer.data());
    return made ? made : "";
}

void WriteTextFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

ProcessResult RunQpmhost(const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment) {
    return RunProgram(QPMHOST_PATH, arguments, environment);
}

ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment) {
    const std::string scratch = MakeScratchDirectory();
    const std::string outPath = scratch + "/stdout", errPath = scratch + "/stderr";

    std::vector<std::string> args = {program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::map<std::string, std::string> variables;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        size_t equals = entry.find('=');
        if (equals != std::string::npos)
            variables[entry.substr(0, equals)] = entry.substr(equals + 1);
    }
    variables["XDG_DATA_HOME"] = scratch + "/data";
    for (const auto& v : environment) variables[v.first] = v.second;
    std::vector<std::string> entries;
    for (const auto& v : variables) entries.push_back(v.first + "=" + v.second);
    std::vector<char*> envp;
    for (std::string& e : entries) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&files, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

    ProcessResult result;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &files, &attributes, argv.data(), envp.data()) == 0) {
        int status = 0;
        rusage usage{};
        while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
        }
        result.peakKilobytes = usage.ru_maxrss;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    result.out = ReadFileBytes(outPath);
    result.err = ReadFileBytes(errPath);
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    rmdir(scratch.c_str());
    return result;
}

std::vector<PlacedComponent> PlacedComponents(const std::string& verboseOutput) {
    std::vector<PlacedComponent> placed;
    const std::regex line(R"(#(\d+) \([^)]*\) at (-?\d+),(-?\d+) size (\d+)x(\d+))");
    for (auto it = std::sregex_iterator(verboseOutput.begin(), verboseOutput.end(), line);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        placed.push_back(
            {std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[5])});
    }
    return placed;
}
