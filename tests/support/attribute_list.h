// Attribute pairs owned by a test, laid out as a creation record wants
// them: two arrays of NUL-terminated strings, each closed by a null.
#pragma once

#include <qpm/records.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using AttrList = std::vector<std::pair<std::string, std::string>>;

class AttributeList {
public:
    explicit AttributeList(const AttrList& pairs = {}) {
        for (const auto& [n, v] : pairs) names_.push_back(n), values_.push_back(v);
        for (size_t i = 0; i < names_.size(); ++i)
            namePtrs_.push_back(&names_[i][0]), valuePtrs_.push_back(&values_[i][0]);
        namePtrs_.push_back(nullptr);
        valuePtrs_.push_back(nullptr);
    }
    AttributeList(const AttributeList&) = delete;
    AttributeList& operator=(const AttributeList&) = delete;

    int32_t Count() const { return int32_t(names_.size()); }
    char** Names() { return namePtrs_.data(); }
    char** Values() { return valuePtrs_.data(); }

    // Points a creation record (or a record view) at these pairs.
    void Fill(InitRecord* record) {
        record->attrCount = Count();
        record->attrNames = Names();
        record->attrValues = Values();
    }

private:
    std::vector<std::string> names_, values_;
    std::vector<char*> namePtrs_, valuePtrs_;
};
