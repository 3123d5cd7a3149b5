// Parsing, editing and writing the profile form.
#include "kernel/profile_parser.h"

#include "kernel/case_map.h"

namespace qpm {

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool StartsWithMark(const std::string& text) { return text.compare(0, 3, kByteOrderMark) == 0; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// A header runs from '[' to the last ']' on the line; text after it is
// dropped. Without a ']' the line is not a header.
bool ParseHeader(const std::string& line, std::string* name) {
    size_t close = line.rfind(']');
    if (line[0] != '[' || close == std::string::npos || close == 0) return false;
    *name = TrimBlanks(line.substr(1, close - 1));
    return true;
}

ProfileLine ParseLine(const std::string& line) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) return ProfileLine{line, "", false};
    return ProfileLine{TrimBlanks(line.substr(0, eq)), TrimBlanks(line.substr(eq + 1)), true};
}

bool SameName(const std::string& stored, const std::string& wanted) {
    return EqualIgnoreCase(TrimBlanks(stored), TrimBlanks(wanted));
}

constexpr size_t kNone = std::string::npos;

size_t KeyIndex(const ProfileSection& section, const std::string& key) {
    for (size_t i = 0; i < section.lines.size(); ++i)
        if (section.lines[i].isKey && SameName(section.lines[i].key, key)) return i;
    return kNone;
}

}  // namespace

std::string TrimLeadingBlanks(const std::string& s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b])) ++b;
    return s.substr(b);
}

std::string TrimTrailingBlanks(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1])) --e;
    return s.substr(0, e);
}

std::string TrimBlanks(const std::string& s) { return TrimLeadingBlanks(TrimTrailingBlanks(s)); }

Profile::Profile() : sections_(1) { sections_[0].hasHeader = false; }

Profile Profile::Parse(const std::string& text) {
    Profile profile;
    // A UTF-8 byte-order mark (editors write one) is no part of the first line.
    profile.marked_ = StartsWithMark(text);
    for (const std::string& raw : SplitLines(profile.marked_ ? text.substr(3) : text)) {
        std::string line = TrimBlanks(raw);
        if (line.empty()) continue;
        std::string name;
        if (ParseHeader(line, &name))
            profile.sections_.push_back(ProfileSection{name, true, {}});
        else
            profile.sections_.back().lines.push_back(ParseLine(line));
    }
    return profile;
}

std::string Profile::Serialize() const {
    std::string out;
    for (const ProfileSection& section : sections_) {
        if (section.hasHeader) out += "[" + section.name + "]\r\n";
        for (const ProfileLine& line : section.lines)
            out += line.isKey ? line.key + "=" + line.value + "\r\n" : line.key + "\r\n";
    }
    return marked_ || StartsWithMark(out) ? kByteOrderMark + out : out;
}

size_t Profile::SectionIndex(const std::string& section) const {
    for (size_t i = 0; i < sections_.size(); ++i)
        if (SameName(sections_[i].name, section)) return i;
    return kNone;
}

const std::string* Profile::Find(const std::string& section, const std::string& key) const {
    size_t s = SectionIndex(section);
    if (s == kNone) return nullptr;
    size_t k = KeyIndex(sections_[s], key);
    return k == kNone ? nullptr : &sections_[s].lines[k].value;
}

bool Profile::HasSection(const std::string& section) const {
    return SectionIndex(section) != kNone;
}

std::vector<std::string> Profile::SectionNames() const {
    std::vector<std::string> names;
    for (const ProfileSection& s : sections_)
        if (s.hasHeader && !s.name.empty()) names.push_back(s.name);
    return names;
}

std::vector<std::string> Profile::KeyNames(const std::string& section) const {
    std::vector<std::string> names;
    size_t s = SectionIndex(section);
    if (s != kNone)
        for (const ProfileLine& line : sections_[s].lines)
            if (line.isKey && !line.key.empty() && line.key[0] != ';') names.push_back(line.key);
    return names;
}

// Leading blanks of new names and values are dropped; trailing ones are
// written as given (they go at the next rewrite, when the file is parsed).
bool Profile::Set(const std::string& section, const std::string& key, const std::string& value) {
    std::string newValue = TrimLeadingBlanks(value);
    size_t s = SectionIndex(section);
    if (s == kNone) {
        sections_.push_back(ProfileSection{TrimLeadingBlanks(section), true, {}});
        s = sections_.size() - 1;
    }
    std::vector<ProfileLine>& lines = sections_[s].lines;
    size_t k = KeyIndex(sections_[s], key);
    if (k == kNone) {
        lines.push_back(ProfileLine{TrimLeadingBlanks(key), newValue, true});
        return true;
    }
    if (lines[k].value == newValue) return false;
    lines[k].value = newValue;
    return true;
}

bool Profile::DeleteKey(const std::string& section, const std::string& key) {
    size_t s = SectionIndex(section);
    size_t k = s == kNone ? kNone : KeyIndex(sections_[s], key);
    if (k == kNone) return false;
    sections_[s].lines.erase(sections_[s].lines.begin() + k);
    return true;
}

bool Profile::DeleteSection(const std::string& section) {
    size_t s = SectionIndex(section);
    if (s == kNone) return false;
    if (!sections_[s].hasHeader) {  // the headerless top cannot go; its lines can
        bool had = !sections_[s].lines.empty();
        sections_[s].lines.clear();
        return had;
    }
    sections_.erase(sections_.begin() + s);
    return true;
}

}  // namespace qpm
