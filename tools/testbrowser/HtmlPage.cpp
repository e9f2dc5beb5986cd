#include "tools/testbrowser/HtmlPage.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace testbrowser {

namespace {

// Bounds on what one page may build: the tree is walked recursively, and a
// hostile page must not exhaust the stack or the memory.
constexpr size_t kMaxDepth = 200;
constexpr size_t kMaxNodes = 200000;

struct Attribute {
    std::string name;  // lower case
    std::string value;
};

struct Node {
    bool element = false;
    bool raw = false;  // script and style text, written back unescaped
    std::string name;  // element: lower case
    std::vector<Attribute> attributes;
    std::string text;
    std::vector<std::unique_ptr<Node>> children;

    const std::string* Find(std::string_view key) const {
        for (const auto& a : attributes) {
            if (a.name == key) return &a.value;
        }
        return nullptr;
    }
};

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string LowerOf(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Lower(c);
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsVoid(std::string_view name) {
    return IsOneOf(name, {"area", "base", "br", "col", "embed", "hr", "img", "input", "link",
                          "meta", "param", "source", "track", "wbr"});
}

bool IsBlock(std::string_view name) {
    return IsOneOf(name,
                   {"address", "blockquote", "br",  "center", "dd", "div", "dl", "dt", "fieldset",
                    "form",    "h1",         "h2",  "h3",     "h4", "h5",  "h6", "hr", "li",
                    "ol",      "p",          "pre", "table",  "td", "th",  "tr", "ul"});
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Character references; an unknown or unterminated one stays as written.
std::string DecodeEntities(std::string_view s) {
    static const struct {
        std::string_view name;
        uint32_t cp;
    } kNamed[] = {{"amp", '&'},     {"lt", '<'},        {"gt", '>'},       {"quot", '"'},
                  {"apos", '\''},   {"nbsp", 0xA0},     {"copy", 0xA9},    {"reg", 0xAE},
                  {"middot", 0xB7}, {"hellip", 0x2026}, {"mdash", 0x2014}, {"ndash", 0x2013}};
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] != '&') {
            out += s[i++];
            continue;
        }
        // References are short: look for the ';' only nearby, so that a page
        // of '&' stays linear.
        const size_t near = s.substr(i + 1, 12).find(';');
        if (near == std::string_view::npos) {
            out += s[i++];
            continue;
        }
        const size_t semi = i + 1 + near;
        const std::string_view ref = s.substr(i + 1, semi - i - 1);
        bool decoded = false;
        if (ref.size() >= 2 && ref[0] == '#') {
            const bool hex = ref[1] == 'x' || ref[1] == 'X';
            const std::string_view digits = ref.substr(hex ? 2 : 1);
            uint32_t cp = 0;
            bool ok = !digits.empty();
            for (char c : digits) {
                uint32_t d;
                if (IsDigit(c)) {
                    d = static_cast<uint32_t>(c - '0');
                } else if (hex && Lower(c) >= 'a' && Lower(c) <= 'f') {
                    d = static_cast<uint32_t>(Lower(c) - 'a' + 10);
                } else {
                    ok = false;
                    break;
                }
                cp = cp * (hex ? 16 : 10) + d;
                if (cp > 0x10FFFF) cp = 0x110000;  // stays out of range, no overflow
            }
            if (ok) {
                AppendUtf8(out, cp);
                decoded = true;
            }
        } else {
            for (const auto& entity : kNamed) {
                if (ref == entity.name) {
                    AppendUtf8(out, entity.cp);
                    decoded = true;
                    break;
                }
            }
        }
        if (decoded) {
            i = semi + 1;
        } else {
            out += s[i++];
        }
    }
    return out;
}

class TreeBuilder {
public:
    explicit TreeBuilder(std::string_view input) : in_(input) { stack_.push_back(&body_); }

