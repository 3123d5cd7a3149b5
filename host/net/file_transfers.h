// file:// transfers, read by the host itself rather than by libcurl:
// curl reads a local file whole inside one call, cannot pause it, and
// blocks opening a FIFO. Here a file is opened without blocking, must
// be a regular file, and is read a piece at a time, only while its
// stream has room for more, so the run's loop stays in charge: the
// stream timeout and the stream maximum hold as for any URL.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "net/stream_table.h"

// The local path a file:// URL names, percent-decoded; false for another
// scheme, or a host other than "" or "localhost".
bool FileUrlPath(const std::string& url, std::string* path);

class FileTransfers {
public:
    // How one read ended: still running, complete, or failed with
    // `code` (curl's CURLE_FILE_COULDNT_READ_FILE, CURLE_READ_ERROR or
    // CURLE_FILESIZE_EXCEEDED) and a sentence saying why.
    struct Ending {
        LONG_PTR handle = 0;
        std::string url;
        int32_t code = 0;
        std::string reason;
    };

    FileTransfers() = default;
    ~FileTransfers();
    FileTransfers(const FileTransfers&) = delete;
    FileTransfers& operator=(const FileTransfers&) = delete;

    // Opens `path` for `handle`. A file that cannot be read ends at the
    // next Perform as failed, as a transfer would.
    void Start(LONG_PTR handle, const std::string& url, const std::string& path);
    void Abort(LONG_PTR handle);
    bool Has(LONG_PTR handle) const { return files_.count(handle) != 0; }
    // Whether a Perform now would get anywhere: a file has room to be read into.
    bool CanProceed(const StreamTable& table) const;
    bool Empty() const { return files_.empty(); }

    // Reads one piece into each stream that has room; returns the reads
    // that ended (their streams completed or failed in `table`).
    std::vector<Ending> Perform(StreamTable* table, int64_t maxBytes);

    struct Progress {
        LONG_PTR handle;
        std::string url;
        int64_t received, total;
        std::chrono::steady_clock::time_point started;
    };
    std::vector<Progress> Running() const;
    std::vector<LONG_PTR> Handles() const;

private:
    struct File {
        std::string url;
        int fd = -1;
        int64_t size = -1, received = 0;
        int32_t failCode = 0;  // set when it failed to open
        std::string failure;
        std::chrono::steady_clock::time_point started;
    };
    bool ReadPiece(LONG_PTR handle, File& file, StreamTable* table, int64_t maxBytes,
                   Ending* ending);

    std::map<LONG_PTR, File> files_;
};
