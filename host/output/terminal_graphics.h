// How the terminal is drawn on: one of the graphics protocols, at the
// page's own resolution, or character symbols. `--term-graphics` names
// one; by default the terminal's own kind decides (see TerminalPicture).
#pragma once

#include <string>

enum class TerminalGraphics { kAuto, kKitty, kSixel, kIterm, kSymbols };

// "kitty", "sixel", "iterm" or "symbols"; false for anything else.
bool ParseTerminalGraphics(const std::string& name, TerminalGraphics* out);
const char* TerminalGraphicsName(TerminalGraphics graphics);
