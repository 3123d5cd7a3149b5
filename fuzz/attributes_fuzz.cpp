// Fuzz target: the attribute look-ups (GetAttribute, GetIntAttribute,
// GetBoolAttribute) on any attribute list, direct or packed into
// "SUBTYPE", for any name and any buffer size.
//
// Input: a flags byte (bit 0: packed form), two bytes of buffer size,
// then NUL-separated fields: the name looked up, then name/value pairs.
//
// Beyond "no crash": the buffer (exactly `size` bytes on the heap) is
// untouched when the look-up says the attribute is missing, otherwise
// NUL-terminated inside it; a smaller buffer gets a prefix of what a
// larger one gets; a packed look-up with no buffer agrees with one with
// a buffer; the integer and boolean look-ups agree with the string one.
#include <qpm/attributes.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "fuzz_support.h"

namespace {

constexpr int32_t kLargeBuffer = 4096;
constexpr char kCanary = '\x5A';

// The value in a buffer of exactly `size` bytes, or nullptr when missing.
bool LookUp(const InstanceRecord* record, const char* name, int32_t size, std::string* value) {
    std::vector<char> buffer(size_t(size), kCanary);
    int32_t found = GetAttribute(record, name, buffer.data(), size);
    Require(found == 0 || found == 1, "the result is 0 or 1");
    if (!found) {
        for (char c : buffer) Require(c == kCanary, "a missing attribute leaves the buffer alone");
        return false;
    }
    const void* end = memchr(buffer.data(), '\0', buffer.size());
    Require(end != nullptr, "the value is NUL-terminated inside the buffer");
    value->assign(buffer.data());
    return true;
}

void CheckName(const InstanceRecord* record, const char* name, int32_t size) {
    std::string whole, cut;
    bool found = LookUp(record, name, kLargeBuffer, &whole);
    Require(LookUp(record, name, size, &cut) == found, "the buffer size does not change presence");
    if (found) {
        Require(cut.size() <= size_t(size - 1), "the value is cut to size - 1 bytes");
        Require(whole.compare(0, cut.size(), cut) == 0, "a cut value is a prefix of the whole");
    }
    if (record->altHost)
        Require(GetAttribute(record, name, nullptr, size) == found, "no buffer, same answer");

    std::string number;
    bool hasNumber = LookUp(record, name, 20, &number);
    int32_t out = 12345;
    int32_t gotInt = GetIntAttribute(record, name, &out);
    Require(gotInt == (hasNumber && !number.empty() ? 1 : 0),
            "integer look-up: present, not empty");
    if (gotInt)
        Require(out == ParseDecimal(number.c_str()), "integer look-up converts the value");
    else
        Require(out == 12345, "a failed integer look-up leaves the default");
    int32_t truth = GetBoolAttribute(record, name);
    Require(truth == 0 || truth == 1, "boolean look-up is 0 or 1");
    if (!hasNumber) Require(truth == 0, "a missing attribute is false");
    if (hasNumber && number.empty()) Require(truth == 1, "a present, empty attribute is true");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const bool packed = input.Flag();
    const int32_t bufferSize = int32_t(1 + input.Below(600));
    std::string name = input.Field();

    std::vector<std::string> names, values;
    while (!input.empty() && names.size() < 16) {
        names.push_back(input.Field());
        values.push_back(input.Field());
    }
    std::vector<char*> namePointers, valuePointers;
    for (size_t i = 0; i < names.size(); ++i) {
        namePointers.push_back(names[i].data());
        valuePointers.push_back(values[i].data());
    }
    namePointers.push_back(nullptr);
    valuePointers.push_back(nullptr);

    InstanceRecord record{};
    record.size = sizeof(InitRecord);
    record.attrCount = int32_t(names.size());
    record.attrNames = namePointers.data();
    record.attrValues = valuePointers.data();
    record.altHost = packed ? 1 : 0;

    CheckName(&record, name.c_str(), bufferSize);
    // The names of the list itself, and the three that are always pairs.
    for (const std::string& n : names) CheckName(&record, n.c_str(), bufferSize);
    CheckName(&record, "SUBTYPE", bufferSize);
    CheckName(&record, "TYPE", bufferSize);
    return 0;
}
