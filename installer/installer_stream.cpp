// InstallerStream: fingerprinting the module as it arrives, and handing
// the result to the installer.
#include "installer_stream.h"

#include "md5.h"
#include "qpm_installer.h"
#include "status_texts.h"

InstallerStream::InstallerStream(QPMInstaller* owner)
    : FileStream(owner), installer_(owner), received_(0), tooLarge_(false) {
    MD5Init(&owner->digest);
}

void InstallerStream::OnData(const char* buffer, int32_t length, int32_t offset) {
    if (!opened || length <= 0) return;
    received_ += length;
    if (received_ > kMaxModuleSize) {
        tooLarge_ = true;
        Abandon();
        return;
    }
    for (int32_t done = 0; done < length; done += kDigestPiece) {
        int32_t piece = length - done < kDigestPiece ? length - done : kDigestPiece;
        MD5Update(&installer_->digest, buffer + done, size_t(piece));
    }
    FileStream::OnData(buffer, length, offset);
}

// Before the request goes out: a host may deliver the whole module
// while it answers, and the installer must know its file by then.
void InstallerStream::OnOpening() { installer_->DownloadStarted(fileName); }

void InstallerStream::OnFileComplete() {
    installer_->InstallDownloadedModule();
    finished = true;  // the next idle sweep deletes the stream
}

void InstallerStream::OnFileFailed() {
    if (tooLarge_)
        installer_->ReportDownloadFailure(kTextModuleTooLarge);
    else if (writeFailed)
        installer_->ReportDownloadFailure(kTextCannotSaveModule);
    else
        installer_->DownloadFailed();
    finished = true;
}
