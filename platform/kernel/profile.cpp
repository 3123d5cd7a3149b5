// Private profile files and win.ini: GetPrivateProfileStringA and friends.
//
// Every call reads and parses the whole file; every change rewrites it
// whole, atomically. A bare file name lives in the Windows directory; a
// name with a separator is a path (relative to the current directory).
//
// Unlike Windows, a write that would inject lines into the file is
// refused: line breaks anywhere, a key with '=' or starting with '[', a
// section with text after a ']'. Windows writes those as given, and the
// file then reads back with sections and keys nobody wrote.
#include "internal/kernel_internal.h"
#include "kernel/atomic_file.h"
#include "kernel/file_errors.h"
#include "kernel/file_table.h"
#include "kernel/profile_parser.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

const char kWinIni[] = "win.ini";

std::string ProfilePath(LPCSTR file) {
    std::string name = file ? file : kWinIni;
    if (name.find_first_of("/\\") == std::string::npos) return qpm::WindowsDirectory() + "/" + name;
    return qpm::HostPath(name.c_str());
}

// Reads the whole file; returns 0 or the Win32 error. Only a regular
// file is a profile: a FIFO or a device would block or never end.
DWORD ReadProfileFile(const std::string& path, std::string* text) {
    qpm::FlushGatheredWrites();  // the file may have been written through a handle
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return qpm::Win32ErrorFromErrno(errno, path);
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return ERROR_ACCESS_DENIED;
    }
    char buffer[16384];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        text->append(buffer, size_t(n));
    }
    int err = errno;
    close(fd);
    return n < 0 ? qpm::Win32ErrorFromErrno(err, path) : 0;
}

std::string StripQuotes(const std::string& s) {
    if (s.size() >= 2 && (s[0] == '"' || s[0] == '\'') && s.back() == s[0])
        return s.substr(1, s.size() - 2);
    return s;
}

// Copies size-1 characters at most, always NUL-terminated.
DWORD CopyString(const std::string& s, LPSTR buffer, DWORD size) {
    size_t n = s.size() < size - 1 ? s.size() : size - 1;
    memcpy(buffer, s.data(), n);
    buffer[n] = '\0';
    return DWORD(n);
}

// A NUL-separated list ending in a second NUL (an empty list is one NUL).
// When it does not fit in size-1 bytes, size-2 bytes are copied and one
// NUL ends them.
DWORD CopyList(const std::vector<std::string>& items, LPSTR buffer, DWORD size) {
    std::string list;
    for (const std::string& item : items) list.append(item).push_back('\0');
    if (list.size() + 2 <= size) {
        memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return DWORD(list.size());
    }
    DWORD n = size >= 2 ? size - 2 : 0;
    memcpy(buffer, list.data(), n);
    buffer[n] = '\0';
    return n;
}

// The default loses trailing blanks and one pair of outer quotes.
DWORD CopyDefault(LPCSTR def, LPSTR buffer, DWORD size) {
    return CopyString(StripQuotes(qpm::TrimTrailingBlanks(def ? def : "")), buffer, size);
}

// Reads and parses the file. On failure the Get functions report the
// error, except that win.ini's absence is none: Windows always has one.
bool LoadForReading(LPCSTR file, bool missingIsError, qpm::Profile* profile) {
    std::string text;
    DWORD error = ReadProfileFile(ProfilePath(file), &text);
    if (error) {
        if (missingIsError || error != ERROR_FILE_NOT_FOUND) SetLastError(error);
        return false;
    }
    *profile = qpm::Profile::Parse(text);
    return true;
}

DWORD ReadString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size, LPCSTR file,
                 bool missingIsError) {
    if (!buffer || size == 0) return 0;
    qpm::Profile profile;
    if (!LoadForReading(file, missingIsError, &profile)) return CopyDefault(def, buffer, size);
    if (!section) return CopyList(profile.SectionNames(), buffer, size);
    if (!key) return CopyList(profile.KeyNames(section), buffer, size);
    const std::string* value = profile.Find(section, key);
    if (!value) return CopyDefault(def, buffer, size);
    return CopyString(StripQuotes(*value), buffer, size);
}

bool HexPrefix(const std::string& s, size_t i) {
    return i + 2 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X') &&
           isxdigit(static_cast<unsigned char>(s[i + 2]));
}

