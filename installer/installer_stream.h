// InstallerStream: the download of a module for a QPMInstaller.
//
// A FileStream into a temporary file that also feeds every byte to the
// installer's fingerprint, refuses a module larger than kMaxModuleSize,
// and tells the installer when the module has arrived whole or the
// download failed.
#pragma once

#include <cstdint>

#include "file_stream.h"

class QPMInstaller;

class InstallerStream : public FileStream {
public:
    // The largest module the installer takes: a download that grows
    // beyond it fails before anything is asked.
    static constexpr int64_t kMaxModuleSize = 64 << 20;
    // The fingerprint is fed in pieces of at most this many bytes.
    static constexpr int32_t kDigestPiece = 16384;

    explicit InstallerStream(QPMInstaller* owner);  // resets the owner's fingerprint

    void OnData(const char* buffer, int32_t length, int32_t offset) override;
    void OnFileComplete() override;
    void OnFileFailed() override;

protected:
    void OnOpening() override;

private:
    QPMInstaller* installer_;
    int64_t received_;
    bool tooLarge_;
};