    void Run() {
        while (pos_ < in_.size()) {
            if (in_[pos_] == '<' && ReadMarkup()) continue;
            const size_t next = in_.find('<', pos_ + 1);
            const size_t end = next == std::string_view::npos ? in_.size() : next;
            AddText(DecodeEntities(in_.substr(pos_, end - pos_)), false);
            pos_ = end;
        }
    }

    Node body_;  // the body's content; its attributes are the <body> tag's
    Node head_;  // title, meta and the like
    std::string title_;
    bool hasTitle_ = false;

private:
    // One tag, comment or declaration at pos_; false when the '<' is text.
    bool ReadMarkup() {
        const std::string_view rest = in_.substr(pos_);
        if (rest.substr(0, 4) == "<!--") {
            const size_t end = in_.find("-->", pos_ + 4);
            pos_ = end == std::string_view::npos ? in_.size() : end + 3;
            return true;
        }
        if (rest.size() >= 2 && (rest[1] == '!' || rest[1] == '?')) {
            const size_t end = in_.find('>', pos_);
            pos_ = end == std::string_view::npos ? in_.size() : end + 1;
            return true;
        }
        if (rest.size() >= 3 && rest[1] == '/' && IsAlpha(rest[2])) {
            pos_ += 2;
            const std::string name = ReadName();
            const size_t end = in_.find('>', pos_);
            pos_ = end == std::string_view::npos ? in_.size() : end + 1;
            Close(name);
            return true;
        }
        if (rest.size() >= 2 && IsAlpha(rest[1])) {
            ++pos_;
            ReadStartTag();
            return true;
        }
        return false;
    }

    std::string ReadName() {
        const size_t start = pos_;
        while (pos_ < in_.size() && !IsSpace(in_[pos_]) && in_[pos_] != '>' && in_[pos_] != '/' &&
               !(in_[pos_] == '=' && pos_ > start)) {
            ++pos_;
        }
        return LowerOf(in_.substr(start, pos_ - start));
    }

    void SkipSpace() {
        while (pos_ < in_.size() && IsSpace(in_[pos_])) ++pos_;
    }

    void ReadStartTag() {
        auto node = std::make_unique<Node>();
        node->element = true;
        node->name = ReadName();
        bool selfClosing = false;
        for (;;) {
            SkipSpace();
            if (pos_ >= in_.size()) break;
            if (in_[pos_] == '>') {
                ++pos_;
                break;
            }
            if (in_[pos_] == '/') {
                ++pos_;
                selfClosing = pos_ < in_.size() && in_[pos_] == '>';
                continue;
            }
            Attribute attribute;
            attribute.name = ReadName();
            if (attribute.name.empty()) {  // a stray '=': skip it
                ++pos_;
                continue;
            }
            SkipSpace();
            if (pos_ < in_.size() && in_[pos_] == '=') {
                ++pos_;
                SkipSpace();
                attribute.value = DecodeEntities(ReadValue());
            }
            const bool seen = node->Find(attribute.name) != nullptr;
            if (!seen) node->attributes.push_back(std::move(attribute));  // the first one counts
        }
        Open(std::move(node), selfClosing);
    }

    std::string_view ReadValue() {
        if (pos_ < in_.size() && (in_[pos_] == '"' || in_[pos_] == '\'')) {
            const char quote = in_[pos_++];
            const size_t end = in_.find(quote, pos_);
            const size_t stop = end == std::string_view::npos ? in_.size() : end;
            const std::string_view value = in_.substr(pos_, stop - pos_);
            pos_ = end == std::string_view::npos ? in_.size() : end + 1;
            return value;
        }
        const size_t start = pos_;
        while (pos_ < in_.size() && !IsSpace(in_[pos_]) && in_[pos_] != '>') ++pos_;
        return in_.substr(start, pos_ - start);
    }

