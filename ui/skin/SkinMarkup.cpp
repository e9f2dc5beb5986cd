#include "ui/skin/SkinMarkup.h"

#include <cstring>
#include <cwchar>

#include "ui/skin/SkinText.h"

namespace SkinUI {

namespace {

constexpr size_t kMaxErrorMessage = 99;
constexpr size_t kMaxErrorLocation = 49;

bool IsWhitespace(wchar_t ch) {
    return ch != 0 && static_cast<uint32_t>(ch) <= 32;
}

// Letters, digits, '_' and ':'. Characters outside ASCII count as letters so
// that names in other scripts read the same on every platform (the C
// library's classification depends on the locale).
bool IsNameChar(wchar_t ch) {
    const uint32_t c = static_cast<uint32_t>(ch);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == ':' || c >= 0x80;
}

struct Entity {
    const wchar_t* text;
    size_t length;
    wchar_t replacement;
};
constexpr Entity kEntities[] = {
    {L"&amp;", 5, L'&'},  {L"&lt;", 4, L'<'},    {L"&gt;", 4, L'>'},
    {L"&quot;", 6, L'"'}, {L"&apos;", 6, L'\''},
};

const wchar_t kEmpty[] = L"";

}  // namespace

struct CSkinMarkup::Cursor {
    size_t pos = 1;
    // Terminators are written only once the whole document has parsed: the
    // parser still looks at the characters that they replace ('=', '>',
    // the '<' after a text).
    std::vector<size_t> terminators;
};

// ---------------------------------------------------------------------------
// CSkinMarkupNode

const void* CSkinMarkupNode::Record() const {
    if (owner_ == nullptr || pos_ == 0 || pos_ >= owner_->elements_.size()) return nullptr;
    return &owner_->elements_[pos_];
}

#define SKIN_NODE_RECORD(fallback)                                            \
    const auto* element = static_cast<const CSkinMarkup::Element*>(Record()); \
    if (element == nullptr) return fallback

CSkinMarkupNode CSkinMarkupNode::GetParent() const {
    SKIN_NODE_RECORD(CSkinMarkupNode());
    if (element->parent == 0) return CSkinMarkupNode();
    return CSkinMarkupNode(owner_, element->parent);
}

CSkinMarkupNode CSkinMarkupNode::GetSibling() const {
    SKIN_NODE_RECORD(CSkinMarkupNode());
    if (element->next == 0) return CSkinMarkupNode();
    return CSkinMarkupNode(owner_, element->next);
}

CSkinMarkupNode CSkinMarkupNode::GetChild() const {
    SKIN_NODE_RECORD(CSkinMarkupNode());
    if (element->child == 0) return CSkinMarkupNode();
    return CSkinMarkupNode(owner_, element->child);
}

CSkinMarkupNode CSkinMarkupNode::GetChild(const wchar_t* name) const {
    if (name == nullptr) return CSkinMarkupNode();
    for (CSkinMarkupNode child = GetChild(); child.IsValid(); child = child.GetSibling()) {
        if (std::wcscmp(child.GetName(), name) == 0) return child;
    }
    return CSkinMarkupNode();
}

bool CSkinMarkupNode::HasSiblings() const {
    SKIN_NODE_RECORD(false);
    return element->next != 0;
}

bool CSkinMarkupNode::HasChildren() const {
    SKIN_NODE_RECORD(false);
    return element->child != 0;
}

const wchar_t* CSkinMarkupNode::GetName() const {
    SKIN_NODE_RECORD(kEmpty);
    return &owner_->text_[element->name];
}

const wchar_t* CSkinMarkupNode::GetValue() const {
    SKIN_NODE_RECORD(kEmpty);
    return &owner_->text_[element->data];
}

bool CSkinMarkupNode::HasAttributes() const {
    return GetAttributeCount() > 0;
}

bool CSkinMarkupNode::HasAttribute(const wchar_t* name) const {
    return GetAttributeValue(name) != nullptr;
}

int CSkinMarkupNode::GetAttributeCount() const {
    SKIN_NODE_RECORD(0);
    return element->attributeCount;
}

const wchar_t* CSkinMarkupNode::GetAttributeName(int index) const {
    SKIN_NODE_RECORD(nullptr);
    if (index < 0 || index >= element->attributeCount) return nullptr;
    return &owner_->text_[owner_->attributes_[element->firstAttribute + index].name];
}

const wchar_t* CSkinMarkupNode::GetAttributeValue(int index) const {
    SKIN_NODE_RECORD(nullptr);
    if (index < 0 || index >= element->attributeCount) return nullptr;
    return &owner_->text_[owner_->attributes_[element->firstAttribute + index].value];
}

const wchar_t* CSkinMarkupNode::GetAttributeValue(const wchar_t* name) const {
    SKIN_NODE_RECORD(nullptr);
    if (name == nullptr) return nullptr;
    for (int i = 0; i < element->attributeCount; ++i) {
        const auto& attribute = owner_->attributes_[element->firstAttribute + i];
        if (std::wcscmp(&owner_->text_[attribute.name], name) == 0) {
            return &owner_->text_[attribute.value];
        }
    }
    return nullptr;
}

#undef SKIN_NODE_RECORD

// ---------------------------------------------------------------------------
// CSkinMarkup: loading

CSkinMarkup::CSkinMarkup(const wchar_t* text) {
    if (text != nullptr) Load(text);
}

CSkinMarkup::~CSkinMarkup() = default;

bool CSkinMarkup::Load(const wchar_t* text) {
    Release();
    if (text == nullptr) return Fail(L"Error opening file", 0);
    const size_t length = std::wcslen(text);
    text_.reserve(length + 3);
    text_.push_back(0);
    text_.insert(text_.end(), text, text + length);
    return Parse();
}

bool CSkinMarkup::LoadFromMem(const uint8_t* data, size_t size, MarkupEncoding encoding) {
    Release();
    if (data == nullptr && size != 0) return Fail(L"Error opening file", 0);
    std::wstring wide;
    switch (encoding) {
        case XMLFILE_ENCODING_UTF8:
            if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
                data += 3;
                size -= 3;
            }
            wide = Utf8ToWide(data, size);
            break;
        case XMLFILE_ENCODING_UNICODE:
            // Without a byte order mark the byte order is a guess; refuse it.
            if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
                wide = Utf16ToWide(data + 2, size - 2, false);
            } else if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
                wide = Utf16ToWide(data + 2, size - 2, true);
            } else {
                return Fail(L"Missing byte order mark", 0);
            }
            break;
        case XMLFILE_ENCODING_ASNI:
            wide = AnsiToWide(data, size);
            break;
        default:
            return Fail(L"Unknown encoding", 0);
    }
    text_.reserve(wide.size() + 3);
    text_.push_back(0);
    text_.insert(text_.end(), wide.begin(), wide.end());
    return Parse();
}

