// Module file names and the directory they go in.
#include "module_path.h"

#include <cstdio>
#include <cstring>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The name part from the type: A-Z, 0-9, '_' and '-' as they are, a-z in
// upper case, everything else left out; at most 6 characters.
size_t NameStem(const char* type, char stem[7]) {
    size_t n = 0;
    for (const char* p = type; *p != '\0' && n < 6; ++p) {
        char c = *p;
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-') stem[n++] = c;
    }
    stem[n] = '\0';
    return n;
}

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// The next of the 100 numbers: the second digit counts, carrying into the
// first, which wraps from 9 to 0.
void CountOn(char* digits) {
    if (digits[1] != '9') {
        ++digits[1];
        return;
    }
    digits[1] = '0';
    digits[0] = digits[0] == '9' ? '0' : char(digits[0] + 1);
}

}  // namespace

bool IsAbsolutePath(const char* path) {
    if (IsSeparator(path[0])) return true;
    char c = path[0];
    return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':' &&
           IsSeparator(path[2]);
}

bool ModuleDirectory(HMODULE module, char* directory, size_t size) {
    if (module == nullptr || size < 2) return false;  // null would name the program itself
    DWORD length = GetModuleFileNameA(module, directory, DWORD(size));
    if (length == 0 || length >= size) return false;  // a filled buffer may hold a cut path
    directory[length] = '\0';
    char* end = directory + length;
    while (end > directory && !IsSeparator(end[-1])) --end;
    *end = '\0';
    return end > directory && IsAbsolutePath(directory);
}

bool ChooseModulePath(const char* directory, const char* type, char* path, size_t size) {
    char stem[7];
    size_t stemLength = NameStem(type, stem);
    size_t directoryLength = strlen(directory);
    if (directoryLength + stemLength + sizeof "32.DLL" > size) return false;
    snprintf(path, size, "%s%.*s32.DLL", directory, static_cast<int>(stemLength), stem);
    char* digits = path + directoryLength + stemLength;
    for (int changes = 0; Exists(path); ++changes) {
        if (changes == 99) return false;
        CountOn(digits);
    }
    return true;
}

const char* FileNamePart(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (IsSeparator(*p)) name = p + 1;
    return name;
}
