// Installing a downloaded module: the question, the module's place, its
// DRX.REG entries and what runs afterwards, for modules the project
// builds (the ticker and a small test module).
#include "installer_fixture.h"
#include "md5.h"

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
};

const Outcome kOutcomes[] = {
    {QPM_PELLUX_LIBRARY, {{"TEXT", "hello"}}, IDYES, kTextInstalled, true, kNone},
    {QPM_TEST_MODULE, {}, IDNO, kTextAborted, false, kNone},
    {QPM_TEST_MODULE, {}, 0, kTextAborted, false, kNone},  // the box failed
    {QPM_TEST_MODULE_NO_SETINSTANCE, {}, IDYES, kTextInstalled, true, kNone},
    // Refused after it was put in place: neither the entry nor the file stays.
    {QPM_TEST_MODULE_NO_CALCSIZE, {}, IDYES, kTextNotAModule, false, kNone},
    {QPM_TEST_MODULE, {{"FAILCREATE", ""}}, IDYES, kTextCannotCreate, false, kNone},
    {QPM_TEST_MODULE, {{"START", "0"}}, IDYES, kTextStartRefused, false, kNone},
    {nullptr, {}, IDYES, kTextCannotLoad, false, kNone},
    {QPM_TEST_MODULE, {{"START", "2"}}, IDYES, kTextInstalled, true, "Y"},
    // Confirmed while still answering 1025: final at once.
    {QPM_TEST_MODULE, {{"START", "2"}, {"CONFIRM", "start"}}, IDYES, kTextInstalled, true, kNone},
};

// Each row installs a type of its own: "r0/x" goes to R0X32.DLL, ...
TEST_F(InstallerTest, EachOutcomeLeavesItsStatusEntriesAndFiles) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler and Windows directory");
    for (const Outcome& o : kOutcomes) {
        const std::string row = std::to_string(&o - kOutcomes), path = dir + "/R" + row + "X32.DLL";
        const std::string bytes = o.library ? ReadBytes(o.library) : "MZ no library";
        type = "r" + row + "/x";
        reply = o.answer;
        HWND w = Install(bytes, o.attributes);
        QPMInstaller* installer = Installer(w);
        EXPECT_EQ(question, "A program module for the QPM type " + type +
                                " has been downloaded.  The downloaded module has the MD5 "
                                "fingerprint " +
                                Md5Of(bytes) +
                                ".  Do you wish to install this module permanently?");
        char status[QPMInstaller::kTextSize];
        snprintf(status, sizeof status, o.status, type.c_str());
        EXPECT_STREQ(installer->statusText, status);
        EXPECT_EQ(Entry("DRX-Win32"), o.recorded ? path : kNone) << row;
        EXPECT_EQ(Entry("DRX-Win32-Installing"), o.installing) << row;
        EXPECT_EQ(Exists(path), o.recorded) << row;
        // Every module recorded runs, as the installer's child.
        EXPECT_EQ(installer->childWindow != nullptr, o.recorded) << row;
        EXPECT_EQ(GetWindow(w, GW_CHILD), installer->childWindow) << row;
        EXPECT_EQ(installer->tempPath[0], '\0');
        for (const auto& entry : std::filesystem::directory_iterator(dir))  // nor partial copies
            EXPECT_NE(entry.path().extension(), ".tmp") << entry.path() << " " << row;
    }
}

TEST_F(InstallerTest, TheQuestionShowsALongTypeCutAndTheWholeFingerprint) {
    QPM_REQUIRES_HOST_EXTENSION("MessageBoxA handler");
    type = std::string(300, 'x');
    reply = IDNO;
    Install("module");
    EXPECT_NE(question.find("type " + std::string(64, 'x') + "... has"), std::string::npos);
    EXPECT_NE(question.find("fingerprint " + Md5Of("module") + "."), std::string::npos);
}

}  // namespace