    // Everything up to the matching end tag, which is consumed.
    std::string_view ReadRawText(std::string_view name) {
        size_t search = pos_;
        for (;;) {
            const size_t lt = in_.find("</", search);
            if (lt == std::string_view::npos) {
                const std::string_view text = in_.substr(pos_);
                pos_ = in_.size();
                return text;
            }
            if (EqualsNoCase(in_.substr(lt + 2, name.size()), name)) {
                const std::string_view text = in_.substr(pos_, lt - pos_);
                const size_t end = in_.find('>', lt);
                pos_ = end == std::string_view::npos ? in_.size() : end + 1;
                return text;
            }
            search = lt + 2;
        }
    }

    void Open(std::unique_ptr<Node> node, bool selfClosing) {
        const std::string& name = node->name;
        if (name == "html" || name == "head") return;
        if (name == "body") {
            if (!sawBody_) body_.attributes = std::move(node->attributes);
            sawBody_ = true;
            return;
        }
        if (name == "title") {
            const std::string text = DecodeEntities(ReadRawText("title"));
            if (!hasTitle_) {
                title_ = text;
                hasTitle_ = true;
            }
            return;
        }
        if (name == "script" || name == "style" || name == "textarea") {
            auto text = std::make_unique<Node>();
            text->raw = name != "textarea";
            text->text = std::string(ReadRawText(name));
            if (!text->raw) text->text = DecodeEntities(text->text);
            node->children.push_back(std::move(text));
            Append(std::move(node));
            return;
        }
        if (name == "meta" || name == "link" || name == "base") {
            if (++nodes_ <= kMaxNodes) head_.children.push_back(std::move(node));
            return;
        }
        // A new paragraph or list item ends the open one, as browsers do.
        if (name == "p" || name == "li") Close(name, /*onlyInnermost=*/true);
        const bool container = !selfClosing && !IsVoid(name);
        Node* added = Append(std::move(node));
        if (added != nullptr && container && stack_.size() < kMaxDepth) stack_.push_back(added);
    }

    Node* Append(std::unique_ptr<Node> node) {
        if (++nodes_ > kMaxNodes) return nullptr;
        Node* raw = node.get();
        stack_.back()->children.push_back(std::move(node));
        return raw;
    }

    void AddText(std::string text, bool raw) {
        if (text.empty()) return;
        Node* parent = stack_.back();
        if (!parent->children.empty() && !parent->children.back()->element &&
            parent->children.back()->raw == raw) {
            parent->children.back()->text += text;
            return;
        }
        auto node = std::make_unique<Node>();
        node->raw = raw;
        node->text = std::move(text);
        Append(std::move(node));
    }

    void Close(const std::string& name, bool onlyInnermost = false) {
        for (size_t i = stack_.size(); i-- > 1;) {
            if (stack_[i]->name == name) {
                stack_.resize(i);
                return;
            }
            if (onlyInnermost) return;
        }
    }

    std::string_view in_;
    size_t pos_ = 0;
    std::vector<Node*> stack_;
    size_t nodes_ = 0;
    bool sawBody_ = false;
};

std::string EscapeText(std::string_view s, bool attribute) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                if (attribute) {
                    out += "&quot;";
                    break;
                }
                [[fallthrough]];
            default:
                out += c;
        }
    }
    return out;
}

std::string UpperOf(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Upper(c);
    return out;
}

void WriteTag(std::string& out, const Node& node) {
    out += '<';
    out += UpperOf(node.name);
    for (const auto& a : node.attributes) {
        out += ' ';
        out += a.name;
        out += "=\"";
        out += EscapeText(a.value, true);
        out += '"';
    }
    out += '>';
}

void WriteChildren(std::string& out, const Node& node) {
    for (const auto& child : node.children) {
        if (!child->element) {
            out += child->raw ? child->text : EscapeText(child->text, false);
            continue;
        }
        WriteTag(out, *child);
        if (IsVoid(child->name)) continue;
        WriteChildren(out, *child);
        out += "</";
        out += UpperOf(child->name);
        out += '>';
    }
}

