// Pages into blocks, elements into creation records.
#include <gtest/gtest.h>

#include <string>

#include "page/colour.h"
#include "page/element_record.h"
#include "page/nesting_limit.h"
#include "page/page.h"
#include "page/text_encoding.h"

namespace {

std::string Names(const PageElement& element) {
    std::string out;
    for (const PageAttribute& a : element.attributes) out += a.name + "=" + a.value + ";";
    return out;
}

TEST(PageParsing, BlocksComeInDocumentOrder) {
    Page page = ParsePageHtml(
        "<html><head><title> My  page </title></head><body bgcolor='#102030' text=navy>"
        "<h1>Big <b>news</b></h1>\n<p>First  line\n of text.</p>"
        "<embed type='application/x-pellux-ticker' TEXT='hi'>"
        "loose words<h4>small</h4></body></html>");
    EXPECT_EQ(page.title, "My page");
    EXPECT_EQ(page.background, RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(page.text, RGB(0, 0, 128));
    ASSERT_EQ(page.blocks.size(), 5u);
    EXPECT_EQ(page.blocks[0].kind, BlockKind::kHeading1);
    EXPECT_EQ(page.blocks[0].text, "Big news");
    EXPECT_EQ(page.blocks[1].kind, BlockKind::kParagraph);
    EXPECT_EQ(page.blocks[1].text, "First line of text.");
    EXPECT_EQ(page.blocks[2].kind, BlockKind::kComponent);
    EXPECT_EQ(Names(page.blocks[2].element), "type=application/x-pellux-ticker;text=hi;");
    EXPECT_EQ(page.blocks[3].kind, BlockKind::kParagraph);
    EXPECT_EQ(page.blocks[3].text, "loose words");
    EXPECT_EQ(page.blocks[4].kind, BlockKind::kHeading3);
}

TEST(PageParsing, ObjectParamsFollowItsAttributes) {
    Page page = ParsePageHtml(
        "<body><object type=t width=300><param name=TEXT value='a b'>"
        "<param name=FONT value=Arial><param value=nameless>fallback text</object></body>");
    ASSERT_EQ(page.blocks.size(), 1u);
    EXPECT_EQ(page.blocks[0].element.tag, "object");
    EXPECT_EQ(Names(page.blocks[0].element), "type=t;width=300;TEXT=a b;FONT=Arial;");
    ASSERT_NE(page.blocks[0].element.Find("font"), nullptr);
    EXPECT_EQ(*page.blocks[0].element.Find("font"), "Arial");
    EXPECT_EQ(page.blocks[0].element.Find("missing"), nullptr);
}

TEST(PageParsing, EmbedInsideParagraphSplitsIt) {
    Page page = ParsePageHtml("<body><p>before <embed type=t> after</p></body>");
    ASSERT_EQ(page.blocks.size(), 3u);
    EXPECT_EQ(page.blocks[0].text, "before");
    EXPECT_EQ(page.blocks[1].kind, BlockKind::kComponent);
    EXPECT_EQ(page.blocks[2].text, "after");
}

TEST(PageParsing, DefaultsAndEmptyPages) {
    Page page = ParsePageHtml("");
    EXPECT_TRUE(page.blocks.empty());
    EXPECT_EQ(page.background, RGB(255, 255, 255));
    EXPECT_EQ(page.text, RGB(0, 0, 0));
    // A colour that does not parse leaves the default in place.
    EXPECT_EQ(ParsePageHtml("<body bgcolor='#12'>").background, RGB(255, 255, 255));
    // Scripts and styles are not text.
    EXPECT_TRUE(
        ParsePageHtml("<body><script>var x;</script><style>p{}</style></body>").blocks.empty());
}

TEST(PageParsing, TextBecomesWindows1252) {
    Page page = ParsePageHtml("<body><p>caf&eacute; &euro;5 &mdash; \xE2\x9C\x93</p></body>");
    ASSERT_EQ(page.blocks.size(), 1u);
    EXPECT_EQ(page.blocks[0].text,
              "caf\xE9 \x80"
              "5 \x97 ?");
    // Bytes that are not UTF-8 pass unchanged.
    EXPECT_EQ(Utf8ToWindows1252("a\xE9z"), "a\xE9z");
}

TEST(PageParsing, DeclaredCharsetsAreDecoded) {
    struct Case {
        const char* html;
        const char* text;  // as the page keeps it: Windows-1252
    } cases[] = {
        {"<meta charset='windows-1252'><p>caf\xE9 \x80</p>", "caf\xE9 \x80"},
        {"<meta http-equiv='Content-Type' content='text/html; charset=ISO-8859-1'><p>\xE0</p>",
         "\xE0"},
        {"<meta charset=utf-8><p>caf\xC3\xA9</p>", "caf\xE9"},
        {"<p>caf\xC3\xA9</p>", "caf\xE9"},
        {"\xEF\xBB\xBF<p>caf\xC3\xA9</p>", "caf\xE9"},
    };
    for (const Case& c : cases) {
        Page page = ParsePageHtml(c.html);
        ASSERT_EQ(page.blocks.size(), 1u) << c.html;
        EXPECT_EQ(page.blocks[0].text, c.text) << c.html;
        EXPECT_TRUE(page.warnings.empty()) << c.html;
    }
    Page unknown = ParsePageHtml("<meta charset='koi8-r'><p>x</p>");
    ASSERT_EQ(unknown.warnings.size(), 1u);
    EXPECT_NE(unknown.warnings[0].find("\"koi8-r\" is not one this host decodes"),
              std::string::npos);
}

TEST(PageParsing, DeepNestingIsCutAtTheLimitKeepingTheText) {
    std::string html = "<body>";
    for (int i = 0; i < 5000; ++i) html += i % 2 ? "<div>" : "<span><b>";
    html += "bottom<embed type='x/y'></body>";
    Page page = ParsePageHtml(html);
    ASSERT_EQ(page.warnings.size(), 1u);
    EXPECT_NE(page.warnings[0].find("nest deeper than 512"), std::string::npos);
    ASSERT_EQ(page.blocks.size(), 2u);
    EXPECT_EQ(page.blocks[0].text, "bottom");
    EXPECT_EQ(page.blocks[1].kind, BlockKind::kComponent);
    // Ordinary pages, with many unclosed paragraphs and items, are not touched.
    size_t dropped = 99;
    const std::string flat = "<ul><li>a<p>b<br><li>c</ul>";
    std::string many;
    for (int i = 0; i < 2000; ++i) many += flat;
    EXPECT_EQ(LimitNesting(many, 512, &dropped), many);
    EXPECT_EQ(dropped, 0u);
}

TEST(PageParsing, MissingFileIsAnError) {
    Page page;
    std::string error;
    EXPECT_FALSE(LoadPageFile("/nonexistent/page.html", &page, &error));
    EXPECT_NE(error.find("/nonexistent/page.html"), std::string::npos) << error;
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
    EXPECT_FALSE(LoadPageFile("/", &page, &error));
    EXPECT_NE(error.find("directory"), std::string::npos) << error;
}

TEST(Colours, NamesAndHexForms) {
    struct Case {
        const char* text;
        bool ok;
        COLORREF value;
    } cases[] = {
        {"#ff8000", true, RGB(255, 128, 0)},
        {"#F80", true, RGB(255, 136, 0)},
        {"00ff00", true, RGB(0, 255, 0)},
        {" Navy ", true, RGB(0, 0, 128)},
        {"grey", true, RGB(128, 128, 128)},
        {"#12345", false, 0},
        {"#gggggg", false, 0},
        {"", false, 0},
        {"0f0", false, 0},
        {"nocolour", false, 0},
        // Once an exception out of the number conversion:
        {"#", false, 0},
        {"#12345678901234567890", false, 0},
        {"#ffffffffffffffff0", false, 0},
        {"#ffffffffffffffffffffffff", false, 0},
    };
    for (const Case& c : cases) {
        COLORREF value = 0xDEADBEEF;
        EXPECT_EQ(ParseColour(c.text, &value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 0xDEADBEEF) << c.text;
    }
}

PageElement Element(std::initializer_list<PageAttribute> attributes) {
    PageElement element;
    element.tag = "embed";
    element.attributes = attributes;
    return element;
}

TEST(ElementRecords, AttributesBecomeNullTerminatedPairs) {
    ElementRecord element(
        Element({{"type", "application/x-pellux-ticker"}, {"text", "Hi"}, {"Size", "20"}}),
        ElementDefaults{"/pages", RGB(1, 2, 3), RGB(4, 5, 6)});
    InitRecord* r = element.record();
    EXPECT_EQ(r->size, 48);
    ASSERT_EQ(r->attrCount, 3);
    EXPECT_STREQ(r->attrNames[0], "TYPE");
    EXPECT_STREQ(r->attrNames[1], "TEXT");
    EXPECT_STREQ(r->attrNames[2], "SIZE");
    EXPECT_STREQ(r->attrValues[1], "Hi");
    EXPECT_EQ(r->attrNames[3], nullptr);
    EXPECT_EQ(r->attrValues[3], nullptr);
    EXPECT_STREQ(r->typeName, "application/x-pellux-ticker");
    EXPECT_EQ(r->dataFile, nullptr);
    EXPECT_EQ(r->backColor, RGB(1, 2, 3));
    EXPECT_EQ(r->textColor, RGB(4, 5, 6));
    EXPECT_LT(r->mode, kAltHostMark);
    EXPECT_FALSE(element.hasWidth());
    EXPECT_EQ(r->fixedSize, 0);
}

TEST(ElementRecords, DataFileSizeAndColoursFromAttributes) {
    ElementRecord element(Element({{"datafile", "../data/news.txt"},
                                   {"width", "300px"},
                                   {"height", "40"},
                                   {"bgcolor", "#000080"},
                                   {"textcolor", "yellow"}}),
                          ElementDefaults{"/site/pages", 0, 0});
    InitRecord* r = element.record();
    ASSERT_NE(r->dataFile, nullptr);
    EXPECT_STREQ(r->dataFile, "/site/data/news.txt");
    EXPECT_EQ(r->width, 300);
    EXPECT_EQ(r->height, 40);
    EXPECT_EQ(r->fixedSize, 1);
    EXPECT_EQ(r->backColor, RGB(0, 0, 128));
    EXPECT_EQ(r->textColor, RGB(255, 255, 0));
    element.SetSizeDefaults(1, 2);  // the page's size wins
    EXPECT_EQ(r->width, 300);
}

TEST(ElementRecords, OpenSizeTakesDefaults) {
    ElementRecord element(Element({{"height", "50%"}, {"width", "120"}}), ElementDefaults{});
    EXPECT_TRUE(element.hasWidth());
    EXPECT_FALSE(element.hasHeight());
    EXPECT_EQ(element.record()->fixedSize, 0);
    element.SetSizeDefaults(400, 33);
    EXPECT_EQ(element.record()->width, 120);
    EXPECT_EQ(element.record()->height, 33);
}

TEST(ElementRecords, PixelValues) {
    int v = -1;
    EXPECT_TRUE(ParsePixels("400", &v));
    EXPECT_EQ(v, 400);
    EXPECT_TRUE(ParsePixels(" 12px ", &v));
    EXPECT_EQ(v, 12);
    for (const char* bad : {"", "0", "-5", "50%", "12em", "99999", "abc"})
        EXPECT_FALSE(ParsePixels(bad, &v)) << bad;
}

}  // namespace
