// Page parsing with gumbo: the body's text becomes headings and
// paragraphs, its <embed> and <object> elements become components.
#include "page/page.h"

#include <gumbo.h>
#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "page/charset.h"
#include "page/colour.h"
#include "page/nesting_limit.h"
#include "page/text_encoding.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Appends text with runs of white space folded into one space.
void AppendCollapsed(std::string* out, const char* text) {
    for (const char* p = text; *p; ++p) {
        if (IsSpace(*p)) {
            if (!out->empty() && out->back() != ' ') *out += ' ';
        } else {
            *out += *p;
        }
    }
}

std::string Stripped(const std::string& s) {
    size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

const char* AttributeValue(const GumboElement& element, const char* name) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, name);
    return attribute ? attribute->value : nullptr;
}

class PageBuilder {
public:
    explicit PageBuilder(Page* page) : page_(page) {}

    // Walks the tree below `root` in document order with a stack of its
    // own, so that no depth of nesting can exhaust the call stack.
    void Walk(const GumboNode* root);
    void Finish() { FlushParagraph(); }

private:
    struct Frame {
        const GumboNode* element;
        unsigned nextChild;
        bool block;  // a paragraph ends where it begins and where it ends
    };

    void Visit(const GumboNode* node, std::vector<Frame>* stack);
    void AddTextBlock(BlockKind kind, const std::string& utf8);
    void AddComponent(const GumboNode* node);
    void FlushParagraph();
    static std::string TextOf(const GumboNode* node);

    Page* page_;
    std::string paragraph_;  // inline text gathered since the last block
};

void PageBuilder::Walk(const GumboNode* root) {
    std::vector<Frame> stack;
    Visit(root, &stack);
    while (!stack.empty()) {
        Frame& top = stack.back();
        const GumboVector& children = top.element->v.element.children;
        if (top.nextChild < children.length) {
            Visit(static_cast<const GumboNode*>(children.data[top.nextChild++]), &stack);
            continue;
        }
        if (top.block) FlushParagraph();
        stack.pop_back();
    }
}

// Text joins the paragraph; an element is taken whole (headings,
// components) or entered: pushed, so that Walk goes through its children.
void PageBuilder::Visit(const GumboNode* node, std::vector<Frame>* stack) {
    if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_CDATA ||
        node->type == GUMBO_NODE_WHITESPACE) {
        AppendCollapsed(&paragraph_, node->v.text.text);
        return;
    }
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) return;
    switch (node->v.element.tag) {
        case GUMBO_TAG_HEAD:
        case GUMBO_TAG_SCRIPT:
        case GUMBO_TAG_STYLE:
            return;
        case GUMBO_TAG_H1:
            return AddTextBlock(BlockKind::kHeading1, TextOf(node));
        case GUMBO_TAG_H2:
            return AddTextBlock(BlockKind::kHeading2, TextOf(node));
        case GUMBO_TAG_H3:
        case GUMBO_TAG_H4:
        case GUMBO_TAG_H5:
        case GUMBO_TAG_H6:
            return AddTextBlock(BlockKind::kHeading3, TextOf(node));
        case GUMBO_TAG_EMBED:
        case GUMBO_TAG_OBJECT:
            return AddComponent(node);
        case GUMBO_TAG_P:
        case GUMBO_TAG_DIV:
        case GUMBO_TAG_CENTER:
        case GUMBO_TAG_LI:
        case GUMBO_TAG_BR:
        case GUMBO_TAG_HR:
            // Block boundaries: what came before is a paragraph of its own.
            FlushParagraph();
            stack->push_back(Frame{node, 0, true});
            return;
        default:
            stack->push_back(Frame{node, 0, false});
            return;
    }
}

// All the text below `node`, in document order, again without recursion.
std::string PageBuilder::TextOf(const GumboNode* node) {
    std::string text;
    std::vector<const GumboNode*> pending{node};
    while (!pending.empty()) {
        const GumboNode* next = pending.back();
        pending.pop_back();
        if (next->type == GUMBO_NODE_ELEMENT) {
            const GumboVector& children = next->v.element.children;
            for (unsigned i = children.length; i > 0; --i)
                pending.push_back(static_cast<const GumboNode*>(children.data[i - 1]));
        } else if (next->type == GUMBO_NODE_TEXT || next->type == GUMBO_NODE_WHITESPACE ||
                   next->type == GUMBO_NODE_CDATA) {
            AppendCollapsed(&text, next->v.text.text);
        }
    }
    return text;
}

