// Paths and URLs relative to a page.
#include <gtest/gtest.h>

#include <unistd.h>

#include "page/url.h"

namespace {

TEST(Paths, AbsoluteAndRelative) {
    EXPECT_EQ(AbsolutePath("/a/./b/../c//d"), "/a/c/d");
    EXPECT_EQ(AbsolutePath("/.."), "/");
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(AbsolutePath("x.html"), std::string(cwd) + "/x.html");
    EXPECT_EQ(DirectoryOf("/a/b/page.html"), "/a/b");
    EXPECT_EQ(DirectoryOf("/page.html"), "/");
    EXPECT_EQ(DirectoryOf("page.html"), ".");
    EXPECT_EQ(ResolvePath("/a/b", "news.txt"), "/a/b/news.txt");
    EXPECT_EQ(ResolvePath("/a/b", "../c/news.txt"), "/a/c/news.txt");
    EXPECT_EQ(ResolvePath("/a/b", "/etc/news.txt"), "/etc/news.txt");
}

TEST(Urls, FileUrlsEncodeWhatUrlsCannotHold) {
    EXPECT_EQ(FileUrlFromPath("/a/b c/d%e.html"), "file:///a/b%20c/d%25e.html");
    EXPECT_EQ(FileUrlFromPath("/x/caf\xE9"), "file:///x/caf%E9");
}

TEST(Urls, ReferencesResolveAgainstThePage) {
    struct Case {
        const char* base;
        const char* reference;
        const char* expected;  // null: refused
    } cases[] = {
        {"file:///site/pages/demo.html", "headlines.txt", "file:///site/pages/headlines.txt"},
        {"file:///site/pages/demo.html", "../data/a.txt", "file:///site/data/a.txt"},
        {"file:///site/pages/demo.html", "/top.txt", "file:///top.txt"},
        {"http://example.org/dir/page.html", "feed?x=1", "http://example.org/dir/feed?x=1"},
        {"http://example.org/dir/page.html", "https://other.org/f", "https://other.org/f"},
        {"http://example.org/dir/page.html", "//cdn.org/f", "http://cdn.org/f"},
        {"file:///site/pages/demo.html", "ftp://example.org/f", nullptr},
        {"file:///site/pages/demo.html", "gopher://x/", nullptr},
        {"file:///site/pages/demo.html", "", nullptr},
        {"file:///site/pages/demo.html", "http://[broken", nullptr},
    };
    for (const Case& c : cases) {
        std::string out = "untouched";
        const bool ok = ResolveUrl(c.base, c.reference, &out);
        EXPECT_EQ(ok, c.expected != nullptr) << c.reference << " -> " << out;
        if (c.expected && ok) {
            EXPECT_EQ(out, c.expected) << c.reference;
        }
    }
}

TEST(Urls, SpacesInReferencesAreEncoded) {
    std::string out;
    ASSERT_TRUE(ResolveUrl("file:///site/demo.html", "my news.txt", &out));
    EXPECT_EQ(out, "file:///site/my%20news.txt");
}

}  // namespace
