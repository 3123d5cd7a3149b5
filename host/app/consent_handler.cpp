// The process's MessageBoxA handler: a flag's answer or a question on
// the terminal.
#include <qpm_platform.h>

#include <cstdio>

#include "app/consent.h"
#include "session/log.h"

namespace {

struct HandlerState {
    ConsentAnswer answer = ConsentAnswer::kAsk;
    std::function<void()> suspend, resume;
};

HandlerState& State() {
    static HandlerState state;
    return state;
}

int HandleMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT type, void*) {
    HandlerState& state = State();
    if (state.answer != ConsentAnswer::kAsk) {
        // What was agreed to (a module's fingerprint, say) stays on record.
        LogVerbose("question \"%s\": %s -- answered %s", caption ? caption : "", text ? text : "",
                   state.answer == ConsentAnswer::kYes ? "--yes" : "--no");
        return AnswerForFlag(state.answer, type);
    }
    FILE* tty = fopen("/dev/tty", "r+");
    if (tty == nullptr) return 0;
    if (state.suspend) state.suspend();
    int result = AskOnTerminal(tty, tty, text, caption, type);
    if (state.resume) state.resume();
    fclose(tty);
    return result;
}

}  // namespace

void InstallConsentHandler(ConsentAnswer answer, std::function<void()> suspend,
                           std::function<void()> resume) {
    HandlerState& state = State();
    state.answer = answer;
    state.suspend = std::move(suspend);
    state.resume = std::move(resume);
    QpmSetMessageBoxHandler(&HandleMessageBox, nullptr);
}