bool CSkinMarkup::LoadFromFile(const std::wstring& name, ISkinFileSource& source,
                               MarkupEncoding encoding) {
    Release();
    std::vector<uint8_t> bytes;
    std::wstring error;
    if (!source.ReadSkinFile(name, bytes, error)) {
        errorMessage_ = error.empty() ? L"Error opening file" : error.substr(0, kMaxErrorMessage);
        errorLocation_ = name.substr(0, kMaxErrorLocation);
        return false;
    }
    return LoadFromMem(bytes.data(), bytes.size(), encoding);
}

void CSkinMarkup::Release() {
    text_.clear();
    elements_.clear();
    attributes_.clear();
    errorMessage_.clear();
    errorLocation_.clear();
}

bool CSkinMarkup::IsValid() const {
    return elements_.size() > 1;
}

void CSkinMarkup::SetPreserveWhitespace(bool preserve) {
    preserveWhitespace_ = preserve;
}

std::wstring CSkinMarkup::GetLastErrorMessage() const {
    return errorMessage_;
}

std::wstring CSkinMarkup::GetLastErrorLocation() const {
    return errorLocation_;
}

CSkinMarkupNode CSkinMarkup::GetRoot() {
    if (elements_.size() <= 1) return CSkinMarkupNode();
    return CSkinMarkupNode(this, 1);
}

