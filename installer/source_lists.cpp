// The platform and source list rules, and the type from "SRC".
#include "source_lists.h"

#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

const char* SkipSeparators(const char* p) {
    while (*p == ',' || IsBlank(*p)) ++p;
    return p;
}

const char* NextComma(const char* p) {
    while (*p != '\0' && *p != ',') ++p;
    return p;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool IsWin32(const char* item) {
    static const char kName[] = "win32";
    for (int i = 0; i < 5; ++i)
        if (Lower(item[i]) != kName[i]) return false;  // also stops at the list's end
    return item[5] == '\0' || item[5] == ',' || IsBlank(item[5]);
}

}  // namespace

int32_t FindWin32Platform(const char* platforms) {
    int32_t index = 0;
    for (const char* p = SkipSeparators(platforms); *p != '\0';
         p = SkipSeparators(NextComma(p)), ++index) {
        if (IsWin32(p)) return index;
    }
    return -1;
}

bool TakeSource(char* sources, int32_t index) {
    if (index < 0) return false;
    const char* p = SkipSeparators(sources);
    for (int32_t i = 0; i < index && *p != '\0'; ++i) p = SkipSeparators(NextComma(p));
    if (*p == '\0') return false;
    size_t length = 0;
    while (p[length] != '\0' && p[length] != ',' && !IsBlank(p[length])) ++length;
    memmove(sources, p, length);
    sources[length] = '\0';
    return true;
}

void TypeFromSource(const char* source, char* type, size_t size) {
    type[0] = '\0';
    const char* end = source + strlen(source);
    for (const char* p = end; p > source; --p) {
        char c = p[-1];
        if (c == '/' || c == '\\') return;
        if (c == '.') {
            size_t length = size_t(end - p) < size - 1 ? size_t(end - p) : size - 1;
            memcpy(type, p, length);
            type[length] = '\0';
            return;
        }
    }
}
