// Layout files as they arrive from a package or a folder: the first byte
// picks the encoding and whitespace mode, the rest is the file. Whatever the
// bytes, parsing ends with a tree that can be walked or a bounded error.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwchar>

#include "ui/skin/SkinMarkup.h"

namespace {

bool IsNameChar(wchar_t ch) {
    const uint32_t c = static_cast<uint32_t>(ch);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == ':' || c >= 0x80;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

// Decoding never makes more characters than there were bytes, and cutting
// out names, values and text only shortens them.
size_t Walk(SkinUI::CSkinMarkupNode node, int depth, size_t size) {
    size_t count = 0;
    for (; node.IsValid(); node = node.GetSibling()) {
        Check(depth <= SkinUI::CSkinMarkup::kMaxDepth);
        const wchar_t* name = node.GetName();
        Check(name[0] != 0);
        for (const wchar_t* p = name; *p != 0; ++p) Check(IsNameChar(*p));
        const int attributes = node.GetAttributeCount();
        Check(attributes >= 0 && attributes <= SkinUI::CSkinMarkupNode::kMaxAttributes);
        for (int i = 0; i < attributes; ++i) {
            const wchar_t* attribute = node.GetAttributeName(i);
            Check(attribute != nullptr && attribute[0] != 0);
            Check(node.GetAttributeValue(attribute) != nullptr);
            Check(std::wcslen(node.GetAttributeValue(i)) < size);
        }
        Check(node.GetAttributeName(attributes) == nullptr);
        Check(std::wcslen(node.GetValue()) < size);
        if (node.HasChildren()) {
            Check(node.GetChild().GetParent().GetName() == name);
        }
        count += 1 + Walk(node.GetChild(), depth + 1, size);
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    SkinUI::CSkinMarkup markup;
    markup.SetPreserveWhitespace((mode & 4) != 0);
    const auto encoding = static_cast<SkinUI::MarkupEncoding>(mode & 3);
    if (markup.LoadFromMem(data + 1, size - 1, encoding)) {
        Check(markup.GetLastErrorMessage().empty());
        // Every element costs at least three characters ("<a>" or "<a/").
        Check(Walk(markup.GetRoot(), 0, size) <= size);
    } else {
        Check(!markup.GetRoot().IsValid());
        Check(!markup.GetLastErrorMessage().empty());
        Check(markup.GetLastErrorMessage().size() <= 99);
        Check(markup.GetLastErrorLocation().size() <= 49);
    }
    return 0;
}
