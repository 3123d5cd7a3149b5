// Private profile files: where they live, the bytes written, parsing and
// lookup, defaults. Expected bytes are those Windows writes.
#include "profile_test_support.h"

namespace {

using qpm_test::ProfileResult;
using qpm_test::ProfileTest;
using qpm_test::ReadFileBytes;
using qpm_test::Visible;

#define EXPECT_BYTES(actual, expected) \
    EXPECT_EQ(Visible(actual), Visible(std::string(expected, sizeof(expected) - 1)))

TEST_F(ProfileTest, BareNameLivesInTheWindowsDirectory) {
    qpm_test::ScratchDir cwd;
    qpm_test::CurrentDirectoryScope in(cwd.path());
    EXPECT_TRUE(WritePrivateProfileStringA("Sec", "Key", "Val", "DRX.REG"));
    EXPECT_BYTES(ReadFileBytes(windows / "DRX.REG"), "[Sec]\r\nKey=Val\r\n");
    EXPECT_TRUE(cwd.List().empty());

    char buffer[16];
    EXPECT_EQ(GetPrivateProfileStringA("Sec", "Key", "", buffer, 16, "DRX.REG"), 3u);
    EXPECT_STREQ(buffer, "Val");
    std::string full = windows / "DRX.REG";
    EXPECT_EQ(GetPrivateProfileStringA("Sec", "Key", "", buffer, 16, full.c_str()), 3u);
    EXPECT_STREQ(buffer, "Val");
}

TEST_F(ProfileTest, BareNameIsNeverSearchedInTheCurrentDirectory) {
    qpm_test::ScratchDir cwd;
    qpm_test::CurrentDirectoryScope in(cwd.path());
    qpm_test::WriteFileBytes(cwd / "ONLYCWD.INI", "[S]\r\nk=v\r\n");
    char buffer[100];
    SetLastError(0);
    EXPECT_EQ(GetPrivateProfileStringA("S", "k", "not-found", buffer, 100, "ONLYCWD.INI"), 9u);
    EXPECT_STREQ(buffer, "not-found");
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(windows.List().empty());  // reading never creates a file
}

TEST_F(ProfileTest, NameWithSeparatorIsRelativeToTheCurrentDirectory) {
    qpm_test::ScratchDir cwd;
    qpm_test::CurrentDirectoryScope in(cwd.path());
    SetLastError(0);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", "sub\\rel.ini"));  // no "sub" yet
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    ASSERT_TRUE(qpm_test::MakeDirectory(cwd / "sub"));
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "v", "sub\\rel.ini"));
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "v", "sub/fwd.ini"));
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "v", ".\\dot.ini"));
    EXPECT_TRUE(qpm_test::FileExists(cwd / "sub/rel.ini"));
    EXPECT_TRUE(qpm_test::FileExists(cwd / "sub/fwd.ini"));
    EXPECT_TRUE(qpm_test::FileExists(cwd / "dot.ini"));
    EXPECT_TRUE(windows.List().empty());
}

