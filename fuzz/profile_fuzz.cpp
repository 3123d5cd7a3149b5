// Fuzz target: the private profile functions on any file, then any
// sequence of reads, writes and deletions of any sections, keys and
// values.
//
// Input: two bytes of file length and the file's bytes, then operations:
// a byte choosing the kind, then the NUL-separated section, key and value
// and, for reads, a byte of buffer size.
//
// Beyond "no crash": a write either happens as asked or is refused with
// the file byte for byte unchanged; after an accepted write the key reads
// back as written (less the blanks around it and one pair of outer
// quotes, as the profile form keeps values), and every other key of the
// file reads as before; reads stay inside their buffers.
#include <qpm_platform.h>
#include <windows.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_input.h"
#include "fuzz_support.h"

namespace {

std::string profilePath;

std::string FileBytes() {
    std::ifstream in(profilePath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::string& bytes) {
    std::ofstream out(profilePath, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// What a value reads back as once stored.
std::string Stored(const std::string& value) {
    std::string s = TrimBlanks(value);
    if (s.size() >= 2 && (s[0] == '"' || s[0] == '\'') && s.back() == s[0])
        return s.substr(1, s.size() - 2);
    return s;
}

// Names match as the profile matches them: trimmed, upper-cased.
std::string Folded(const std::string& name) {
    std::string s = TrimBlanks(name);
    if (!s.empty()) CharUpperA(s.data());
    return s;
}

std::vector<std::string> List(const char* section) {
    std::vector<char> buffer(1 << 16);
    DWORD n = GetPrivateProfileStringA(section, nullptr, "", buffer.data(), DWORD(buffer.size()),
                                       profilePath.c_str());
    std::vector<std::string> items;
    for (size_t i = 0; i < n;) {
        std::string item(buffer.data() + i);
        items.push_back(item);
        i += item.size() + 1;
    }
    return items;
}

std::string Read(const std::string& section, const std::string& key) {
    std::vector<char> buffer(1 << 16);
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "\x01missing", buffer.data(),
                             DWORD(buffer.size()), profilePath.c_str());
    return buffer.data();
}

using Snapshot = std::map<std::pair<std::string, std::string>, std::string>;

// Every key the file lists, by folded names, with its value.
Snapshot TakeSnapshot() {
    Snapshot all;
    for (const std::string& section : List(nullptr))
        for (const std::string& key : List(section.c_str()))
            all.emplace(std::make_pair(Folded(section), Folded(key)), Read(section, key));
    return all;
}

// Keys other than those the change may touch read as before.
void CheckOthers(const Snapshot& before, const std::string& section, const char* key) {
    Snapshot after = TakeSnapshot();
    for (const auto& [names, value] : before) {
        if (names.first == Folded(section) && (key == nullptr || names.second == Folded(key)))
            continue;
        auto it = after.find(names);
        Require(it != after.end() && it->second == value, "a change left other keys alone");
    }
}

void Change(FuzzInput& input, int kind) {
    std::string section = input.Field(), key = input.Field(), value = input.Field();
    if (input.Byte() == 0xFF) QpmFailNth(QPM_FAULT_FILECREATE, 1);  // the disk refuses
    const std::string before = FileBytes();
    const Snapshot keys = TakeSnapshot();
    const char* k = kind == 2 ? nullptr : key.c_str();
    const char* v = kind == 0 ? value.c_str() : nullptr;
    BOOL written = WritePrivateProfileStringA(section.c_str(), k, v, profilePath.c_str());
    QpmResetFaults();
    if (!written) {
        Require(FileBytes() == before, "a refused write leaves the file as it was");
        return;
    }
    if (kind == 0) Require(Read(section, key) == Stored(value), "a written value reads back");
    CheckOthers(keys, section, k);
}

void ReadSome(FuzzInput& input, int kind) {
    std::string section = input.Field(), key = input.Field();
    DWORD size = 1 + input.Byte();
    std::vector<char> buffer(size, '\x5A');
    const char* s = kind == 4 ? nullptr : section.c_str();
    const char* k = kind == 5 ? nullptr : key.c_str();
    DWORD n = GetPrivateProfileStringA(s, k, "default", buffer.data(), size, profilePath.c_str());
    Require(n < size, "a read returns fewer characters than its buffer holds");
    GetPrivateProfileIntA(section.c_str(), key.c_str(), 7, profilePath.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char dir[] = "/tmp/qpm_fuzz_profile.XXXXXX";
    if (mkdtemp(dir) == nullptr) abort();
    profilePath = std::string(dir) + "/fuzz.ini";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    WriteFileBytes(input.Bytes(input.Below(4096)));
    for (int operations = 0; !input.empty() && operations < 16; ++operations) {
        int kind = input.Byte() % 6;
        if (kind <= 2)
            Change(input, kind);  // 0 write, 1 delete a key, 2 delete a section
        else
            ReadSome(input, kind);  // 3 a value, 4 the sections, 5 a section's keys
    }
    unlink(profilePath.c_str());
    return 0;
}
