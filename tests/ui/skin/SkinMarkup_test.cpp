#include "ui/skin/SkinMarkup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using SkinUI::CSkinMarkup;
using SkinUI::CSkinMarkupNode;

std::vector<uint8_t> Utf8(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> Utf16(const std::u16string& text, bool bigEndian, bool bom = true) {
    std::vector<uint8_t> bytes;
    auto put = [&](char16_t unit) {
        const uint8_t high = static_cast<uint8_t>(unit >> 8);
        const uint8_t low = static_cast<uint8_t>(unit & 0xFF);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    };
    if (bom) put(0xFEFF);
    for (char16_t unit : text) put(unit);
    return bytes;
}

constexpr const char kLayout[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<!-- the update window -->\n"
    "<Window size=\"590,116\" caption=\"0,0,0,116\">\n"
    "  <VerticalLayout bkimage=\"update_bg.png\">\n"
    "    <Progress name=\"progress\" pos=\"0, 0, 102, 22\" float=\"true\"/>\n"
    "    <Label name=\"text\">Checking  for\n   updates</Label>\n"
    "  </VerticalLayout>\n"
    "</Window>\n";

void ExpectUpdateLayout(CSkinMarkup& markup) {
    CSkinMarkupNode root = markup.GetRoot();
    ASSERT_TRUE(root.IsValid());
    EXPECT_STREQ(root.GetName(), L"Window");
    EXPECT_FALSE(root.GetParent().IsValid());
    EXPECT_FALSE(root.HasSiblings());
    ASSERT_EQ(root.GetAttributeCount(), 2);
    EXPECT_STREQ(root.GetAttributeName(1), L"caption");
    EXPECT_STREQ(root.GetAttributeValue(L"size"), L"590,116");
    EXPECT_EQ(root.GetAttributeValue(L"Size"), nullptr);  // names are exact
    EXPECT_EQ(root.GetAttributeName(2), nullptr);

    CSkinMarkupNode layout = root.GetChild();
    ASSERT_TRUE(layout.IsValid());
    EXPECT_STREQ(layout.GetName(), L"VerticalLayout");
    EXPECT_STREQ(layout.GetValue(), L"\n ");  // the indentation up to the first child
    CSkinMarkupNode progress = layout.GetChild();
    ASSERT_TRUE(progress.IsValid());
    EXPECT_STREQ(progress.GetName(), L"Progress");
    EXPECT_STREQ(progress.GetAttributeValue(L"pos"), L"0, 0, 102, 22");
    EXPECT_FALSE(progress.HasChildren());
    EXPECT_TRUE(progress.HasSiblings());
    CSkinMarkupNode label = layout.GetChild(L"Label");
    ASSERT_TRUE(label.IsValid());
    // A blank followed by more whitespace becomes one blank; a line break
    // that starts a run stays as written.
    EXPECT_STREQ(label.GetValue(), L"Checking for\n updates");
    EXPECT_FALSE(label.GetSibling().IsValid());
    EXPECT_STREQ(label.GetParent().GetName(), L"VerticalLayout");
    EXPECT_FALSE(layout.GetChild(L"label").IsValid());
}

TEST(SkinMarkupTest, ReadsLayoutFromEveryEncodingAlike) {
    CSkinMarkup plain;
    ASSERT_TRUE(plain.LoadFromMem(Utf8(kLayout).data(), sizeof(kLayout) - 1))
        << plain.GetLastErrorMessage().size();
    ExpectUpdateLayout(plain);

    CSkinMarkup withBom;
    const std::vector<uint8_t> bom = Utf8(std::string("\xEF\xBB\xBF") + kLayout);
    ASSERT_TRUE(withBom.LoadFromMem(bom.data(), bom.size()));
    ExpectUpdateLayout(withBom);

    std::u16string wide(kLayout, kLayout + sizeof(kLayout) - 1);
    for (bool bigEndian : {false, true}) {
        CSkinMarkup utf16;
        const std::vector<uint8_t> bytes = Utf16(wide, bigEndian);
        ASSERT_TRUE(utf16.LoadFromMem(bytes.data(), bytes.size(), SkinUI::XMLFILE_ENCODING_UNICODE))
            << "big-endian " << bigEndian;
        ExpectUpdateLayout(utf16);
    }

    CSkinMarkup ansi;
    ASSERT_TRUE(
        ansi.LoadFromMem(Utf8(kLayout).data(), sizeof(kLayout) - 1, SkinUI::XMLFILE_ENCODING_ASNI));
    ExpectUpdateLayout(ansi);

    std::wstring text(kLayout, kLayout + sizeof(kLayout) - 1);
    CSkinMarkup fromText(text.c_str());
    ExpectUpdateLayout(fromText);
}

TEST(SkinMarkupTest, Utf16WithoutByteOrderMarkIsRefused) {
    const std::vector<uint8_t> bytes = Utf16(u"<Window/>", false, false);
    CSkinMarkup markup;
    EXPECT_FALSE(markup.LoadFromMem(bytes.data(), bytes.size(), SkinUI::XMLFILE_ENCODING_UNICODE));
    EXPECT_FALSE(markup.IsValid());
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_FALSE(markup.GetLastErrorMessage().empty());
}

TEST(SkinMarkupTest, DecodesCharactersBeyondAscii) {
    // "加载" and an emoji outside the basic plane; the compiler writes the
    // expected wide literals in the platform's own form (UTF-16 or UTF-32).
    const std::string utf8 = "<a t=\"\xE5\x8A\xA0\xE8\xBD\xBD \xF0\x9F\x98\x80\">\xC3\xA9</a>";
    CSkinMarkup markup;
    ASSERT_TRUE(markup.LoadFromMem(Utf8(utf8).data(), utf8.size()));
    EXPECT_EQ(std::wstring(markup.GetRoot().GetAttributeValue(L"t")), L"\u52A0\u8F7D \U0001F600");
    EXPECT_STREQ(markup.GetRoot().GetValue(), L"\u00E9");

    const std::vector<uint8_t> utf16 = Utf16(u"<a t=\"\u52A0\U0001F600\"/>", true);
    ASSERT_TRUE(markup.LoadFromMem(utf16.data(), utf16.size(), SkinUI::XMLFILE_ENCODING_UNICODE));
    EXPECT_EQ(std::wstring(markup.GetRoot().GetAttributeValue(L"t")), L"\u52A0\U0001F600");

    // Broken UTF-8 is replaced, not refused, and does not swallow the quote.
    const std::string broken = "<a t=\"x\xC3\" u=\"\xE5\x8A\"/>";
    ASSERT_TRUE(markup.LoadFromMem(Utf8(broken).data(), broken.size()));
    EXPECT_EQ(std::wstring(markup.GetRoot().GetAttributeValue(L"t")), L"x\uFFFD");
    EXPECT_EQ(std::wstring(markup.GetRoot().GetAttributeValue(L"u")), L"\uFFFD");
}

TEST(SkinMarkupTest, EntitiesAndWhitespace) {
    CSkinMarkup markup(
        L"<a v=\"&amp;&lt;&gt;&quot;&apos;\" w=\"&nbsp;&amp;lt;&\" x=\"a \t\n b\" "
        L"y=\"a\tb\">  one   two  <b/></a>");
    CSkinMarkupNode root = markup.GetRoot();
    ASSERT_TRUE(root.IsValid()) << markup.GetLastErrorMessage();
    EXPECT_STREQ(root.GetAttributeValue(L"v"), L"&<>\"'");
    EXPECT_STREQ(root.GetAttributeValue(L"w"), L"&nbsp;&lt;&");  // decoded once only
    EXPECT_STREQ(root.GetAttributeValue(L"x"), L"a b");
    EXPECT_STREQ(root.GetAttributeValue(L"y"), L"a\tb");
    EXPECT_STREQ(root.GetValue(), L" one two ");  // collapsed, not trimmed

    CSkinMarkup kept;
    kept.SetPreserveWhitespace(true);
    ASSERT_TRUE(kept.Load(L"<a x=\"a  b\">  t  <b/></a>"));
    EXPECT_STREQ(kept.GetRoot().GetAttributeValue(L"x"), L"a  b");
    EXPECT_STREQ(kept.GetRoot().GetValue(), L"  t  ");
}

TEST(SkinMarkupTest, KeepsOnlyTheFirst64Attributes) {
    std::wstring text = L"<Button";
    for (int i = 1; i <= 65; ++i) {
        text += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
    }
    text += L"/>";
    CSkinMarkup markup(text.c_str());
    CSkinMarkupNode root = markup.GetRoot();
    ASSERT_TRUE(root.IsValid()) << markup.GetLastErrorMessage();
    EXPECT_EQ(root.GetAttributeCount(), 64);
    EXPECT_STREQ(root.GetAttributeValue(L"a64"), L"64");
    EXPECT_STREQ(root.GetAttributeName(63), L"a64");
    EXPECT_EQ(root.GetAttributeValue(L"a65"), nullptr);
    EXPECT_FALSE(root.HasAttribute(L"a65"));
}

TEST(SkinMarkupTest, DocumentEndingEarlyStillParses) {
    CSkinMarkup markup;
    // The root's end tag missing, then a direct child's end tag too.
    ASSERT_TRUE(markup.Load(L"<Window><VerticalLayout name=\"v\"/>"));
    EXPECT_STREQ(markup.GetRoot().GetChild().GetAttributeValue(L"name"), L"v");
    ASSERT_TRUE(markup.Load(L"<Window><A/><B>text"));
    EXPECT_STREQ(markup.GetRoot().GetChild(L"B").GetValue(), L"text");
    ASSERT_TRUE(markup.Load(L"<Window><A><B/>"));
    EXPECT_TRUE(markup.GetRoot().GetChild().GetChild().IsValid());
    ASSERT_TRUE(markup.Load(L"<Window>"));
    // Deeper than a child of the root, the end is an error.
    EXPECT_FALSE(markup.Load(L"<Window><A><B>text"));
    EXPECT_EQ(markup.GetLastErrorMessage(), L"Expected end-tag start");
    EXPECT_FALSE(markup.Load(L"<Window><A><B><C/>"));
    EXPECT_EQ(markup.GetLastErrorMessage(), L"Expected start tag");
}

TEST(SkinMarkupTest, EmptyDocumentHasNoRoot) {
    CSkinMarkup markup;
    EXPECT_TRUE(markup.Load(L"  <!-- nothing -->  "));
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_FALSE(markup.IsValid());
    EXPECT_STREQ(markup.GetRoot().GetName(), L"");
    EXPECT_EQ(markup.GetRoot().GetAttributeCount(), 0);
}

struct ParseErrorCase {
    const wchar_t* text;
    const wchar_t* message;
    const wchar_t* location;  // nullptr: not checked
};

TEST(SkinMarkupTest, EveryParseErrorHasItsMessage) {
    const ParseErrorCase cases[] = {
        {L"hello", L"Expected start tag", L"hello"},
        {L"<a><b/>trailing</a>", L"Expected start tag", L"trailing</a>"},
        {L"< a/>", L"Error parsing element name", L" a/>"},
        {L"<>", L"Error parsing element name", nullptr},
        {L"<a b/>", L"Error while parsing attributes", L"/>"},
        {L"<a =\"1\"/>", L"Error while parsing attributes", nullptr},
        {L"<a b='1'/>", L"Expected attribute value", L"'1'/>"},
        {L"<a b=\"1/>", L"Error while parsing attribute string", L"1/>"},
        {L"<a b=\"1\"/ >", L"Expected start-tag closing", nullptr},
        {L"<a b=\"1\"", L"Expected start-tag closing", nullptr},
        {L"<a><b><c>x", L"Expected end-tag start", nullptr},
        {L"<a></b>", L"Unmatched closing tag", L"</b>"},
        {L"<a></A>", L"Unmatched closing tag", nullptr},
        {L"<a></ab>", L"Unmatched closing tag", nullptr},
        {L"<ab></a>", L"Unmatched closing tag", nullptr},
        {L"<a></a x>", L"Unmatched closing tag", nullptr},
        {L"<a><b></b></a></c>", L"Unmatched closing tag", L"</c>"},
        {L"</a>", L"Unmatched closing tag", nullptr},
    };
    for (const ParseErrorCase& c : cases) {
        CSkinMarkup markup;
        EXPECT_FALSE(markup.Load(c.text)) << "accepted: " << testing::PrintToString(c.text);
        EXPECT_EQ(markup.GetLastErrorMessage(), c.message) << testing::PrintToString(c.text);
        if (c.location != nullptr) {
            EXPECT_EQ(markup.GetLastErrorLocation(), c.location) << testing::PrintToString(c.text);
        }
        // A failed parse leaves nothing behind to build from.
        EXPECT_FALSE(markup.GetRoot().IsValid());
    }
}

TEST(SkinMarkupTest, ErrorLocationIsCutTo49Characters) {
    CSkinMarkup markup;
    const std::wstring tail(200, L'x');
    EXPECT_FALSE(markup.Load((L"<a b='" + tail + L"'/>").c_str()));
    EXPECT_EQ(markup.GetLastErrorLocation(), L"'" + tail.substr(0, 48));
}

TEST(SkinMarkupTest, NestingTooDeepFailsInsteadOfOverflowing) {
    auto nested = [](int depth) {
        std::wstring text;
        for (int i = 0; i < depth; ++i) text += L"<a>";
        for (int i = 0; i < depth; ++i) text += L"</a>";
        return text;
    };
    CSkinMarkup markup;
    EXPECT_TRUE(markup.Load(nested(CSkinMarkup::kMaxDepth).c_str()))
        << markup.GetLastErrorMessage();
    EXPECT_FALSE(markup.Load(nested(CSkinMarkup::kMaxDepth + 1).c_str()));
    EXPECT_EQ(markup.GetLastErrorMessage(), L"Elements nested too deeply");
    // Far past any stack: a hostile file must not crash the launcher.
    EXPECT_FALSE(markup.Load(nested(200000).c_str()));
    EXPECT_EQ(markup.GetLastErrorMessage(), L"Elements nested too deeply");
}

TEST(SkinMarkupTest, ManySiblingsSurviveTheRecordsGrowing) {
    std::wstring text = L"<List>";
    for (int i = 0; i < 3000; ++i) text += L"<Item n=\"" + std::to_wstring(i) + L"\"/>";
    text += L"</List>";
    CSkinMarkup markup(text.c_str());
    int count = 0;
    for (CSkinMarkupNode item = markup.GetRoot().GetChild(); item.IsValid();
         item = item.GetSibling()) {
        ASSERT_EQ(std::wstring(item.GetAttributeValue(L"n")), std::to_wstring(count));
        ++count;
    }
    EXPECT_EQ(count, 3000);
}

class FakeSource : public SkinUI::ISkinFileSource {
public:
    bool ReadSkinFile(const std::wstring& name, std::vector<uint8_t>& bytes,
                      std::wstring& error) override {
        lastName = name;
        if (!ok) {
            error = L"Could not find ziped file";
            return false;
        }
        bytes = Utf8(content);
        return true;
    }
    bool ok = true;
    std::string content;
    std::wstring lastName;
};

TEST(SkinMarkupTest, LoadFromFileReportsTheSourcesError) {
    FakeSource source;
    source.content = "\xEF\xBB\xBF<Window size=\"1,2\"/>";
    CSkinMarkup markup;
    ASSERT_TRUE(markup.LoadFromFile(L"main.xml", source));
    EXPECT_EQ(source.lastName, L"main.xml");
    EXPECT_STREQ(markup.GetRoot().GetAttributeValue(L"size"), L"1,2");

    source.ok = false;
    EXPECT_FALSE(markup.LoadFromFile(L"update.xml", source));
    EXPECT_EQ(markup.GetLastErrorMessage(), L"Could not find ziped file");
    EXPECT_FALSE(markup.GetRoot().IsValid());
}

}  // namespace
