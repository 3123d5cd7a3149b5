// Notice sequences as tables of {message, wParam, lParam} rows, compared
// by a helper that prints expected and actual side by side.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

struct NoticeRow {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const NoticeRow& o) const {
        return message == o.message && wParam == o.wParam && lParam == o.lParam;
    }
};

inline std::string DescribeRow(const NoticeRow& row) {
    std::ostringstream out;
    out << "{" << row.message << ", " << row.wParam << ", " << row.lParam << "}";
    return out.str();
}

inline ::testing::AssertionResult SameRows(const std::vector<NoticeRow>& expected,
                                           const std::vector<NoticeRow>& actual) {
    if (expected == actual) return ::testing::AssertionSuccess();
    std::ostringstream out;
    out << "sequences differ (expected | actual):\n";
    for (size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        std::string e = i < expected.size() ? DescribeRow(expected[i]) : "-";
        std::string a = i < actual.size() ? DescribeRow(actual[i]) : "-";
        out << (e == a ? "   " : " * ") << i << ": " << e << " | " << a << "\n";
    }
    return ::testing::AssertionFailure() << out.str();
}