TEST_F(ProfileTest, MissingFileOrDirectoryGivesTheDefaultAndAnError) {
    struct Row {
        std::string file;
        DWORD error;
    };
    const Row rows[] = {
        {windows / "missing.ini", ERROR_FILE_NOT_FOUND},
        {windows / "nodir/missing.ini", ERROR_PATH_NOT_FOUND},
    };
    for (const Row& row : rows) {
        char buffer[16];
        SetLastError(0);
        EXPECT_EQ(GetPrivateProfileStringA("S", "k", "dflt", buffer, 16, row.file.c_str()), 4u);
        EXPECT_STREQ(buffer, "dflt");
        EXPECT_EQ(GetLastError(), row.error) << row.file;
        SetLastError(0);
        EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", (row.file + "/x").c_str()));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    }
    EXPECT_TRUE(windows.List().empty());
}

TEST_F(ProfileTest, DeletingFromAMissingFileCreatesNothing) {
    EXPECT_TRUE(W("s", "k", nullptr));
    EXPECT_TRUE(W("s", nullptr, nullptr));
    SetLastError(0);
    EXPECT_FALSE(W(nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    SetLastError(0);
    EXPECT_FALSE(W(nullptr, "k", "v"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(windows.List().empty());
}

TEST_F(ProfileTest, NewKeysAndSectionsGoAtTheEndAndNamesMatchInAnyCase) {
    EXPECT_TRUE(W("Sec", "Key", "Val"));
    EXPECT_BYTES(Bytes(), "[Sec]\r\nKey=Val\r\n");
    SetBytes("");
    EXPECT_TRUE(W("Alpha", "One", "1"));
    EXPECT_TRUE(W("Alpha", "Two", "2"));
    EXPECT_TRUE(W("Beta", "X", "x"));
    EXPECT_TRUE(W("alpha", "THREE", "3"));
    EXPECT_TRUE(W("ALPHA", "one", "uno"));
    EXPECT_BYTES(Bytes(), "[Alpha]\r\nOne=uno\r\nTwo=2\r\nTHREE=3\r\n[Beta]\r\nX=x\r\n");
    EXPECT_EQ(G("aLpHa", "oNe"), (ProfileResult{3, "uno"}));

    EXPECT_TRUE(W("Alpha", "Two", nullptr));
    EXPECT_BYTES(Bytes(), "[Alpha]\r\nOne=uno\r\nTHREE=3\r\n[Beta]\r\nX=x\r\n");
    EXPECT_TRUE(W("Beta", nullptr, nullptr));
    EXPECT_BYTES(Bytes(), "[Alpha]\r\nOne=uno\r\nTHREE=3\r\n");
    EXPECT_TRUE(W("Alpha", nullptr, "ignored"));  // a NULL key deletes, whatever the value
    EXPECT_BYTES(Bytes(), "");
}

TEST_F(ProfileTest, DeletingWhatIsNotThereOrRewritingAValueLeavesTheBytes) {
    const char kHandWritten[] = "[A]\r\n  k =  v  \r\n\r\n";
    SetBytes(kHandWritten);
    EXPECT_TRUE(W("A", "missing", nullptr));
    EXPECT_TRUE(W("Missing", nullptr, nullptr));
    EXPECT_TRUE(W("A", "k", "v"));  // the value already there
    EXPECT_BYTES(Bytes(), kHandWritten);
}

TEST_F(ProfileTest, EmptyValuesKeysAndSections) {
    EXPECT_TRUE(W("Alpha", "One", "1"));
    EXPECT_TRUE(W("Empty", "K", ""));
    EXPECT_TRUE(W("Alpha", "", "emptykey"));
    EXPECT_TRUE(W("", "top", "v"));  // before the first section
    EXPECT_BYTES(Bytes(), "top=v\r\n[Alpha]\r\nOne=1\r\n=emptykey\r\n[Empty]\r\nK=\r\n");
    EXPECT_EQ(G("Empty", "K", "dflt"), (ProfileResult{0, ""}));  // empty, not the default
    EXPECT_EQ(G("Alpha", ""), (ProfileResult{8, "emptykey"}));
    EXPECT_EQ(G("", "top"), (ProfileResult{1, "v"}));
}

TEST_F(ProfileTest, LeadingBlanksDropTrailingOnesLastUntilTheNextRewrite) {
    EXPECT_TRUE(W(" Sp ", " key ", " val "));
    EXPECT_BYTES(Bytes(), "[Sp ]\r\nkey =val \r\n");
    EXPECT_EQ(G(" Sp ", " key "), (ProfileResult{3, "val"}));
    EXPECT_EQ(G("Sp", "key"), (ProfileResult{3, "val"}));
    EXPECT_TRUE(W("Q", "k2", "  lead"));
    EXPECT_BYTES(Bytes(), "[Sp]\r\nkey=val\r\n[Q]\r\nk2=lead\r\n");
}

TEST_F(ProfileTest, EveryWriteRewritesTheWholeFileFromItsParsedForm) {
    SetBytes(
        "; leading comment\r\n\r\n[ Sec ]\r\n  key1  =  value1  \r\nkey2=\"quoted\"\r\n"
        "key3=\"unbalanced\r\nkey4='single'\r\nkey5=  \" padded \"  \r\nnoequals\r\n"
        ";comment=1\r\nkey6=a;b\r\n# hash=2\r\nkey7=\"\"\r\nKEY8=first\r\nkey8=second\r\n"
        "\tkey9\t=\ttab\t\r\n[Sec]\r\nkey10=dupsection\r\nkey1=dupkey\r\n[sec2]x\r\n"
        "k=after-junk\r\n[unterminated\r\nk=u\r\n");
    EXPECT_TRUE(W("Sec", "new", "n"));
    EXPECT_BYTES(Bytes(),
                 "; leading comment\r\n[Sec]\r\nkey1=value1\r\nkey2=\"quoted\"\r\n"
                 "key3=\"unbalanced\r\nkey4='single'\r\nkey5=\" padded \"\r\nnoequals\r\n"
                 ";comment=1\r\nkey6=a;b\r\n# hash=2\r\nkey7=\"\"\r\nKEY8=first\r\n"
                 "key8=second\r\nkey9=tab\r\nnew=n\r\n[Sec]\r\nkey10=dupsection\r\n"
                 "key1=dupkey\r\n[sec2]\r\nk=after-junk\r\n[unterminated\r\nk=u\r\n");
}

TEST_F(ProfileTest, LfOnlyFileWithoutFinalNewline) {
    SetBytes("[A]\na=1\n[B]\nb=2");
    EXPECT_TRUE(W("A", "z", "26"));
    EXPECT_BYTES(Bytes(), "[A]\r\na=1\r\nz=26\r\n[B]\r\nb=2\r\n");
}

TEST_F(ProfileTest, LookupTrimsStripsOneQuotePairAndTakesTheFirstMatch) {
    SetBytes(
        "[ Sec ]\r\nkey1 = value1 \r\nkey2=\"quoted\"\r\nkey3=\"unbalanced\r\n"
        "key4='single'\r\nkey5=  \" padded \"  \r\nnoequals\r\n;comment=1\r\nkey6=a;b\r\n"
        "# hash=2\r\nkey7=\"\"\r\nKEY8=first\r\nkey8=second\r\nmixed=\"a\" b \"c\"\r\n"
        "lone=\"\r\n[Sec]\r\nkey10=dupsection\r\n[sec2]x\r\nk=after-junk\r\n");
    struct Row {
        const char* section;
        const char* key;
        ProfileResult expected;
    };
    const Row rows[] = {
        {" Sec ", " key1 ", {6, "value1"}},
        {"Sec", "key2", {6, "quoted"}},
        {"Sec", "key3", {11, "\"unbalanced"}},
        {"Sec", "key4", {6, "single"}},
        {"Sec", "key5", {8, " padded "}},
        {"Sec", "noequals", {4, "dflt"}},  // a line without '=' is not a key
        {"Sec", ";comment", {1, "1"}},
        {"Sec", "key6", {3, "a;b"}},
        {"Sec", "# hash", {1, "2"}},
        {"Sec", "key7", {0, ""}},
        {"Sec", "key8", {5, "first"}},
        {"Sec", "mixed", {7, "a\" b \"c"}},
        {"Sec", "lone", {1, "\""}},
        {"Sec", "key10", {4, "dflt"}},  // only the first [Sec] is searched
        {"sec2", "k", {10, "after-junk"}},
        {"Nowhere", "k", {4, "dflt"}},
    };
    for (const Row& row : rows) EXPECT_EQ(G(row.section, row.key, "dflt"), row.expected) << row.key;
}

TEST_F(ProfileTest, HeaderEndsAtTheLastBracketOnItsLine) {
    SetBytes("[S6]x]\r\nk=1\r\n[[S9]]\r\nk=2\r\n[Inj3]]\r\nk=3\r\n[open\r\nk=4\r\n");
    EXPECT_EQ(G("S6]x", "k"), (ProfileResult{1, "1"}));
    EXPECT_EQ(G("[S9]", "k"), (ProfileResult{1, "2"}));
    EXPECT_EQ(G("Inj3]", "k"), (ProfileResult{1, "3"}));
    EXPECT_EQ(G("S9", "k", "d"), (ProfileResult{1, "d"}));
    EXPECT_EQ(G("open", "k", "d"), (ProfileResult{1, "d"}));  // "[open" is just a line
    EXPECT_EQ(G("Inj3]", "[open", "d"), (ProfileResult{1, "d"}));
}

TEST_F(ProfileTest, DefaultLosesTrailingBlanksAndQuotes) {
    SetBytes("[S]\r\n");
    struct Row {
        const char* def;
        DWORD size;
        ProfileResult expected;
    };
    const Row rows[] = {
        {"", 100, {0, ""}},
        {nullptr, 100, {0, ""}},
        {"dflt  ", 100, {4, "dflt"}},
        {"  dflt", 100, {6, "  dflt"}},
        {"\"dflt\"", 100, {4, "dflt"}},
        {"0123456789", 5, {4, "0123"}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(G("S", "missing", row.def, row.size), row.expected)
            << (row.def ? row.def : "NULL");
        EXPECT_EQ(G("NoSection", "k", row.def, row.size), row.expected);
    }
}

TEST_F(ProfileTest, IntegersParseLikeWindows) {
    SetBytes(
        "[N]\r\na=12abc\r\nb= 34\r\nc=-5\r\nd=0x10\r\ne=+7\r\nf=abc\r\ng=\r\n"
        "h=4294967297\r\ni=\"42\"\r\n");
    struct Row {
        const char* key;
        INT expected;
    };
    const Row rows[] = {{"a", 12}, {"b", 34}, {"c", -5}, {"d", 16}, {"e", 7},
                        {"f", 0},  {"g", 99}, {"h", 1},  {"i", 42}, {"missing", 99}};
    for (const Row& row : rows)
        EXPECT_EQ(INT(GetPrivateProfileIntA("N", row.key, 99, file)), row.expected) << row.key;
    EXPECT_EQ(INT(GetPrivateProfileIntA("N", "a", 99, "nofile.ini")), 99);
}

TEST_F(ProfileTest, EnumerationListsSectionsAndKeys) {
    SetBytes("[Alpha]\r\nOne=uno\r\nTHREE=3\r\n;hidden=1\r\nbare\r\n[Empty]\r\n");
    char buffer[100];
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileStringA("Alpha", nullptr, "", buffer, 100, file), 10u);
    EXPECT_EQ(std::string(buffer, 12), std::string("One\0THREE\0\0#", 12));
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buffer, 100, file), 12u);
    EXPECT_EQ(std::string(buffer, 14), std::string("Alpha\0Empty\0\0#", 14));
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, "One", "", buffer, 100, file), 12u);
    EXPECT_EQ(std::string(buffer, 13), std::string("Alpha\0Empty\0\0", 13));
}

// An empty name in the list would end it for every reader.
TEST_F(ProfileTest, EnumerationLeavesOutAnEmptyKey) {
    QPM_LAYER_CHOICE("Wine lists an empty key name, which ends the list early");
    SetBytes("[Alpha]\r\nOne=uno\r\n=emptykey\r\nTHREE=3\r\n");
    char buffer[100];
    EXPECT_EQ(GetPrivateProfileStringA("Alpha", nullptr, "", buffer, 100, file), 10u);
    EXPECT_EQ(std::string(buffer, 11), std::string("One\0THREE\0\0", 11));
    EXPECT_EQ(G("Alpha", ""), (ProfileResult{8, "emptykey"}));
}

TEST_F(ProfileTest, EnumerationKeepsDuplicates) {
    SetBytes("[Sec]\r\nKEY8=first\r\nkey8=second\r\n[Sec]\r\nx=1\r\n[sec2]\r\n");
    char buffer[100];
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buffer, 100, file), 13u);
    EXPECT_EQ(std::string(buffer, 14), std::string("Sec\0Sec\0sec2\0\0", 14));
    EXPECT_EQ(GetPrivateProfileStringA("Sec", nullptr, "", buffer, 100, file), 10u);
    EXPECT_EQ(std::string(buffer, 11), std::string("KEY8\0key8\0\0", 11));
}

