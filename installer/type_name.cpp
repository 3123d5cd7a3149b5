// Checking and showing the component type name.
#include "type_name.h"

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

bool IsSafeTypeName(const char* type) {
    if (type[0] == '[') return false;
    bool onlyBlanks = true;
    for (const char* p = type; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (IsControl(c) || c == '=') return false;
        if (c != ' ') onlyBlanks = false;
    }
    return !onlyBlanks;
}

void ShownTypeName(const char* type, char shown[kShownTypeSize]) {
    size_t n = 0;
    for (; type[n] != '\0' && n < kShownTypeLength; ++n)
        shown[n] = IsControl(static_cast<unsigned char>(type[n])) ? '?' : type[n];
    if (type[n] != '\0')
        for (int i = 0; i < 3; ++i) shown[n++] = '.';
    shown[n] = '\0';
}
