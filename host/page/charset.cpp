// Declared charsets and the decoding of Windows-1252 pages.
#include "page/charset.h"

#include <strings.h>

#include <cctype>
#include <cstdint>

namespace {

constexpr size_t kPrescanBytes = 1024;
const char kUtf8Mark[] = "\xEF\xBB\xBF";

// The characters Windows-1252 puts at 0x80..0x9F; a byte it leaves
// undefined stands for the control character of the same number.
const uint16_t kHighControls[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                    0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

std::string Lower(std::string s) {
    for (char& c : s) c = char(tolower(static_cast<unsigned char>(c)));
    return s;
}

void AppendUtf8(uint32_t code, std::string* out) {
    if (code < 0x80) {
        *out += char(code);
    } else if (code < 0x800) {
        *out += char(0xC0 | (code >> 6));
        *out += char(0x80 | (code & 0x3F));
    } else {
        *out += char(0xE0 | (code >> 12));
        *out += char(0x80 | ((code >> 6) & 0x3F));
        *out += char(0x80 | (code & 0x3F));
    }
}

std::string Windows1252ToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char c : bytes)
        AppendUtf8(c >= 0x80 && c < 0xA0 ? kHighControls[c - 0x80] : c, &out);
    return out;
}

// The value after "charset" (and '=') at `at`, up to a quote, a blank, ';' or '>'.
std::string CharsetValueAt(const std::string& tag, size_t at) {
    at += 7;
    while (at < tag.size() && isspace(static_cast<unsigned char>(tag[at]))) ++at;
    if (at >= tag.size() || tag[at] != '=') return "";
    ++at;
    while (at < tag.size() &&
           (isspace(static_cast<unsigned char>(tag[at])) || tag[at] == '"' || tag[at] == '\''))
        ++at;
    size_t end = at;
    while (end < tag.size() && !isspace(static_cast<unsigned char>(tag[end])) && tag[end] != '"' &&
           tag[end] != '\'' && tag[end] != ';' && tag[end] != '>')
        ++end;
    return tag.substr(at, end - at);
}

}  // namespace

std::string DeclaredCharset(const std::string& html) {
    const std::string head = Lower(html.substr(0, kPrescanBytes));
    for (size_t meta = head.find("<meta"); meta != std::string::npos;
         meta = head.find("<meta", meta + 5)) {
        const std::string tag = head.substr(meta, head.find('>', meta) - meta);
        // Both <meta charset=...> and the charset inside a content="..." value.
        for (size_t at = tag.find("charset"); at != std::string::npos;
             at = tag.find("charset", at + 7)) {
            std::string value = CharsetValueAt(tag, at);
            if (!value.empty()) return value;
        }
    }
    return "";
}

bool DecodePage(const std::string& html, std::string* utf8, std::string* warning) {
    if (html.compare(0, 3, kUtf8Mark) == 0) {
        *utf8 = html.substr(3);
        return true;
    }
    const std::string charset = DeclaredCharset(html);
    if (charset == "windows-1252" || charset == "cp1252" || charset == "iso-8859-1" ||
        charset == "iso8859-1" || charset == "latin1" || charset == "l1" || charset == "us-ascii" ||
        charset == "ascii") {
        *utf8 = Windows1252ToUtf8(html);
        return true;
    }
    *utf8 = html;
    if (charset.empty() || charset == "utf-8" || charset == "utf8") return true;
    *warning = "the page's charset \"" + charset +
               "\" is not one this host decodes (UTF-8, Windows-1252, ISO-8859-1); read as UTF-8";
    return false;
}
