// FileStream: a data stream that stores what it receives in a file.
//
// Opened on a URL, into a named file or a new temporary one. The file is
// closed when the stream ends or fails; on failure it is also deleted,
// so what stays on disk is only ever a whole download.
#pragma once

#include <qpm/data_stream.h>

#include <windows.h>

#include <cstdint>

class FileStream : public DataStream {
public:
    static constexpr int32_t kPathSize = 512;

    explicit FileStream(Component* owner);
    ~FileStream() override;  // closes the file; the file itself stays on disk

    void OnData(const char* buffer, int32_t length, int32_t offset) override;
    void OnEnd() override;
    void OnFailed(int32_t code) override;
    virtual void OnFileComplete();  // the stream ended normally; the file is closed
    virtual void OnFileFailed();    // the stream failed; the file is closed and deleted

    // Opens the stream on `request`, storing what arrives in the file
    // `name` (created or truncated; null: no file). 1 on success.
    int32_t OpenFile(const char* name, UrlRequest* request, WPARAM flags);
    // The same, into a new file of the temporary directory.
    int32_t OpenTemp(UrlRequest* request, WPARAM flags);
    // A GET or POST request for `url` into a new temporary file.
    int32_t OpenURL(const char* url, const char* context, const char* data, int32_t method,
                    WPARAM flags);

    // Ends the stream towards the host and closes the file, which stays on
    // disk: a file that is still open cannot be deleted.
    void CloseFile();
    // Gives the stream up from the receiving side: it ends towards the
    // host and then fails as if the host had failed it.
    void Abandon();

    HFILE file;                   // HFILE_ERROR when none is open
    char fileName[kPathSize];     // empty when the stream has no file
    char contextText[kPathSize];  // receives host information item 2
    int32_t opened;               // 1 from a successful open until the end or a failure
    int32_t completed;            // 1 once the stream has ended normally
    bool writeFailed;             // a chunk could not be written whole

protected:
    // The file is there and the request is about to go to the host.
    virtual void OnOpening();

private:
    // Closes `file`; false when the file's last bytes could not be written.
    bool CloseHandleOnly();
};
