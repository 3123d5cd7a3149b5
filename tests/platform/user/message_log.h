// A recording window procedure and a table compare helper for message
// sequences.
//
// RecordingProc logs every message it receives, then lets the current
// test's hook answer it, and otherwise passes it to DefWindowProcA.
// Expected sequences are tables of {window, message, wParam, lParam}
// rows; a null window or the kAnyW / kAnyL flags leave that column
// unchecked (pointers such as WM_CREATE's CREATESTRUCTA). On a mismatch
// both sequences are printed side by side, with message names.
#pragma once

#include <gtest/gtest.h>
#include <qpm_platform.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace msglog {

enum : unsigned { kExact = 0, kAnyW = 1, kAnyL = 2, kAnyWL = 3 };

struct Row {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    unsigned flags = kExact;
};

// A test's answer to a message, or nullopt to let DefWindowProcA answer.
using Hook = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

class MessageLog {
public:
    static MessageLog& Get() {
        static MessageLog log;
        return log;
    }

    void Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        rows_.push_back(Row{hwnd, message, wParam, lParam});
    }
    void Clear() { rows_.clear(); }
    const std::vector<Row>& Rows() const { return rows_; }

    // Only the rows of these messages, e.g. {WM_SIZE, WM_MOVE}.
    std::vector<Row> Only(std::initializer_list<UINT> messages) const {
        std::vector<Row> kept;
        for (const Row& r : rows_)
            if (std::find(messages.begin(), messages.end(), r.message) != messages.end())
                kept.push_back(r);
        return kept;
    }

    void Name(HWND hwnd, const std::string& name) { names_[hwnd] = name; }
    std::string Label(HWND hwnd) const {
        auto it = names_.find(hwnd);
        if (it != names_.end()) return it->second;
        char buf[32];
        snprintf(buf, sizeof buf, "%p", static_cast<void*>(hwnd));
        return buf;
    }
    void Reset() {
        rows_.clear();
        names_.clear();
        hook = nullptr;
    }

    Hook hook;

private:
    std::vector<Row> rows_;
    std::map<HWND, std::string> names_;
};

inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageLog& log = MessageLog::Get();
    log.Record(hwnd, message, wParam, lParam);
    if (log.hook) {
        Hook hook = log.hook;  // the hook may replace itself
        if (std::optional<LRESULT> answer = hook(hwnd, message, wParam, lParam)) return *answer;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

inline bool RowMatches(const Row& want, const Row& got) {
    return (!want.hwnd || want.hwnd == got.hwnd) && want.message == got.message &&
           ((want.flags & kAnyW) || want.wParam == got.wParam) &&
           ((want.flags & kAnyL) || want.lParam == got.lParam);
}

inline std::string Describe(const Row& r, bool expected) {
    const MessageLog& log = MessageLog::Get();
    std::string who = expected && !r.hwnd ? "*" : log.Label(r.hwnd);
    char w[24], l[24];
    snprintf(w, sizeof w, "%#llx", static_cast<unsigned long long>(r.wParam));
    snprintf(l, sizeof l, "%#llx", static_cast<unsigned long long>(r.lParam));
    if (expected && (r.flags & kAnyW)) snprintf(w, sizeof w, "*");
    if (expected && (r.flags & kAnyL)) snprintf(l, sizeof l, "*");
    return who + " " + QpmMessageName(r.message) + " w=" + w + " l=" + l;
}

// Both sequences side by side; "!=" marks the rows that differ.
inline ::testing::AssertionResult SameSequence(const std::vector<Row>& expected,
                                               const std::vector<Row>& actual) {
    bool same = expected.size() == actual.size();
    for (size_t i = 0; same && i < expected.size(); ++i) same = RowMatches(expected[i], actual[i]);
    if (same) return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "message sequences differ\n";
    char line[256];
    snprintf(line, sizeof line, "%3s  %-46s    %s\n", "#", "expected", "actual");
    failure << line;
    for (size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        std::string e = i < expected.size() ? Describe(expected[i], true) : "(none)";
        std::string a = i < actual.size() ? Describe(actual[i], false) : "(none)";
        bool ok = i < expected.size() && i < actual.size() && RowMatches(expected[i], actual[i]);
        snprintf(line, sizeof line, "%3zu  %-46s %s %s\n", i, e.c_str(),
                 ok ? "  " : "!=", a.c_str());
        failure << line;
    }
    return failure;
}

}  // namespace msglog

// The messages recorded since the last Clear() are exactly `expected`.
#define EXPECT_MESSAGES(...) \
    EXPECT_TRUE(::msglog::SameSequence(__VA_ARGS__, ::msglog::MessageLog::Get().Rows()))
