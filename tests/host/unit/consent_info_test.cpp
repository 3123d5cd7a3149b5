// The consent question on a terminal, and host information answers.
#include <gtest/gtest.h>

#include <qpm/protocol.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/consent.h"
#include "session/host_info.h"

namespace {

struct Asked {
    int result;
    std::string shown;
};

Asked Ask(const char* typed, UINT type, const char* text = "Install it?",
          const char* caption = "Setup") {
    std::string input = typed;
    FILE* in = fmemopen(input.data(), input.size(), "r");
    char* shown = nullptr;
    size_t shownSize = 0;
    FILE* out = open_memstream(&shown, &shownSize);
    Asked asked{AskOnTerminal(in, out, text, caption, type), ""};
    fclose(in);
    fclose(out);
    asked.shown.assign(shown, shownSize);
    free(shown);
    return asked;
}

TEST(Consent, AnswersMapToTheBoxButtons) {
    struct Case {
        const char* typed;
        UINT type;
        int result;
    } cases[] = {
        {"y\n", MB_YESNOCANCEL, IDYES},
        {"No\n", MB_YESNOCANCEL, IDNO},
        {" c\n", MB_YESNOCANCEL, IDCANCEL},
        {"", MB_YESNOCANCEL, IDCANCEL},
        // An empty line is no answer: asked again, and never Yes.
        {"\n", MB_YESNOCANCEL, IDCANCEL},
        {"\n  \nn\n", MB_YESNOCANCEL, IDNO},
        {"", MB_YESNO, 0},
        {"maybe\nyes\n", MB_YESNO, IDYES},
        {"c\n", MB_YESNO, 0},
        {"o\n", MB_OKCANCEL, IDOK},
        {"\n\nr\n", MB_RETRYCANCEL, IDRETRY},
        {"i\n", MB_ABORTRETRYIGNORE, IDIGNORE},
        {"o\n", MB_OK, IDOK},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Ask(c.typed, c.type).result, c.result) << c.typed << " type " << c.type;
}

TEST(Consent, CaptionTextAndButtonsAreShownInFull) {
    std::string text(700, 'x');
    text += " fingerprint 0123456789abcdef";
    Asked asked = Ask("y\n", MB_YESNOCANCEL | MB_ICONQUESTION, text.c_str(), "Install component?");
    EXPECT_NE(asked.shown.find("Install component?"), std::string::npos);
    EXPECT_NE(asked.shown.find(text), std::string::npos);
    EXPECT_NE(asked.shown.find("[Y]es/[N]o/[C]ancel? "), std::string::npos);
    // A wrong answer asks again.
    Asked twice = Ask("x\nn\n", MB_YESNO);
    EXPECT_EQ(twice.result, IDNO);
    size_t first = twice.shown.find("[Y]es/[N]o? ");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(twice.shown.find("[Y]es/[N]o? ", first + 1), std::string::npos);
}

TEST(Consent, FlagsAnswerWithoutAsking) {
    EXPECT_EQ(AnswerForFlag(ConsentAnswer::kYes, MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(AnswerForFlag(ConsentAnswer::kNo, MB_YESNOCANCEL), IDNO);
    EXPECT_EQ(AnswerForFlag(ConsentAnswer::kYes, MB_OKCANCEL), IDOK);
    EXPECT_EQ(AnswerForFlag(ConsentAnswer::kNo, MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(AnswerForFlag(ConsentAnswer::kNo, MB_OK), IDOK);
    EXPECT_EQ(AnswerForFlag(ConsentAnswer::kNo, MB_ABORTRETRYIGNORE), IDABORT);
    EXPECT_EQ(AnswerForFlag(ConsentAnswer::kAsk, MB_YESNO), 0);
}

TEST(HostInfo, ItemsTheHostKnows) {
    HostIdentity identity{"/w/DRX.REG", "ctx", "Ada King Lovelace", "ada@example.org",
                          "qpmhost/1.0"};
    struct Case {
        int item;
        bool known;
        const char* answer;
    } cases[] = {{1, true, "/w/DRX.REG"},
                 {2, true, "ctx"},
                 {3, false, ""},
                 {4, false, ""},
                 {5, true, "Ada"},
                 {6, true, "Ada King Lovelace"},
                 {7, true, "ada@example.org"},
                 {8, true, "qpmhost/1.0"},
                 {9, false, ""}};
    for (const Case& c : cases) {
        char buffer[kHostInfoSize];
        memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(AnswerHostInfo(identity, c.item, buffer, sizeof buffer), c.known) << c.item;
        EXPECT_STREQ(buffer, c.answer) << c.item;
    }
}

TEST(HostInfo, LongValuesAreCutToTheBuffer) {
    HostIdentity identity;
    identity.context = std::string(600, 'c');
    char buffer[kHostInfoSize];
    ASSERT_TRUE(AnswerHostInfo(identity, 2, buffer, sizeof buffer));
    EXPECT_EQ(strlen(buffer), 511u);
    EXPECT_FALSE(AnswerHostInfo(identity, 2, nullptr, 512));
    HostIdentity single;
    single.userName = "Prince";
    ASSERT_TRUE(AnswerHostInfo(single, 5, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "Prince");
}

TEST(HostInfo, AccountAndAgentDefaults) {
    HostIdentity identity;
    identity.userAddress = "given@example.org";
    FillUserFromAccount(&identity);
    EXPECT_FALSE(identity.userName.empty());
    EXPECT_EQ(identity.userAddress, "given@example.org");
    HostIdentity fresh;
    FillUserFromAccount(&fresh);
    EXPECT_NE(fresh.userAddress.find('@'), std::string::npos);
    EXPECT_EQ(HostUserAgent().rfind("qpmhost/1.0 (", 0), 0u);
}

}  // namespace
