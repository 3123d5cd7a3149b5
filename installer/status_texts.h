// Every status text the installer's window can show. Those with a %s take
// the component type (as the question shows it) or a file name.
#pragma once

// Start: what the page element names.
constexpr char kTextNoType[] = "Cannot install QPM";
constexpr char kTextCannotInstallType[] = "Cannot install QPM for type %s";
constexpr char kTextPlatformUnsupported[] = "Your platform is not supported by the QPM";
constexpr char kTextNoSource[] = "There is no QPM source for your platform";
constexpr char kTextCannotRequest[] = "Could not load QPM source";
constexpr char kTextDownloading[] = "Downloading QPM from remote server";

// The download.
constexpr char kTextDownloadFailed[] = "Could not load QPM from remote server";
constexpr char kTextModuleTooLarge[] = "The QPM from remote server is larger than 64 MB";
constexpr char kTextCannotSaveModule[] = "Could not save QPM to a temporary file";
constexpr char kTextDownloaded[] = "QPM downloaded from remote server";

// The question and the installation.
constexpr char kTextAborted[] = "QPM installation aborted";
constexpr char kTextNoFileName[] = "Could not create a DLL filename for the QPM";
constexpr char kTextCopying[] = "Copying QPM to %s";
constexpr char kTextCannotCopy[] = "Could not copy QPM to %s";
constexpr char kTextInstalled[] = "The QPM for type %s has been installed";
constexpr char kTextCannotLoad[] = "Could not load the QPM";
constexpr char kTextNotAModule[] = "The DLL is not a valid QPM module";
constexpr char kTextCannotCreate[] = "Could not initialize the QPM";
constexpr char kTextStartRefused[] = "QPM initialization failed";

// The question itself: the type, then the 32 digits of the fingerprint.
constexpr char kQuestionCaption[] = "QPM Installation";
constexpr char kQuestionText[] =
    "A program module for the QPM type %s has been downloaded.  The downloaded module has the "
    "MD5 fingerprint %s.  Do you wish to install this module permanently?";
