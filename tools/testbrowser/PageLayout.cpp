#include "tools/testbrowser/PageLayout.h"

#include <algorithm>
#include <cstdint>

namespace testbrowser {

namespace {

constexpr int kParagraphGap = 6;

// Code points from which a line may break between any two characters.
bool IsWideCodePoint(uint32_t cp) {
    return (cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7AF) ||
           (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFF00 && cp <= 0xFFEF) || cp >= 0x20000;
}

// The length and code point of the UTF-8 sequence at |i|; malformed bytes
// count as one character each.
size_t NextCharacter(std::string_view s, size_t i, uint32_t* cp) {
    const auto b = static_cast<unsigned char>(s[i]);
    size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
    if (i + n > s.size()) n = 1;
    uint32_t value = n == 1 ? b : b & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            *cp = b;
            return 1;
        }
        value = (value << 6) | (c & 0x3F);
    }
    *cp = value;
    return n;
}

struct Word {
    std::string text;
    bool spaceBefore = false;
    int link = -1;
};

std::vector<Word> SplitWords(const std::vector<TextRun>& runs) {
    std::vector<Word> words;
    bool space = false;
    bool joinable = false;  // the last word may take more characters
    for (const auto& run : runs) {
        for (size_t i = 0; i < run.text.size();) {
            uint32_t cp = 0;
            const size_t n = NextCharacter(run.text, i, &cp);
            const std::string_view piece(run.text.data() + i, n);
            i += n;
            if (cp == ' ') {
                space = true;
                joinable = false;
                continue;
            }
            const bool wide = IsWideCodePoint(cp);
            if (!joinable || wide || words.back().link != run.link) {
                words.push_back({std::string(), space, run.link});
            }
            words.back().text += piece;
            space = false;
            joinable = !wide;
        }
    }
    return words;
}

class LineWriter {
public:
    LineWriter(PageLayout& layout, const TextMeasure& font, int left, int right, int top)
        : layout_(layout), font_(font), left_(left), right_(right), x_(left), y_(top) {}

    void Add(const Word& word) {
        const int space = word.spaceBefore && x_ > left_ ? font_.TextWidth(" ") : 0;
        const int width = font_.TextWidth(word.text);
        if (x_ > left_ && x_ + space + width > right_) {
            NewLine();
        } else if (space > 0) {
            if (piece_ >= 0 && Piece().link == word.link) {
                Piece().text += ' ';
                Piece().box.right += space;
            }
            x_ += space;
        }
        if (piece_ < 0 || Piece().link != word.link || Piece().box.right != x_) {
            layout_.texts.push_back(
                {{x_, y_, x_, y_ + font_.LineHeight()}, std::string(), word.link});
            piece_ = static_cast<int>(layout_.texts.size()) - 1;
        }
        Piece().text += word.text;
        x_ += width;
        Piece().box.right = x_;
    }

    // The bottom of the last line.
    int Finish() const { return x_ > left_ || piece_ >= 0 ? y_ + font_.LineHeight() : y_; }

private:
    PlacedText& Piece() { return layout_.texts[static_cast<size_t>(piece_)]; }

    void NewLine() {
        y_ += font_.LineHeight();
        x_ = left_;
        piece_ = -1;
    }

    PageLayout& layout_;
    const TextMeasure& font_;
    int left_;
    int right_;
    int x_;
    int y_;
    int piece_ = -1;  // index of the piece the next word may extend
};

int Resolve(const Length& length, int available) {
    const int value = length.percent ? available * length.value / 100 : length.value;
    return std::max(0, value);
}

}  // namespace

PageLayout LayOutPage(const HtmlPage& page, int width, int height, const TextMeasure& titleFont,
                      const TextMeasure& textFont) {
    PageLayout layout;
    const int left = std::clamp(page.marginLeft, 0, 1000);
    const int right = std::max(left + 1, width - left);
    int y = std::clamp(page.marginTop, 0, 1000);
    if (!page.title.empty()) {
        const int lineHeight = titleFont.LineHeight();
        layout.texts.push_back({{left, y, left + titleFont.TextWidth(page.title), y + lineHeight},
                                page.title,
                                -1,
                                true});
        y += lineHeight + kParagraphGap;
    }
    for (size_t i = 0; i < page.blocks.size(); ++i) {
        const PageBlock& block = page.blocks[i];
        if (block.kind == PageBlock::Kind::Paragraph) {
            const std::vector<Word> words = SplitWords(block.runs);
            LineWriter writer(layout, textFont, left, right, y);
            for (const auto& word : words) writer.Add(word);
            y = writer.Finish() + kParagraphGap;
            continue;
        }
        // Percentages are of the view, as in a page without a doctype.
        const int w = Resolve(block.width, width);
        const int h = Resolve(block.height, height);
        layout.embeds.push_back({{left, y, left + w, y + h}, i});
        y += h + kParagraphGap;
    }
    layout.contentHeight = y;
    return layout;
}

int LinkAt(const PageLayout& layout, int x, int y) {
    for (const auto& text : layout.texts) {
        if (text.link >= 0 && text.box.Contains(x, y)) return text.link;
    }
    return -1;
}

}  // namespace testbrowser