// The leading decimal number of an attribute, bounded; nullopt without one.
std::optional<int> ParseNumber(const std::string* text) {
    if (text == nullptr) return std::nullopt;
    size_t i = 0;
    while (i < text->size() && IsSpace((*text)[i])) ++i;
    if (i == text->size() || !IsDigit((*text)[i])) return std::nullopt;
    int value = 0;
    for (; i < text->size() && IsDigit((*text)[i]); ++i) {
        value = std::min(value * 10 + ((*text)[i] - '0'), 100000);
    }
    return value;
}

Length ParseLength(const std::string* text, int fallback) {
    Length length;
    const std::optional<int> value = ParseNumber(text);
    length.value = value.value_or(fallback);
    length.percent = value && text->find('%') != std::string::npos;
    if (length.percent) length.value = std::min(length.value, 100);
    return length;
}

// Walks the body into paragraphs, frames and objects.
class BlockCollector {
public:
    explicit BlockCollector(HtmlPage& page) : page_(page) {}

    void Walk(const Node& node) {
        for (const auto& child : node.children) Visit(*child);
    }

    void Flush() {
        while (!current_.runs.empty()) {
            std::string& last = current_.runs.back().text;
            while (!last.empty() && last.back() == ' ') last.pop_back();
            if (!last.empty()) break;
            current_.runs.pop_back();
        }
        if (!current_.runs.empty()) page_.blocks.push_back(std::move(current_));
        current_ = PageBlock{};
        atLineStart_ = true;
        lastWasSpace_ = false;
    }

private:
    void Visit(const Node& node) {
        if (!node.element) {
            if (!node.raw) AddText(node.text);
            return;
        }
        const std::string& name = node.name;
        if (name == "script" || name == "style" || name == "textarea") return;
        if (name == "iframe" || name == "object") {
            Flush();
            PageBlock block;
            const bool frame = name == "iframe";
            block.kind = frame ? PageBlock::Kind::Frame : PageBlock::Kind::Object;
            const std::string* source = node.Find(frame ? "src" : "classid");
            if (source != nullptr) block.source = frame ? *source : ClassIdOf(*source);
            if (const std::string* id = node.Find(frame ? "name" : "id")) block.name = *id;
            block.width = ParseLength(node.Find("width"), 300);
            block.height = ParseLength(node.Find("height"), 150);
            if (!frame) CollectParams(node, block.params);
            page_.blocks.push_back(std::move(block));
            return;
        }
        const bool block = IsBlock(name);
        if (block) Flush();
        const std::string* href = name == "a" ? node.Find("href") : nullptr;
        const int outerLink = link_;
        if (href != nullptr) {
            PageLink link;
            link.href = *href;
            if (const std::string* target = node.Find("target")) link.target = *target;
            page_.links.push_back(std::move(link));
            link_ = static_cast<int>(page_.links.size()) - 1;
        }
        Walk(node);
        if (href != nullptr) {
            std::string& text = page_.links[static_cast<size_t>(link_)].text;
            while (!text.empty() && text.back() == ' ') text.pop_back();
            link_ = outerLink;
        }
        if (block) Flush();
    }

    static void CollectParams(const Node& node, std::vector<ObjectParam>& params) {
        for (const auto& child : node.children) {
            if (!child->element) continue;
            if (child->name == "param") {
                const std::string* name = child->Find("name");
                const std::string* value = child->Find("value");
                if (name != nullptr) params.push_back({*name, value ? *value : std::string()});
            } else {
                CollectParams(*child, params);
            }
        }
    }

    // Collapses white space the way an HTML page shows its text: runs of it
    // become one space, none at the start or end of a paragraph.
    void AddText(const std::string& text) {
        for (char c : text) {
            const bool space = IsSpace(c);
            if (space && (atLineStart_ || lastWasSpace_)) continue;
            if (current_.runs.empty() || current_.runs.back().link != link_) {
                current_.runs.push_back({std::string(), link_});
            }
            current_.runs.back().text += space ? ' ' : c;
            if (link_ >= 0) {
                std::string& linkText = page_.links[static_cast<size_t>(link_)].text;
                if (!(space && linkText.empty())) linkText += space ? ' ' : c;
            }
            lastWasSpace_ = space;
            if (!space) atLineStart_ = false;
        }
    }

