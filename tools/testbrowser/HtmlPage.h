// The little HTML that the dev portal's pages are written in, read into
// what the test browser shows and serves: the title, paragraphs of text and
// links, frames, embedded controls, a meta refresh, and the body written
// back out the way the system browser writes it. Page bytes come from the
// network: any input yields a page, and the tree is bounded in depth and
// size. Portable (no windows.h); texts are UTF-8 as the page gave them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testbrowser {

// A width or height attribute: pixels, or a percentage of the view.
struct Length {
    int value = 0;
    bool percent = false;
};

struct PageLink {
    std::string href;    // as written, entities decoded; resolve against the page
    std::string target;  // "" , "_blank", "_top", "_parent", "_self" or a frame name
    std::string text;    // the link's text, white space collapsed
};

struct TextRun {
    std::string text;
    int link = -1;  // index into HtmlPage::links, -1 for plain text
};

struct ObjectParam {
    std::string name;
    std::string value;
};

struct PageBlock {
    enum class Kind { Paragraph, Frame, Object };
    Kind kind = Kind::Paragraph;
    std::vector<TextRun> runs;  // Paragraph: non-empty, trimmed, single spaces
    std::string source;         // Frame: src as written; Object: the class id
                                // ("8856F961-340A-..."), "" when absent or malformed
    std::string name;           // Frame: name; Object: id
    Length width;
    Length height;
    std::vector<ObjectParam> params;  // Object: its <param> children
};

struct MetaRefresh {
    int seconds = 0;
    std::string url;  // "" reloads the same page
};

struct HtmlPage {
    std::string title;
    std::vector<PageLink> links;
    std::vector<PageBlock> blocks;
    std::optional<MetaRefresh> refresh;
    // "<BODY>" + the body's content + "</BODY>": tags in upper case,
    // attribute values in double quotes, text with &, < and > escaped.
    std::string bodyOuterHtml;
    std::string bodyInnerHtml;
    std::string bodyText;  // the paragraphs' texts joined by "\r\n"
    int marginLeft = 8;    // the body's leftmargin / topmargin attributes
    int marginTop = 8;
};

HtmlPage ParseHtml(std::string_view bytes);

// "5;url=next.html", "0; URL='a b'", "3": nullopt unless it starts with a
// number of seconds.
std::optional<MetaRefresh> ParseMetaRefresh(std::string_view content);

// "clsid:8856F961-340A-11D0-A96B-00C04FD705A2" (any case) gives the id
// between the prefix and the end; anything else "".
std::string ClassIdOf(std::string_view classidAttribute);

}  // namespace testbrowser
