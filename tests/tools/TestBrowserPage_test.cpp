// The test browser's reading of pages: what the portal's little HTML
// yields (title, paragraphs, links, frames, controls, refresh, the body as
// the system browser writes it), how its addresses resolve, and where the
// page's words and boxes land. Hostile input is the fuzzer's
// (fuzz/html_page_fuzzer.cpp).
#include <gtest/gtest.h>

#include <string>

#include "tools/testbrowser/HtmlPage.h"
#include "tools/testbrowser/PageLayout.h"
#include "tools/testbrowser/PageUrl.h"

namespace {

using testbrowser::HtmlPage;
using testbrowser::PageBlock;
using testbrowser::ParseHtml;

std::string ParagraphText(const PageBlock& block) {
    std::string text;
    for (const auto& run : block.runs) text += run.text;
    return text;
}

TEST(TestBrowserPage, ReadsTitleParagraphsAndLinks) {
    const HtmlPage page = ParseHtml(
        "<!DOCTYPE html><html><head><title> Plain \n page </title></head>\n"
        "<body><h1>Head&amp;line</h1><p>Go   to\n<a href='next.html'>the <b>next</b> page</a>"
        " now.<p>Second<br>line &#x4E2D;&#25991; &nbsp;x</body></html>");
    EXPECT_EQ(page.title, "Plain page");
    ASSERT_EQ(page.blocks.size(), 4u);
    EXPECT_EQ(ParagraphText(page.blocks[0]), "Head&line");
    EXPECT_EQ(ParagraphText(page.blocks[1]), "Go to the next page now.");
    EXPECT_EQ(ParagraphText(page.blocks[2]), "Second");
    EXPECT_EQ(ParagraphText(page.blocks[3]), "line 中文 \xC2\xA0x");
    ASSERT_EQ(page.links.size(), 1u);
    EXPECT_EQ(page.links[0].href, "next.html");
    EXPECT_EQ(page.links[0].text, "the next page");
    // The link's words are runs of their own within the paragraph.
    const auto& runs = page.blocks[1].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].link, 0);
    EXPECT_EQ(runs[0].link, -1);
    EXPECT_EQ(page.bodyText,
              "Head&line\r\nGo to the next page now.\r\nSecond\r\nline 中文 \xC2\xA0x");
}

TEST(TestBrowserPage, FramesControlsAndRefresh) {
    const HtmlPage page = ParseHtml(
        "<head><META HTTP-EQUIV=Refresh CONTENT=\"2; URL='/a b.html'\"></head>"
        "<iframe name=inner src=\"inner.html\" width=420 height=50%>fallback text</iframe>"
        "<OBJECT id=game classid=\"CLSID:8856f961-340a-11d0-a96b-00c04fd705a2\" width=\"100%\">"
        "<param name=Server value=\"s1\"><div><param name=deep value=2></div></OBJECT>"
        "<object classid=\"clsid:{8856F961-340A-11D0-A96B-00C04FD705A2}\"></object>");
    ASSERT_TRUE(page.refresh);
    EXPECT_EQ(page.refresh->seconds, 2);
    EXPECT_EQ(page.refresh->url, "/a b.html");
    ASSERT_EQ(page.blocks.size(), 3u);
    const PageBlock& frame = page.blocks[0];
    EXPECT_EQ(frame.kind, PageBlock::Kind::Frame);
    EXPECT_EQ(frame.source, "inner.html");
    EXPECT_EQ(frame.name, "inner");
    EXPECT_EQ(frame.width.value, 420);
    EXPECT_FALSE(frame.width.percent);
    EXPECT_TRUE(frame.height.percent);
    EXPECT_EQ(frame.height.value, 50);
    const PageBlock& control = page.blocks[1];
    EXPECT_EQ(control.kind, PageBlock::Kind::Object);
    EXPECT_EQ(control.source, "8856f961-340a-11d0-a96b-00c04fd705a2");
    EXPECT_EQ(control.name, "game");
    EXPECT_TRUE(control.width.percent);
    EXPECT_EQ(control.height.value, 150);  // the default size of an embedded box
    ASSERT_EQ(control.params.size(), 2u);
    EXPECT_EQ(control.params[0].name, "Server");
    EXPECT_EQ(control.params[0].value, "s1");
    // Braces are not part of the attribute's form: no class id.
    EXPECT_EQ(page.blocks[2].source, "");
}

TEST(TestBrowserPage, BodyIsWrittenAsTheSystemBrowserWritesIt) {
    const HtmlPage json = ParseHtml(
        "<html><head><title>s</title></head><body>[{\"name\":\"一区 &amp; more\",\"id\":1}]</body>"
        "</html>");
    EXPECT_EQ(json.bodyOuterHtml, "<BODY>[{\"name\":\"一区 &amp; more\",\"id\":1}]</BODY>");
    EXPECT_EQ(json.bodyInnerHtml, "[{\"name\":\"一区 &amp; more\",\"id\":1}]");

    const HtmlPage tags = ParseHtml(
        "<body class=\"x\"><p>a<br/>b</p><!-- gone --><script>if (a<b) x();</script>"
        "<a href=\"q?a=1&amp;b=&quot;\">l</a></body>");
    EXPECT_EQ(tags.bodyOuterHtml,
              "<BODY class=\"x\"><P>a<BR>b</P><SCRIPT>if (a<b) x();</SCRIPT>"
              "<A href=\"q?a=1&amp;b=&quot;\">l</A></BODY>");
    EXPECT_EQ(ParseHtml("").bodyOuterHtml, "<BODY></BODY>");
}

