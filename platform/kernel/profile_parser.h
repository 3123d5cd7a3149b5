// The parsed form of a profile (INI) file.
//
// A profile is read whole into this form, changed, and written back whole
// from it, as Windows does: blank lines vanish, blanks around names and
// values are dropped, and lines that are not keys (comments, lines
// without '=') are kept in place. Names match case-insensitively and
// keep the spelling they have in the file; the first of duplicate
// sections or keys wins.
#pragma once

#include <string>
#include <vector>

namespace qpm {

struct ProfileLine {
    std::string key;  // for a line that is not a key: its whole text
    std::string value;
    bool isKey = false;
};

struct ProfileSection {
    std::string name;
    bool hasHeader = true;  // false for the lines before the first header
    std::vector<ProfileLine> lines;
};

class Profile {
public:
    Profile();

    static Profile Parse(const std::string& text);
    // CRLF after every line, no blank lines. A UTF-8 byte-order mark the
    // file had stays; one is also written when the first line itself
    // starts with the mark's bytes, or reading would drop them from it.
    std::string Serialize() const;

    // The stored value (quotes still on it), or nullptr.
    const std::string* Find(const std::string& section, const std::string& key) const;
    bool HasSection(const std::string& section) const;
    // Names for enumeration: headed, non-empty sections; keys that are
    // non-empty and do not start with ';'.
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(const std::string& section) const;

    // Each returns whether the profile changed. A new key goes at the end
    // of its section, a new section at the end of the profile.
    bool Set(const std::string& section, const std::string& key, const std::string& value);
    bool DeleteKey(const std::string& section, const std::string& key);
    bool DeleteSection(const std::string& section);

private:
    // Index of the first section of that name, or std::string::npos.
    size_t SectionIndex(const std::string& section) const;

    std::vector<ProfileSection> sections_;  // [0]: the lines before any header
    bool marked_ = false;                   // the text began with a byte-order mark
};

// Blanks are spaces and tabs.
std::string TrimBlanks(const std::string& s);
std::string TrimLeadingBlanks(const std::string& s);
std::string TrimTrailingBlanks(const std::string& s);

}  // namespace qpm
