// Attribute look-ups in the direct and the packed form, and an alternate
// host's record turned into attribute pairs.
#include <qpm/attributes.h>

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr int32_t kNumberBufferSize = 20;

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsPairName(const char* name) {
    return lstrcmpiA(name, "TYPE") == 0 || lstrcmpiA(name, "SUBTYPE") == 0 ||
           lstrcmpiA(name, "DATAFILE") == 0;
}

// The first pair whose name equals `name` ignoring case, or -1.
int32_t FindPair(const InstanceRecord* record, const char* name) {
    if (record->attrNames == nullptr || record->attrValues == nullptr) return -1;
    for (int32_t i = 0; i < record->attrCount; ++i)
        if (record->attrNames[i] && lstrcmpiA(record->attrNames[i], name) == 0) return i;
    return -1;
}

int32_t CopyDirect(const char* value, char* buffer, int32_t size) {
    if (buffer == nullptr || size < 1) return 1;
    size_t n = value ? strlen(value) : 0;
    if (n > size_t(size - 1)) n = size_t(size - 1);
    if (n) memcpy(buffer, value, n);
    buffer[n] = '\0';
    return 1;
}

// Whether the entry at p is `name` (n characters, ASCII letters folded)
// followed by '=', ',', white space or the end.
bool EntryNamed(const char* p, const char* name, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i] == '\0' || FoldAscii(p[i]) != FoldAscii(name[i])) return false;
    char after = p[n];
    return after == '=' || after == ',' || after == '\0' || IsBlank(after);
}

// Decodes one value byte at *p and advances past it. Returns false when
// the characters stand for nothing (a '%' at the very end).
bool DecodeValueByte(const char** p, char* out) {
    const char* s = *p;
    if (*s != '%') {
        *out = *s;
        *p = s + 1;
        return true;
    }
    if (s[1] == '\0') {
        *p = s + 1;
        return false;
    }
    int high = HexValue(s[1]);
    int low = high >= 0 ? HexValue(s[2]) : -1;
    if (high >= 0 && low >= 0) {
        *out = char(high * 16 + low);
        *p = s + 3;
    } else {
        *out = s[1];  // "%%" gives '%', "%," a comma that does not end the value
        *p = s + 2;
    }
    return true;
}

// Past the entry at p, to the comma that ends it or to the end: the name,
// then the value read by the same escape rules as a look-up reads it, so
// an escaped comma ("%,") does not end it.
const char* SkipEntry(const char* p) {
    while (*p != '\0' && *p != ',' && *p != '=' && !IsBlank(*p)) ++p;
    while (IsBlank(*p)) ++p;
    if (*p == '=') ++p;
    while (*p != '\0' && *p != ',') {
        char ignored;
        DecodeValueByte(&p, &ignored);
    }
    return p;
}

}  // namespace

int32_t FindPackedAttribute(const char* list, const char* name, char* buffer, int32_t size) {
    if (list == nullptr || name == nullptr) return 0;
    const size_t n = strlen(name);
    const char* p = list;
    for (;;) {
        while (*p != '\0' && (IsBlank(*p) || *p == ',')) ++p;
        if (*p == '\0') return 0;
        if (EntryNamed(p, name, n)) break;
        p = SkipEntry(p);
    }
    p += n;
    while (IsBlank(*p)) ++p;
    if (*p == '=') ++p;
    int32_t written = 0;
    while (*p != '\0' && *p != ',' && size > 1) {
        char byte;
        if (!DecodeValueByte(&p, &byte)) continue;
        if (buffer) buffer[written] = byte;
        ++written;
        --size;
    }
    if (buffer && size >= 1) buffer[written] = '\0';
    return 1;
}

int32_t GetAttribute(const InstanceRecord* record, const char* name, char* buffer, int32_t size) {
    if (record == nullptr || name == nullptr) return 0;
    if (!record->altHost || IsPairName(name)) {
        int32_t i = FindPair(record, name);
        return i < 0 ? 0 : CopyDirect(record->attrValues[i], buffer, size);
    }
    int32_t i = FindPair(record, "SUBTYPE");
    if (i < 0 || record->attrValues[i] == nullptr) return 0;
    return FindPackedAttribute(record->attrValues[i], name, buffer, size);
}

int32_t ParseDecimal(const char* text) {
    const char* p = text;
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // Unsigned arithmetic: an overflowing value wraps instead of being undefined.
    uint32_t value = 0;
    while (*p >= '0' && *p <= '9') value = value * 10u + uint32_t(*p++ - '0');
    return static_cast<int32_t>(negative ? 0u - value : value);
}

int32_t GetIntAttribute(const InstanceRecord* record, const char* name, int32_t* out) {
    char buffer[kNumberBufferSize] = {};
    if (!GetAttribute(record, name, buffer, sizeof buffer) || buffer[0] == '\0') return 0;
    *out = ParseDecimal(buffer);
    return 1;
}

int32_t GetBoolAttribute(const InstanceRecord* record, const char* name) {
    char buffer[kNumberBufferSize] = {};
    if (!GetAttribute(record, name, buffer, sizeof buffer)) return 0;
    return (buffer[0] == '\0' || lstrcmpiA(buffer, "true") == 0 || lstrcmpiA(buffer, "1") == 0 ||
            lstrcmpiA(buffer, "yes") == 0 || lstrcmpiA(buffer, "y") == 0)
               ? 1
               : 0;
}

void ViewInitRecord(InstanceRecord* view, const InitRecord* record) {
    memset(view, 0, sizeof *view);
    static_cast<InitRecord&>(*view) = *record;
    view->altHost = record->mode >= kAltHostMark ? 1 : 0;
}

int32_t ConvertAltInitRecord(AltInitRecord* alt, InitRecord* out, char** names, char** values) {
    static char kType[] = "TYPE";
    static char kSubtype[] = "SUBTYPE";
    static char kDataFile[] = "DATAFILE";
    out->size = sizeof(InitRecord);
    out->typeName = nullptr;
    out->fixedSize = 0;  // the caller decides
    out->attrNames = names;
    out->attrValues = values;
    out->dataFile = alt->dataFile[0] ? alt->dataFile : nullptr;
    // A mode so large that the mark would overflow keeps the mark: the
    // window still knows its origin, with the largest mode there is.
    out->mode = (alt->mode > INT32_MAX - kAltHostMark ? INT32_MAX - kAltHostMark : alt->mode) +
                kAltHostMark;
    out->width = alt->width;
    out->height = alt->height;
    out->backColor = alt->backColor;
    out->textColor = alt->textColor;
    int32_t n = 0;
    if (alt->type[0]) names[n] = kType, values[n++] = alt->type;
    if (alt->subtype[0]) names[n] = kSubtype, values[n++] = alt->subtype;
    if (alt->dataFile[0]) names[n] = kDataFile, values[n++] = alt->dataFile;
    names[n] = nullptr;
    values[n] = nullptr;
    out->attrCount = n;
    return 1;
}
