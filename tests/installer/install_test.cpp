// Installing a downloaded module: the question, the module's place, its
// DRX.REG entries and what runs afterwards, for modules the project
// builds (the ticker and small test modules).
#include "installer_fixture.h"
#include "md5.h"
#include "status_texts.h"

namespace {

std::string Md5Of(const std::string& bytes) {
    MD5Context context;
    MD5Init(&context);
    MD5Update(&context, bytes.data(), bytes.size());
    unsigned char digest[kMD5DigestSize];
    MD5Final(digest, &context);
    char text[kMD5TextSize];
    FormatDigest(digest, text);
    return text;
}

struct Outcome {
    const char* library;     // the module served; null: bytes that are no library
    AttrList attributes;     // passed on to the module
    int answer;              // to the question
    const char* status;      // %s: the type
    bool recorded;           // its "DRX-Win32" entry and its file are there
    const char* installing;  // its "DRX-Win32-Installing" value
    bool running;            // its window is the installer's child
};

const Outcome kOutcomes[] = {
    {QPM_PELLUX_LIBRARY, {{"TEXT", "hello"}}, IDYES, kTextInstalled, true, kNone, true},
    {QPM_TEST_MODULE, {}, IDNO, kTextAborted, false, kNone, false},
    {QPM_TEST_MODULE, {}, 0, kTextAborted, false, kNone, false},  // the box failed
    {QPM_TEST_MODULE_NO_SETINSTANCE, {}, IDYES, kTextInstalled, true, kNone, true},
    // Refused after it was put in place: neither the entry nor the file stays.
    {QPM_TEST_MODULE_NO_CALCSIZE, {}, IDYES, kTextNotAModule, false, kNone, false},
    {QPM_TEST_MODULE, {{"FAILCREATE", ""}}, IDYES, kTextCannotCreate, false, kNone, false},
    {QPM_TEST_MODULE, {{"START", "0"}}, IDYES, kTextStartRefused, false, kNone, false},
    {nullptr, {}, IDYES, kTextCannotLoad, false, kNone, false},
    {QPM_TEST_MODULE, {{"START", "2"}}, IDYES, kTextInstalled, true, "Y", true},
    // Confirmed while still answering 1025: final at once.
    {QPM_TEST_MODULE,
     {{"START", "2"}, {"CONFIRM", "start"}},
     IDYES,
     kTextInstalled,
     true,
     kNone,
     true},
};

// Each row installs a type of its own ("r0/x" goes to R0X32.DLL, ...).
TEST_F(InstallerTest, EachOutcomeLeavesItsStatusEntriesAndFiles) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and Windows directory");
    for (const Outcome& o : kOutcomes) {
        type = "r" + std::to_string(&o - kOutcomes) + "/x";
        const std::string bytes = o.library ? ReadBytes(o.library) : "MZ no library";
        HWND w = Install(bytes, o.attributes, o.answer);
        QPMInstaller* installer = Installer(w);
        const std::string path = dir + "/R" + std::to_string(&o - kOutcomes) + "X32.DLL";
        EXPECT_EQ(question, "A program module for the QPM type " + type +
                                " has been downloaded.  The downloaded module has the MD5 "
                                "fingerprint " +
                                Md5Of(bytes) +
                                ".  Do you wish to install this module permanently?");
        char status[QPMInstaller::kTextSize];
        snprintf(status, sizeof status, o.status, type.c_str());
        EXPECT_STREQ(installer->statusText, status);
        EXPECT_EQ(Entry("DRX-Win32"), o.recorded ? path : kNone) << o.status;
        EXPECT_EQ(Entry("DRX-Win32-Installing"), o.installing) << o.status;
        EXPECT_EQ(Exists(path), o.recorded) << o.status;
        EXPECT_EQ(installer->childWindow != nullptr, o.running) << o.status;
        EXPECT_EQ(GetWindow(w, GW_CHILD) != nullptr, o.running) << o.status;
        EXPECT_EQ(installer->tempPath[0], '\0');
        // No temporary file and no partial copy is left.
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            EXPECT_NE(entry.path().extension(), ".tmp") << entry.path() << " " << o.status;
    }
}

TEST_F(InstallerTest, TheQuestionShowsALongTypeCutAndTheWholeFingerprint) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler");
    Answer(IDNO);
    const std::string type(300, 'x');
    host.ServeStream(kModuleUrl, kModuleHandle, "module");
    HWND w = Create({{"TYPE", type}, {"QPMSRC", kModuleUrl}, {"QPMPLATFORMS", "Win32"}});
    SendMessageA(w, QPMM_START, 0, 0);
    Deliver(w);
    EXPECT_NE(question.find("type " + std::string(64, 'x') + "... has"), std::string::npos);
    EXPECT_NE(question.find("fingerprint " + Md5Of("module") + "."), std::string::npos);
}

}  // namespace