UINT DigitValue(char c) {
    auto u = static_cast<unsigned char>(c);
    if (isdigit(u)) return UINT(u - '0');
    if (isxdigit(u)) return UINT(tolower(u) - 'a' + 10);
    return 99;
}

// Decimal or 0x-hex after an optional sign, wrapping at 32 bits;
// parsing stops at the first character that is not a digit.
UINT ParseProfileInt(const std::string& s) {
    size_t i = 0;
    bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) ++i;
    UINT base = 10, value = 0;
    if (HexPrefix(s, i)) base = 16, i += 2;
    for (; i < s.size() && DigitValue(s[i]) < base; ++i) value = value * base + DigitValue(s[i]);
    return negative ? 0u - value : value;
}

UINT ReadInt(LPCSTR section, LPCSTR key, INT def, LPCSTR file, bool missingIsError) {
    qpm::Profile profile;
    if (!section || !key || !LoadForReading(file, missingIsError, &profile)) return UINT(def);
    const std::string* value = profile.Find(section, key);
    std::string text = value ? StripQuotes(*value) : "";
    return text.empty() ? UINT(def) : ParseProfileInt(text);
}

bool HasLineBreak(LPCSTR s) { return s && strpbrk(s, "\r\n"); }

// Whether writing section/key/value keeps the file's line structure.
bool SafeToWrite(LPCSTR section, LPCSTR key, LPCSTR value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    std::string k = qpm::TrimLeadingBlanks(key);
    if (k.find('=') != std::string::npos || (!k.empty() && k[0] == '[')) return false;
    for (const char* p = section; *p; ++p)
        if (*p == ']' && p[1] != '\0') return false;  // other readers end the header there
    return true;
}

// Renaming over a symbolic link would replace the link; write its target.
std::string WriteTarget(const std::string& path) {
    struct stat st;
    char resolved[PATH_MAX];
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && realpath(path.c_str(), resolved))
        return resolved;
    return path;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

BOOL SaveProfile(const std::string& path, const qpm::Profile& profile) {
    if (qpm::InjectedFailure(QPM_FAULT_FILECREATE)) return Fail(ERROR_ACCESS_DENIED);
    std::string target = WriteTarget(path);
    struct stat st;
    mode_t mode = stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0666;
    if (!qpm::WriteFileAtomically(target, profile.Serialize(), mode))
        return Fail(qpm::Win32ErrorFromErrno(errno, target));
    QPM_TRACE("profile", "wrote %s", target.c_str());
    return TRUE;
}

bool ApplyChange(qpm::Profile* profile, LPCSTR section, LPCSTR key, LPCSTR value) {
    if (!key) return profile->DeleteSection(section);
    if (!value) return profile->DeleteKey(section, key);
    return profile->Set(section, key, value);
}

BOOL WriteString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    std::string path = ProfilePath(file);
    std::string text;
    DWORD error = ReadProfileFile(path, &text);
    bool deleting = !key || !value;
    if (!section) return (!key && !value && !error) ? TRUE : Fail(ERROR_FILE_NOT_FOUND);
    if (!deleting && !SafeToWrite(section, key, value)) {
        QPM_TRACE("profile", "refused [%s] %s: would inject lines", section, key);
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (error == ERROR_FILE_NOT_FOUND && deleting) return TRUE;  // nothing to delete, no file
    if (error && error != ERROR_FILE_NOT_FOUND) return Fail(error);
    qpm::Profile profile = qpm::Profile::Parse(text);
    if (!ApplyChange(&profile, section, key, value)) return TRUE;  // unchanged: not rewritten
    return SaveProfile(path, profile);
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer,
                                      DWORD size, LPCSTR file) {
    return ReadString(section, key, def, buffer, size, file, true);
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT def, LPCSTR file) {
    return ReadInt(section, key, def, file, true);
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    return WriteString(section, key, value, file);
}

DWORD WINAPI GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size) {
    return ReadString(section, key, def, buffer, size, kWinIni, false);
}

UINT WINAPI GetProfileIntA(LPCSTR section, LPCSTR key, INT def) {
    return ReadInt(section, key, def, kWinIni, false);
}

BOOL WINAPI WriteProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value) {
    return WriteString(section, key, value, kWinIni);
}
