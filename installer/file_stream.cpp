// FileStream: opening a URL into a file, writing each chunk, and closing
// or deleting the file at the end.
#include "file_stream.h"

#include <qpm/host_requests.h>

#include <cstring>

FileStream::FileStream(Component* streamOwner)
    : DataStream(streamOwner),
      file(HFILE_ERROR),
      fileName{},
      contextText{},
      opened(0),
      completed(0),
      writeFailed(false) {}

FileStream::~FileStream() { CloseHandleOnly(); }

bool FileStream::CloseHandleOnly() {
    const bool closed = file == HFILE_ERROR || _lclose(file) != HFILE_ERROR;
    file = HFILE_ERROR;
    return closed;
}

// A chunk that is not written whole fails the download: the file must
// hold exactly the bytes the stream delivered (and fingerprinted).
void FileStream::OnData(const char* buffer, int32_t length, int32_t offset) {
    if (!opened) return;
    if (file != HFILE_ERROR && length > 0 && _hwrite(file, buffer, length) != length) {
        writeFailed = true;
        Abandon();
        return;
    }
    DataStream::OnData(buffer, length, offset);
}

void FileStream::OnEnd() {
    DataStream::OnEnd();
    if (!opened) return;  // failed already: the end changes nothing
    // Written bytes may reach the disk only as the file closes: a file
    // that cannot be closed whole fails the download like a failed write.
    if (!CloseHandleOnly()) {
        writeFailed = true;
        OnFailed(0);
        return;
    }
    opened = 0;
    completed = 1;
    OnFileComplete();
}

void FileStream::OnFailed(int32_t code) {
    DataStream::OnFailed(code);
    CloseHandleOnly();
    if (fileName[0] != '\0') DeleteFileA(fileName);
    opened = 0;
    completed = 0;
    OnFileFailed();
}

void FileStream::OnOpening() {}
void FileStream::OnFileComplete() {}
void FileStream::OnFileFailed() {}

void FileStream::CloseFile() {
    Close();
    CloseHandleOnly();
}

void FileStream::Abandon() {
    Close();
    OnFailed(0);
}

int32_t FileStream::OpenFile(const char* name, UrlRequest* request, WPARAM flags) {
    if (opened) return 0;
    if (name == nullptr) {
        fileName[0] = '\0';
    } else if (name != fileName) {
        const size_t length = strlen(name);
        if (length >= sizeof fileName) return 0;  // a cut name would be another file
        memcpy(fileName, name, length + 1);
    }
    if (fileName[0] != '\0') {
        CloseHandleOnly();
        file = _lcreat(fileName, 0);
        if (file == HFILE_ERROR) return 0;
    }
    opened = 0;
    completed = 0;
    OnOpening();
    if (request->context == nullptr && GetHostInfo(Instance(), kInfoContext, contextText))
        request->context = contextText;
    // Attached at once, like every stream that holds a handle: the
    // stream-ready notice tells the host to announce the data.
    if (Open(request, flags) && (handle == kNoStream || Attach(handle))) {
        opened = 1;
    } else {
        Close();
        CloseHandleOnly();
        if (fileName[0] != '\0') DeleteFileA(fileName);
    }
    return opened;
}

// GetTempFileNameA creates the file, so the name is ours; whatever fails
// after that removes it again.
int32_t FileStream::OpenTemp(UrlRequest* request, WPARAM flags) {
    char directory[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory) return 0;
    if (GetTempFileNameA(directory, "Plugins", 0, fileName) == 0) {
        fileName[0] = '\0';
        return 0;
    }
    if (OpenFile(fileName, request, flags)) return 1;
    DeleteFileA(fileName);
    fileName[0] = '\0';
    return 0;
}

int32_t FileStream::OpenURL(const char* url, const char* context, const char* data, int32_t method,
                            WPARAM flags) {
    UrlRequest request{url, context, data, method, 0};
    return OpenTemp(&request, flags);
}
