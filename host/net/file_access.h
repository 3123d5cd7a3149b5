// Which local files a page may read: those in its own folder and below,
// as browsers keep a local page to its origin, and those in the folders
// the user allows (--allow-files). Paths are compared after resolving
// symbolic links and "..", so neither leads out of an allowed folder.
#pragma once

#include <string>
#include <vector>

// What a file that is not a regular one is, for messages: "a directory",
// "a FIFO", "a socket", "a device".
const char* FileKindName(unsigned mode);

class FileAccessRule {
public:
    // Allows `folder` and everything below it; the first folder allowed
    // is the page's own. False with `error` set when it is not an
    // existing directory.
    bool Allow(const std::string& folder, std::string* error);
    const std::vector<std::string>& folders() const { return folders_; }

    // True when `path` exists and lies outside every allowed folder, with
    // `why` saying so. A path that does not resolve is not outside: its
    // reading fails on its own, with its own reason.
    bool Outside(const std::string& path, std::string* why) const;

    // True when `path` may not be read at all: outside every allowed
    // folder, or there but no regular file (a FIFO, a device, a
    // directory). A path that does not exist is not refused here.
    bool Refused(const std::string& path, std::string* why) const;

    // True when `path` is a regular file inside an allowed folder that
    // can be opened for reading; else false with `why` ("No such file or
    // directory", "it is a FIFO, not a regular file", ...).
    bool CheckReadable(const std::string& path, std::string* why) const;

private:
    std::vector<std::string> folders_;  // real paths
};