bool CSkinMarkup::Fail(const wchar_t* message, size_t position) {
    std::wstring location;
    for (size_t i = position; i < text_.size() && text_[i] != 0; ++i) {
        if (location.size() == kMaxErrorLocation) break;
        location += text_[i];
    }
    text_.clear();
    elements_.clear();
    attributes_.clear();
    errorMessage_ = std::wstring(message).substr(0, kMaxErrorMessage);
    errorLocation_ = std::move(location);
    return false;
}

// ---------------------------------------------------------------------------
// CSkinMarkup: parsing

bool CSkinMarkup::Parse() {
    // Two zeros: the parser may look one character past the terminator's
    // predecessor.
    text_.push_back(0);
    text_.push_back(0);
    elements_.clear();
    attributes_.clear();
    AddElement(0);  // record 0 is the document; its first child the root
    elements_[0].parent = 0;
    Cursor cursor;
    if (!ParseNodes(cursor, 0, 0)) return false;
    for (size_t position : cursor.terminators) text_[position] = 0;
    return true;
}

size_t CSkinMarkup::AddElement(size_t parent) {
    if (elements_.size() == elements_.capacity()) {
        elements_.reserve(elements_.capacity() + elements_.capacity() / 2 + 500);
    }
    const size_t index = elements_.size();
    elements_.push_back(Element{0, parent, 0, 0, 0, 0, attributes_.size(), 0});
    if (index != 0) {
        Element& owner = elements_[parent];
        if (owner.lastChild == 0) {
            owner.child = index;
        } else {
            elements_[owner.lastChild].next = index;
        }
        owner.lastChild = index;
    }
    return index;
}

size_t CSkinMarkup::ParseData(Cursor& cursor, wchar_t end) {
    size_t dest = cursor.pos;
    for (;;) {
        const wchar_t ch = text_[cursor.pos];
        if (ch == 0 || ch == end) break;
        if (ch == L'&') {
            bool replaced = false;
            for (const Entity& entity : kEntities) {
                if (std::wcsncmp(&text_[cursor.pos], entity.text, entity.length) == 0) {
                    text_[dest++] = entity.replacement;
                    cursor.pos += entity.length;
                    replaced = true;
                    break;
                }
            }
            if (replaced) continue;
        }
        // Only a blank starts a run that collapses: a lone tab or a line
        // break followed by blanks stays as written.
        if (!preserveWhitespace_ && ch == L' ' && IsWhitespace(text_[cursor.pos + 1])) {
            while (IsWhitespace(text_[cursor.pos])) ++cursor.pos;
            text_[dest++] = L' ';
            continue;
        }
        text_[dest++] = ch;
        ++cursor.pos;
    }
    return dest;
}

bool CSkinMarkup::ParseAttributes(Cursor& cursor, Element& element) {
    element.firstAttribute = attributes_.size();
    element.attributeCount = 0;
    auto skipWhitespace = [&] {
        while (IsWhitespace(text_[cursor.pos])) ++cursor.pos;
    };
    skipWhitespace();
    for (;;) {
        const wchar_t ch = text_[cursor.pos];
        if (ch == 0 || ch == L'>' || ch == L'/') return true;
        const size_t name = cursor.pos;
        while (IsNameChar(text_[cursor.pos])) ++cursor.pos;
        const size_t nameEnd = cursor.pos;
        if (nameEnd == name) return Fail(L"Error while parsing attributes", cursor.pos);
        skipWhitespace();
        if (text_[cursor.pos] != L'=') return Fail(L"Error while parsing attributes", cursor.pos);
        ++cursor.pos;
        skipWhitespace();
        if (text_[cursor.pos] != L'"') return Fail(L"Expected attribute value", cursor.pos);
        ++cursor.pos;
        const size_t value = cursor.pos;
        const size_t valueEnd = ParseData(cursor, L'"');
        if (text_[cursor.pos] == 0) return Fail(L"Error while parsing attribute string", value);
        ++cursor.pos;
        cursor.terminators.push_back(nameEnd);
        cursor.terminators.push_back(valueEnd);
        // Further attributes are read (the document must still be well
        // formed) but not kept.
        if (element.attributeCount < CSkinMarkupNode::kMaxAttributes) {
            attributes_.push_back(Attribute{name, value});
            ++element.attributeCount;
        }
        skipWhitespace();
    }
}

