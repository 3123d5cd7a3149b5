// A page as qpmhost shows it: a list of blocks laid out top to bottom,
// text (headings and paragraphs) and components (<embed>, <object>).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct PageAttribute {
    std::string name;   // as written (HTML attribute names arrive lower-case)
    std::string value;  // Windows-1252 bytes
};

// One <embed> or <object>: its attributes in order, then the name/value
// pairs of an <object>'s <param> children.
struct PageElement {
    std::string tag;
    std::vector<PageAttribute> attributes;

    // The value of the first attribute of that name, case ignored; null if none.
    const std::string* Find(const char* name) const;
};

enum class BlockKind { kHeading1, kHeading2, kHeading3, kParagraph, kComponent };

struct PageBlock {
    BlockKind kind;
    std::string text;     // text blocks: Windows-1252, white space collapsed
    PageElement element;  // component blocks
};

struct Page {
    std::string title;
    COLORREF background = RGB(255, 255, 255);
    COLORREF text = RGB(0, 0, 0);
    std::vector<PageBlock> blocks;
    // What the page asks for that cannot be had (a colour that is none,
    // a charset not decoded), one sentence each, for the user.
    std::vector<std::string> warnings;
};

// name="value" as a message shows it; a long value is cut ("...").
std::string ShownAttribute(const std::string& name, const std::string& value);

// Parses HTML into a page, its bytes decoded in the charset the page
// declares (UTF-8 when it declares none). Never fails: gumbo accepts any
// input, and the page is walked without recursion, however deep.
Page ParsePageHtml(const std::string& bytes);

// Reads and parses a page file; false with `error` set when it cannot be read.
bool LoadPageFile(const std::string& path, Page* page, std::string* error);
