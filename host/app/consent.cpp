// The terminal's message box.
#include "app/consent.h"

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Button {
    char key;
    const char* label;  // with the key in brackets
    int result;
};

std::vector<Button> ButtonsFor(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{'o', "[O]K", IDOK}, {'c', "[C]ancel", IDCANCEL}};
        case MB_ABORTRETRYIGNORE:
            return {
                {'a', "[A]bort", IDABORT}, {'r', "[R]etry", IDRETRY}, {'i', "[I]gnore", IDIGNORE}};
        case MB_YESNOCANCEL:
            return {{'y', "[Y]es", IDYES}, {'n', "[N]o", IDNO}, {'c', "[C]ancel", IDCANCEL}};
        case MB_YESNO:
            return {{'y', "[Y]es", IDYES}, {'n', "[N]o", IDNO}};
        case MB_RETRYCANCEL:
            return {{'r', "[R]etry", IDRETRY}, {'c', "[C]ancel", IDCANCEL}};
        default:
            return {{'o', "[O]K", IDOK}};
    }
}

int ResultFor(const std::vector<Button>& buttons, int id) {
    for (const Button& button : buttons)
        if (button.result == id) return id;
    return 0;
}

}  // namespace

int AskOnTerminal(FILE* in, FILE* out, const char* text, const char* caption, UINT type) {
    const std::vector<Button> buttons = ButtonsFor(type);
    std::string prompt;
    for (const Button& button : buttons)
        prompt += (prompt.empty() ? "" : "/") + std::string(button.label);
    fprintf(out, "\n== %s ==\n%s\n", caption ? caption : "Error", text ? text : "");
    char line[256];
    for (;;) {
        fprintf(out, "%s? ", prompt.c_str());
        fflush(out);
        if (fgets(line, sizeof line, in) == nullptr) return ResultFor(buttons, IDCANCEL);
        const char* p = line;
        while (*p == ' ' || *p == '\t') ++p;
        const char key = char(tolower(static_cast<unsigned char>(*p)));
        for (const Button& button : buttons)
            if (button.key == key) return button.result;
    }
}

int AnswerForFlag(ConsentAnswer answer, UINT type) {
    if (answer == ConsentAnswer::kAsk) return 0;
    const std::vector<Button> buttons = ButtonsFor(type);
    const bool yes = answer == ConsentAnswer::kYes;
    // Yes means the affirmative button the box has, no the negative one.
    const int wanted[] = {yes ? IDYES : IDNO, yes ? IDOK : IDCANCEL, yes ? IDRETRY : IDABORT};
    for (int id : wanted)
        if (int result = ResultFor(buttons, id)) return result;
    return buttons.front().result;
}
