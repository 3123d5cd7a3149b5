// A page's bytes in the character set it declares, turned into the UTF-8
// that the HTML parser reads: a byte-order mark, else a <meta charset>
// or <meta http-equiv="Content-Type" content="...; charset=..."> near
// the top, else UTF-8.
#pragma once

#include <string>

// The charset a page declares for itself in its first 1024 bytes, lower
// case ("windows-1252"), or "" when it declares none.
std::string DeclaredCharset(const std::string& html);

// `html` as UTF-8. Windows-1252 and ISO-8859-1 (which pages mean as
// Windows-1252) are converted; UTF-8 loses its byte-order mark. False
// with `warning` set for a charset this host does not decode: the bytes
// are then taken as UTF-8.
bool DecodePage(const std::string& html, std::string* utf8, std::string* warning);