    HtmlPage& page_;
    PageBlock current_;
    int link_ = -1;
    bool atLineStart_ = true;
    bool lastWasSpace_ = false;
};

std::string CollapseAndTrim(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (IsSpace(c)) {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace

std::string ClassIdOf(std::string_view attribute) {
    while (!attribute.empty() && IsSpace(attribute.front())) attribute.remove_prefix(1);
    while (!attribute.empty() && IsSpace(attribute.back())) attribute.remove_suffix(1);
    if (attribute.size() != 6 + 36 || !EqualsNoCase(attribute.substr(0, 6), "clsid:")) return {};
    const std::string_view id = attribute.substr(6);
    for (size_t i = 0; i < id.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        const char c = Lower(id[i]);
        if (dash ? c != '-' : !(IsDigit(c) || (c >= 'a' && c <= 'f'))) return {};
    }
    return std::string(id);
}

std::optional<MetaRefresh> ParseMetaRefresh(std::string_view content) {
    size_t i = 0;
    while (i < content.size() && IsSpace(content[i])) ++i;
    if (i == content.size() || !IsDigit(content[i])) return std::nullopt;
    MetaRefresh refresh;
    for (; i < content.size() && IsDigit(content[i]); ++i) {
        refresh.seconds = std::min(refresh.seconds * 10 + (content[i] - '0'), 86400);
    }
    while (i < content.size() && (IsDigit(content[i]) || content[i] == '.')) ++i;  // fractions
    while (i < content.size() && (IsSpace(content[i]) || content[i] == ';' || content[i] == ',')) {
        ++i;
    }
    std::string_view rest = content.substr(i);
    if (rest.size() >= 3 && EqualsNoCase(rest.substr(0, 3), "url")) {
        size_t j = 3;
        while (j < rest.size() && IsSpace(rest[j])) ++j;
        if (j < rest.size() && rest[j] == '=') {
            ++j;
            while (j < rest.size() && IsSpace(rest[j])) ++j;
            rest = rest.substr(j);
        }
    }
    if (!rest.empty() && (rest.front() == '\'' || rest.front() == '"')) {
        const char quote = rest.front();
        rest.remove_prefix(1);
        const size_t end = rest.find(quote);
        if (end != std::string_view::npos) rest = rest.substr(0, end);
    }
    while (!rest.empty() && IsSpace(rest.back())) rest.remove_suffix(1);
    refresh.url = std::string(rest);
    return refresh;
}

HtmlPage ParseHtml(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);  // a UTF-8 byte order mark
    TreeBuilder tree(bytes);
    tree.Run();

    HtmlPage page;
    page.title = CollapseAndTrim(tree.title_);
    for (const auto& node : tree.head_.children) {
        const std::string* equiv = node->Find("http-equiv");
        const std::string* content = node->Find("content");
        if (node->name == "meta" && equiv && content && EqualsNoCase(*equiv, "refresh") &&
            !page.refresh) {
            page.refresh = ParseMetaRefresh(*content);
        }
    }
    page.marginLeft = ParseNumber(tree.body_.Find("leftmargin")).value_or(page.marginLeft);
    page.marginTop = ParseNumber(tree.body_.Find("topmargin")).value_or(page.marginTop);

    BlockCollector collector(page);
    collector.Walk(tree.body_);
    collector.Flush();

    WriteChildren(page.bodyInnerHtml, tree.body_);
    tree.body_.name = "body";
    tree.body_.element = true;
    WriteTag(page.bodyOuterHtml, tree.body_);
    page.bodyOuterHtml += page.bodyInnerHtml;
    page.bodyOuterHtml += "</BODY>";

    for (const auto& block : page.blocks) {
        if (block.kind != PageBlock::Kind::Paragraph) continue;
        if (!page.bodyText.empty()) page.bodyText += "\r\n";
        for (const auto& run : block.runs) page.bodyText += run.text;
    }
    return page;
}

}  // namespace testbrowser