void PageBuilder::AddTextBlock(BlockKind kind, const std::string& utf8) {
    FlushParagraph();
    std::string collapsed;
    AppendCollapsed(&collapsed, utf8.c_str());
    collapsed = Stripped(collapsed);
    if (collapsed.empty()) return;
    page_->blocks.push_back(PageBlock{kind, Utf8ToWindows1252(collapsed), {}});
}

void PageBuilder::FlushParagraph() {
    std::string text = Stripped(paragraph_);
    paragraph_.clear();
    if (!text.empty())
        page_->blocks.push_back(PageBlock{BlockKind::kParagraph, Utf8ToWindows1252(text), {}});
}

void PageBuilder::AddComponent(const GumboNode* node) {
    FlushParagraph();
    const GumboElement& element = node->v.element;
    PageBlock block{BlockKind::kComponent, "", {}};
    block.element.tag = gumbo_normalized_tagname(element.tag);
    for (unsigned i = 0; i < element.attributes.length; ++i) {
        auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
        block.element.attributes.push_back({attribute->name, Utf8ToWindows1252(attribute->value)});
    }
    // <param name value> children of an <object> carry further attributes.
    for (unsigned i = 0; i < element.children.length; ++i) {
        auto* child = static_cast<const GumboNode*>(element.children.data[i]);
        if (child->type != GUMBO_NODE_ELEMENT || child->v.element.tag != GUMBO_TAG_PARAM) continue;
        const char* name = AttributeValue(child->v.element, "name");
        const char* value = AttributeValue(child->v.element, "value");
        if (name && *name)
            block.element.attributes.push_back(
                {Utf8ToWindows1252(name), Utf8ToWindows1252(value ? value : "")});
    }
    page_->blocks.push_back(std::move(block));
}

const GumboNode* FindChild(const GumboNode* node, GumboTag tag) {
    if (node->type != GUMBO_NODE_ELEMENT) return nullptr;
    const GumboVector& children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == tag) return child;
    }
    return nullptr;
}

void ReadBodyColour(const GumboNode* body, const char* name, COLORREF* out, Page* page) {
    const char* value = AttributeValue(body->v.element, name);
    if (value == nullptr || ParseColour(value, out)) return;
    page->warnings.push_back("<body " + ShownAttribute(name, value) + "> is not a colour; ignored");
}

void ReadTitle(const GumboNode* head, Page* page) {
    const GumboNode* title = head ? FindChild(head, GUMBO_TAG_TITLE) : nullptr;
    if (title == nullptr) return;
    std::string text;
    const GumboVector& children = title->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_TEXT) AppendCollapsed(&text, child->v.text.text);
    }
    page->title = Utf8ToWindows1252(Stripped(text));
}

}  // namespace

const std::string* PageElement::Find(const char* name) const {
    for (const PageAttribute& attribute : attributes)
        if (strcasecmp(attribute.name.c_str(), name) == 0) return &attribute.value;
    return nullptr;
}

std::string ShownAttribute(const std::string& name, const std::string& value) {
    constexpr size_t kShown = 40;
    const bool cut = value.size() > kShown;
    return name + "=\"" + value.substr(0, kShown) + (cut ? "...\"" : "\"");
}

Page ParsePageHtml(const std::string& bytes) {
    Page page;
    std::string html, warning;
    if (!DecodePage(bytes, &html, &warning)) page.warnings.push_back(warning);
    size_t dropped = 0;
    html = LimitNesting(html, kDeepestNesting, &dropped);
    if (dropped > 0)
        page.warnings.push_back(std::to_string(dropped) + " elements nest deeper than " +
                                std::to_string(kDeepestNesting) +
                                " levels; they were not opened and their content joins the "
                                "element at that depth");
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, html.data(), html.size());
    ReadTitle(FindChild(output->root, GUMBO_TAG_HEAD), &page);
    if (const GumboNode* body = FindChild(output->root, GUMBO_TAG_BODY)) {
        ReadBodyColour(body, "bgcolor", &page.background, &page);
        ReadBodyColour(body, "text", &page.text, &page);
        PageBuilder builder(&page);
        builder.Walk(body);
        builder.Finish();
    }
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return page;
}

bool LoadPageFile(const std::string& path, Page* page, std::string* error) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        *error = "cannot read page " + path + ": it is a directory";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read page " + path + ": " + strerror(errno);
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        *error = "cannot read page " + path + ": read error";
        return false;
    }
    *page = ParsePageHtml(content.str());
    return true;
}
