// MessageBoxA with and without the host's handler.
#include "user_fixture.h"

namespace usertest {
namespace {

using MessageBoxTest = UserTest;

struct BoxCall {
    HWND owner = nullptr;
    std::string text, caption;
    UINT type = 0;
    UINT pumped = 0;
};

// A handler that runs the nested loop a modal box would, then answers IDNO.
int AnswerNo(HWND owner, LPCSTR text, LPCSTR caption, UINT type, void* context) {
    auto* call = static_cast<BoxCall*>(context);
    call->owner = owner;
    call->text = text;
    call->caption = caption;
    call->type = type;
    call->pumped = QpmPumpMessages();
    return IDNO;
}

TEST_F(MessageBoxTest, WithoutAHandlerItFails) {
    QPM_LAYER_CHOICE("with no one to answer, the box fails; Windows shows it and waits");
    SetLastError(0xDEAD);
    EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_OK), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANCELLED));
}

TEST_F(MessageBoxTest, TheHandlerAnswersAndMessagesFlowMeanwhile) {
    QPM_REQUIRES_HOST_EXTENSION("message box handler");
    HWND owner = TopLevel("owner");
    BoxCall call;
    QpmSetMessageBoxHandler(AnswerNo, &call);
    PostMessageA(owner, WM_USER + 1, 0, 0);
    EXPECT_EQ(MessageBoxA(owner, "Install?", "QPM Installation", MB_YESNOCANCEL), IDNO);
    EXPECT_EQ(call.owner, owner);
    EXPECT_EQ(call.text, "Install?");
    EXPECT_EQ(call.caption, "QPM Installation");
    EXPECT_EQ(call.type, UINT(MB_YESNOCANCEL));
    EXPECT_EQ(call.pumped, 1u);
    EXPECT_EQ(MessageLog::Get().Only({WM_USER + 1}).size(), 1u);

    EXPECT_EQ(MessageBoxA(nullptr, "x", nullptr, MB_OK), IDNO);
    EXPECT_EQ(call.caption, "Error");

    SetLastError(0xDEAD);
    EXPECT_EQ(MessageBoxA(reinterpret_cast<HWND>(uintptr_t(0x999)), "x", "y", MB_OK), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

}  // namespace
}  // namespace usertest