bool CSkinMarkup::ParseNodes(Cursor& cursor, size_t parent, int depth) {
    auto skipWhitespace = [&] {
        while (IsWhitespace(text_[cursor.pos])) ++cursor.pos;
    };
    // A document may end before the end tag of its root element or of one of
    // the root's children; layouts written by hand often do. |depth| is 0
    // for the top level, 1 for the root's children.
    const bool listMayEnd = depth <= 2;
    const bool textMayEnd = depth <= 1;
    for (;;) {
        skipWhitespace();
        wchar_t ch = text_[cursor.pos];
        if (ch == 0) return listMayEnd ? true : Fail(L"Expected start tag", cursor.pos);
        if (ch != L'<') return Fail(L"Expected start tag", cursor.pos);
        const wchar_t next = text_[cursor.pos + 1];
        if (next == L'/') {
            // An end tag with nothing open at the top level is a broken
            // document, not an early end.
            if (parent == 0) return Fail(L"Unmatched closing tag", cursor.pos);
            return true;
        }
        if (next == L'!' || next == L'?') {
            const wchar_t close = next == L'!' ? L'-' : L'?';
            cursor.pos += 2;
            while (text_[cursor.pos] != 0 &&
                   !(text_[cursor.pos] == close && text_[cursor.pos + 1] == L'>')) {
                ++cursor.pos;
            }
            if (text_[cursor.pos] != 0) cursor.pos += 2;
            continue;
        }
        if (depth >= kMaxDepth) return Fail(L"Elements nested too deeply", cursor.pos);
        ++cursor.pos;

        const size_t name = cursor.pos;
        while (IsNameChar(text_[cursor.pos])) ++cursor.pos;
        const size_t nameEnd = cursor.pos;
        if (nameEnd == name) return Fail(L"Error parsing element name", cursor.pos);
        const size_t index = AddElement(parent);
        elements_[index].name = name;
        cursor.terminators.push_back(nameEnd);
        if (!ParseAttributes(cursor, elements_[index])) return false;

        ch = text_[cursor.pos];
        if (ch == L'/') {
            if (text_[cursor.pos + 1] != L'>') {
                return Fail(L"Expected start-tag closing", cursor.pos);
            }
            cursor.pos += 2;
            continue;
        }
        if (ch != L'>') return Fail(L"Expected start-tag closing", cursor.pos);
        ++cursor.pos;

        const size_t data = cursor.pos;
        const size_t dataEnd = ParseData(cursor, L'<');
        elements_[index].data = data;
        cursor.terminators.push_back(dataEnd);
        if (text_[cursor.pos] == 0) {
            return textMayEnd ? true : Fail(L"Expected end-tag start", cursor.pos);
        }
        if (text_[cursor.pos + 1] != L'/') {
            if (!ParseNodes(cursor, index, depth + 1)) return false;
            // Children that ran out of text end the document here.
            if (text_[cursor.pos] == 0) return true;
        }

        // At "</": the end tag repeats the start tag's name exactly.
        const size_t endTag = cursor.pos;
        cursor.pos += 2;
        const size_t length = nameEnd - name;
        for (size_t i = 0; i < length; ++i) {
            if (text_[cursor.pos + i] != text_[name + i]) {
                return Fail(L"Unmatched closing tag", endTag);
            }
        }
        cursor.pos += length;
        if (IsNameChar(text_[cursor.pos])) return Fail(L"Unmatched closing tag", endTag);
        skipWhitespace();
        if (text_[cursor.pos] != L'>') return Fail(L"Unmatched closing tag", endTag);
        ++cursor.pos;
    }
}

}  // namespace SkinUI