TEST_F(ProfileTest, WinIniIsInTheWindowsDirectory) {
    // Windows has one already; the layer's scratch Windows directory not.
    const std::string before = ReadFileBytes(windows / "win.ini");
    char buffer[100];
    SetLastError(0);
    EXPECT_EQ(GetProfileStringA("NoSuchSectionXYZ", "k", "dflt", buffer, 100), 4u);
    EXPECT_STREQ(buffer, "dflt");
    EXPECT_EQ(GetLastError(), 0u);  // win.ini is always there on Windows
    EXPECT_EQ(GetProfileStringA("NoSuchSectionXYZ", "k", "", buffer, 100), 0u);
    EXPECT_EQ(GetProfileIntA("NoSuchSectionXYZ", "k", 77), 77u);

    EXPECT_TRUE(WriteProfileStringA("Netscape", "ini", "C:\\nets\\netscape.ini"));
    EXPECT_EQ(ReadFileBytes(windows / "win.ini"),
              before + "[Netscape]\r\nini=C:\\nets\\netscape.ini\r\n");
    EXPECT_EQ(GetProfileStringA("netscape", "INI", "", buffer, 100), 20u);
    EXPECT_STREQ(buffer, "C:\\nets\\netscape.ini");
    EXPECT_TRUE(WriteProfileStringA("Netscape", "n", "5"));
    EXPECT_EQ(GetProfileIntA("Netscape", "n", 0), 5u);
}

}  // namespace
