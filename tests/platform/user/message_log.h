// A recording window procedure and message-sequence tables.
//
// RecordingProc logs every message it receives, then lets the current
// test's hook answer it, and otherwise passes it to DefWindowProcA.
// Expected sequences are tables of {window, message, wParam, lParam,
// flags} rows; a null window or the kAnyW / kAnyL flags leave that
// column unchecked (pointers such as WM_CREATE's CREATESTRUCTA), and
// kOptional marks a row that may be absent: what Windows sends and the
// layer does not model (WM_IME_SETCONTEXT, WM_NCPAINT, ...), so that one
// table holds on both. Every row carries the name of the part of the
// table it belongs to (Named), and recurring parts are functions that
// return named tables (sequences.h). On a mismatch both sequences are
// printed side by side, with those names and message names.
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

enum : unsigned { kExact = 0, kAnyW = 1, kAnyL = 2, kAnyWL = 3, kOptional = 4 };

struct Row {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    unsigned flags = kExact;
    const char* name = nullptr;  // the part of the table the row belongs to
};

using Sequence = std::vector<Row>;

// `rows` as a part called `name` (rows that have a name keep it).
inline Sequence Named(const char* name, Sequence rows) {
    for (Row& r : rows)
        if (!r.name) r.name = name;
    return rows;
}

inline Sequence operator+(Sequence a, const Sequence& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

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
    const Sequence& Rows() const { return rows_; }

    // Only the rows of these messages, e.g. {WM_SIZE, WM_MOVE}.
    Sequence Only(std::initializer_list<UINT> messages) const {
        Sequence kept;
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
    Sequence rows_;
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

// True when `actual` is `expected` with some optional rows left out.
inline bool Matches(const Sequence& expected, const Sequence& actual) {
    // reach[i][j]: expected[i..] can match actual[j..].
    const size_t e = expected.size(), a = actual.size();
    std::vector<std::vector<char>> reach(e + 1, std::vector<char>(a + 1, 0));
    reach[e][a] = 1;
    for (size_t i = e + 1; i-- > 0;)
        for (size_t j = a + 1; j-- > 0;) {
            if (i == e) continue;
            bool skip = (expected[i].flags & kOptional) && reach[i + 1][j];
            bool take = j < a && RowMatches(expected[i], actual[j]) && reach[i + 1][j + 1];
            reach[i][j] = skip || take;
        }
    return reach[0][0];
}

inline std::string Describe(const Row& r, bool expected) {
    const MessageLog& log = MessageLog::Get();
    std::string who = expected && !r.hwnd ? "*" : log.Label(r.hwnd);
    char w[24], l[24];
    snprintf(w, sizeof w, "%#llx", static_cast<unsigned long long>(r.wParam));
    snprintf(l, sizeof l, "%#llx", static_cast<unsigned long long>(r.lParam));
    if (expected && (r.flags & kAnyW)) snprintf(w, sizeof w, "*");
    if (expected && (r.flags & kAnyL)) snprintf(l, sizeof l, "*");
    std::string text = who + " " + QpmMessageName(r.message) + " w=" + w + " l=" + l;
    return expected && (r.flags & kOptional) ? "(" + text + ")" : text;
}

// Both sequences side by side, each expected row with its part's name:
// "!=" marks the rows that differ, "--" an optional row that is absent.
inline ::testing::AssertionResult SameSequence(const Sequence& expected, const Sequence& actual) {
    bool named = std::all_of(expected.begin(), expected.end(), [](const Row& r) { return r.name; });
    if (named && Matches(expected, actual)) return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << (named ? "message sequences differ\n" : "every expected row needs a name (Named)\n");
    char line[320];
    snprintf(line, sizeof line, "%3s  %-16s %-50s    %s\n", "#", "part", "expected", "actual");
    failure << line;
    size_t i = 0, j = 0;
    while (i < expected.size() || j < actual.size()) {
        const Row* want = i < expected.size() ? &expected[i] : nullptr;
        const Row* got = j < actual.size() ? &actual[j] : nullptr;
        bool ok = want && got && RowMatches(*want, *got);
        bool absent = want && !ok && (want->flags & kOptional);
        std::string e = want ? Describe(*want, true) : "(none)";
        std::string a = absent ? "" : got ? Describe(*got, false) : "(none)";
        snprintf(line, sizeof line, "%3zu  %-16s %-50s %s %s\n", want ? i : j,
                 want && want->name ? want->name : "", e.c_str(),
                 ok       ? "  "
                 : absent ? "--"
                          : "!=",
                 a.c_str());
        failure << line;
        if (want) ++i;
        if (got && !absent) ++j;
    }
    return failure;
}

}  // namespace msglog

// `expected` (a Sequence) matches `actual`; on failure only the two
// sequences are printed.
#define EXPECT_SEQUENCE(expected, actual)                                                         \
    EXPECT_PRED_FORMAT2([](const char*, const char*, const ::msglog::Sequence& e,                 \
                           const ::msglog::Sequence& a) { return ::msglog::SameSequence(e, a); }, \
                        expected, actual)

// The messages recorded since the last Clear() match `expected`.
#define EXPECT_MESSAGES(...) EXPECT_SEQUENCE((__VA_ARGS__), ::msglog::MessageLog::Get().Rows())
