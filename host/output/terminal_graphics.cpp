// The names of the terminal's kinds of graphics.
#include "output/terminal_graphics.h"

namespace {

struct Named {
    const char* name;
    TerminalGraphics graphics;
};

const Named kNames[] = {{"kitty", TerminalGraphics::kKitty},
                        {"sixel", TerminalGraphics::kSixel},
                        {"iterm", TerminalGraphics::kIterm},
                        {"symbols", TerminalGraphics::kSymbols}};

}  // namespace

bool ParseTerminalGraphics(const std::string& name, TerminalGraphics* out) {
    for (const Named& named : kNames) {
        if (name == named.name) {
            *out = named.graphics;
            return true;
        }
    }
    return false;
}

const char* TerminalGraphicsName(TerminalGraphics graphics) {
    for (const Named& named : kNames)
        if (named.graphics == graphics) return named.name;
    return "auto";
}
