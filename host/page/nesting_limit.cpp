// Dropping start tags nested too deep, with a scan of the tags only.
#include "page/nesting_limit.h"

#include <strings.h>

#include <cctype>
#include <cstring>

namespace {

// Elements that never hold others, or whose end tag the parser implies
// (a second <p> closes the first): they do not deepen the tree by nesting.
const char* const kFlatElements[] = {
    "area",   "base",     "br",       "col",     "embed", "hr",     "img",      "input",   "link",
    "meta",   "param",    "source",   "track",   "wbr",   "p",      "li",       "dt",      "dd",
    "option", "optgroup", "tr",       "td",      "th",    "thead",  "tbody",    "tfoot",   "rb",
    "rt",     "rp",       "colgroup", "caption", "frame", "keygen", "basefont", "bgsound", "image"};

// Elements whose content is text up to their own end tag.
const char* const kRawTextElements[] = {"script", "style",   "textarea", "title",    "xmp",
                                        "iframe", "noembed", "noframes", "noscript", "plaintext"};

template <size_t N>
bool IsOneOf(const std::string& name, const char* const (&names)[N]) {
    for (const char* candidate : names)
        if (strcasecmp(name.c_str(), candidate) == 0) return true;
    return false;
}

bool IsNameStart(char c) { return isalpha(static_cast<unsigned char>(c)) != 0; }

// The end of the tag opened at `at` (one past its '>'), quotes respected;
// html.size() when it never ends.
size_t TagEnd(const std::string& html, size_t at) {
    char quote = 0;
    for (size_t i = at; i < html.size(); ++i) {
        const char c = html[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return html.size();
}

std::string TagName(const std::string& html, size_t at) {
    size_t end = at;
    while (end < html.size() && !isspace(static_cast<unsigned char>(html[end])) &&
           html[end] != '/' && html[end] != '>')
        ++end;
    return html.substr(at, end - at);
}

// Where the raw text of `name` opened before `at` ends: at its end tag.
size_t RawTextEnd(const std::string& html, size_t at, const std::string& name) {
    const std::string closing = "</" + name;
    for (size_t i = html.find("</", at); i != std::string::npos; i = html.find("</", i + 2))
        if (strncasecmp(html.c_str() + i, closing.c_str(), closing.size()) == 0) return i;
    return html.size();
}

}  // namespace

std::string LimitNesting(const std::string& html, int deepest, size_t* dropped) {
    *dropped = 0;
    std::string out;
    int depth = 0;
    size_t copied = 0;  // html before this is in `out` or dropped
    size_t at = html.find('<');
    while (at != std::string::npos && at + 1 < html.size()) {
        const char next = html[at + 1];
        if (html.compare(at, 4, "<!--") == 0) {
            const size_t end = html.find("-->", at + 4);
            at = end == std::string::npos ? end : html.find('<', end + 3);
            continue;
        }
        if (next == '/' && at + 2 < html.size() && IsNameStart(html[at + 2])) {
            if (!IsOneOf(TagName(html, at + 2), kFlatElements) && depth > 0) --depth;
            at = html.find('<', TagEnd(html, at));
            continue;
        }
        if (!IsNameStart(next)) {
            at = html.find('<', at + 1);
            continue;
        }
        const std::string name = TagName(html, at + 1);
        const size_t end = TagEnd(html, at);
        const bool selfClosing = end >= 2 && html[end - 2] == '/';
        if (IsOneOf(name, kRawTextElements)) {
            at = html.find('<', RawTextEnd(html, end, name) + 1);
            continue;
        }
        if (!selfClosing && !IsOneOf(name, kFlatElements) && ++depth > deepest) {
            --depth;
            ++*dropped;
            if (out.empty()) out.reserve(html.size());
            out.append(html, copied, at - copied);
            copied = end;
        }
        at = html.find('<', end);
    }
    if (*dropped == 0) return html;
    out.append(html, copied, std::string::npos);
    return out;
}