TEST(TestBrowserPage, MetaRefreshForms) {
    const struct {
        const char* content;
        bool valid;
        int seconds;
        const char* url;
    } rows[] = {
        {"0;url=next.html", true, 0, "next.html"},
        {" 5 , URL = \"a.html\" ", true, 5, "a.html"},
        {"3", true, 3, ""},
        {"1.5; url=x", true, 1, "x"},
        {"0; http://host/y", true, 0, "http://host/y"},
        {"999999999999;url=z", true, 86400, "z"},
        {"url=x", false, 0, ""},
        {"", false, 0, ""},
    };
    for (const auto& row : rows) {
        const auto refresh = testbrowser::ParseMetaRefresh(row.content);
        EXPECT_EQ(refresh.has_value(), row.valid) << row.content;
        if (!refresh) continue;
        EXPECT_EQ(refresh->seconds, row.seconds) << row.content;
        EXPECT_EQ(refresh->url, row.url) << row.content;
    }
}

TEST(TestBrowserPage, ResolvesAddressesAgainstThePage) {
    const char* base = "http://www.torvessa.example/testbrowser/dir/page.html?q=1#top";
    const struct {
        const char* reference;
        const char* expected;
    } rows[] = {
        {"next.html", "http://www.torvessa.example/testbrowser/dir/next.html"},
        {"../up.html?x=2", "http://www.torvessa.example/testbrowser/up.html?x=2"},
        {"./a/../b/", "http://www.torvessa.example/testbrowser/dir/b/"},
        {"/root.html", "http://www.torvessa.example/root.html"},
        {"//game.torvessa.example/p", "http://game.torvessa.example/p"},
        {"?v=3", "http://www.torvessa.example/testbrowser/dir/page.html?v=3"},
        {"#frag", "http://www.torvessa.example/testbrowser/dir/page.html?q=1#frag"},
        {"", "http://www.torvessa.example/testbrowser/dir/page.html?q=1"},
        {"  HTTP://Other/x  ", "HTTP://Other/x"},
        {"../../../../too-far", "http://www.torvessa.example/too-far"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(testbrowser::ResolveUrl(base, row.reference), row.expected) << row.reference;
    }
    EXPECT_EQ(testbrowser::ResolveUrl("http://host", "a"), "http://host/a");
    EXPECT_EQ(testbrowser::ResolveUrl("about:blank", "a.html"), "a.html");
    EXPECT_EQ(testbrowser::CompleteUrl(" www.torvessa.example/x "),
              "http://www.torvessa.example/x");
    EXPECT_EQ(testbrowser::CompleteUrl("about:blank"), "about:blank");
    EXPECT_TRUE(testbrowser::IsAboutBlank("ABOUT:Blank"));
    EXPECT_FALSE(testbrowser::IsAboutBlank("about:blankx"));
    EXPECT_TRUE(testbrowser::IsScriptUrl(" JavaScript:void(0)"));
}

// Every character is 10 pixels wide, a space 5; lines are 20 high.
class FixedMeasure final : public testbrowser::TextMeasure {
public:
    int TextWidth(std::string_view utf8) const override {
        int n = 0;
        for (unsigned char c : utf8) {
            if ((c & 0xC0) != 0x80) n += c == ' ' ? 5 : 10;
        }
        return n;
    }
    int LineHeight() const override { return 20; }
};

TEST(TestBrowserPage, LayoutWrapsWordsAndPlacesBoxes) {
    const HtmlPage page = ParseHtml(
        "<body leftmargin=0 topmargin=0><title>T</title>"
        "<p>aaaa bbbb <a href=l>cc dd</a></p><p>中文字</p>"
        "<iframe width=50% height=30></iframe></body>");
    const FixedMeasure measure;
    const auto layout = testbrowser::LayOutPage(page, 100, 400, measure, measure);
    // The title, then "aaaa bbbb" (85 wide) on the first line and the link
    // on the next; the CJK line breaks between characters.
    ASSERT_GE(layout.texts.size(), 4u);
    EXPECT_TRUE(layout.texts[0].title);
    EXPECT_EQ(layout.texts[1].text, "aaaa bbbb");
    EXPECT_EQ(layout.texts[1].box.right, 85);
    EXPECT_EQ(layout.texts[2].text, "cc dd");
    EXPECT_EQ(layout.texts[2].link, 0);
    EXPECT_EQ(layout.texts[2].box.top, layout.texts[1].box.top + 20);
    EXPECT_EQ(testbrowser::LinkAt(layout, 10, layout.texts[2].box.top + 5), 0);
    EXPECT_EQ(testbrowser::LinkAt(layout, 10, layout.texts[1].box.top + 5), -1);

    const auto narrow = testbrowser::LayOutPage(page, 25, 400, measure, measure);
    int cjkLines = 0;
    for (const auto& text : narrow.texts)
        cjkLines += text.text.find("\xE4\xB8\xAD") == 0 || text.text == "字";
    EXPECT_EQ(cjkLines, 2);  // "中文" and "字"

    ASSERT_EQ(layout.embeds.size(), 1u);
    EXPECT_EQ(layout.embeds[0].box.right - layout.embeds[0].box.left, 50);
    EXPECT_EQ(layout.embeds[0].box.bottom - layout.embeds[0].box.top, 30);
    EXPECT_EQ(layout.contentHeight, layout.embeds[0].box.bottom + 6);
}

}  // namespace
