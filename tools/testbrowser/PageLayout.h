// Where the test browser draws a page: the title line, the paragraphs'
// words wrapped to the view's width (CJK text breaks between characters),
// link areas for clicks, and the boxes of frames and embedded controls.
// Portable: text is measured through TextMeasure, which the view
// implements with its fonts and tests with fakes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/testbrowser/HtmlPage.h"

namespace testbrowser {

class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual int TextWidth(std::string_view utf8) const = 0;
    virtual int LineHeight() const = 0;
};

struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// One piece of text on one line: a run of words of the same link.
struct PlacedText {
    Box box;
    std::string text;
    int link = -1;
    bool title = false;
};

struct PlacedEmbed {
    Box box;
    size_t block = 0;  // index into HtmlPage::blocks (a frame or an object)
};

struct PageLayout {
    std::vector<PlacedText> texts;
    std::vector<PlacedEmbed> embeds;
    int contentHeight = 0;
};

// Lays |page| out in a view of |width| x |height| pixels.
PageLayout LayOutPage(const HtmlPage& page, int width, int height, const TextMeasure& titleFont,
                      const TextMeasure& textFont);

// The link under a point, -1 for none.
int LinkAt(const PageLayout& layout, int x, int y);

}  // namespace testbrowser
