// An output file written under a fresh name beside its target and
// renamed over the target only once it is whole, so that a failed or
// interrupted run never leaves half a file under the target's name. The
// fresh name is created exclusively (mkstemp), so nothing planted there
// beforehand is followed or overwritten; and only a regular file (or
// nothing, or a symbolic link, replaced itself) is replaced: a target
// that is a directory, a device or a FIFO is refused. Writes may go anywhere in the
// file (a header patched at the end); the first error is kept and
// reported by Commit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class StagedFile {
public:
    explicit StagedFile(std::string path) : path_(std::move(path)) {}
    ~StagedFile();  // removes the fresh file unless it was committed
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    bool Open(std::string* error);
    const std::string& path() const { return path_; }
    // Appends; false once anything has failed.
    bool Write(const void* data, size_t size);
    // Overwrites bytes already written.
    bool WriteAt(uint64_t offset, const void* data, size_t size);
    uint64_t size() const { return size_; }
    bool failed() const { return errorCode_ != 0; }
    // "cannot write PATH: reason" for the first failure so far.
    std::string Error() const;
    // Closes the file and renames it over the target; false with `error`
    // naming the target and the first failure.
    bool Commit(std::string* error);

private:
    bool Failed(int code);

    std::string path_, freshPath_;
    int fd_ = -1;
    int errorCode_ = 0;
    uint64_t size_ = 0;
    bool committed_ = false;
};
