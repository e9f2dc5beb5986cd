// The skin's layout documents: a small XML dialect read by a recursive-
// descent parser over wide text, parsed in place. Wide text is UTF-16 where
// wchar_t has 16 bits (Windows) and code points where it has 32 (the native
// build); every encoding decodes to that form. Not thread-safe; the UI
// thread builds windows from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace SkinUI {

class CSkinMarkup;

enum MarkupEncoding : int {
    XMLFILE_ENCODING_UTF8 = 0,
    XMLFILE_ENCODING_UNICODE = 1,  // UTF-16, byte order mark required
    XMLFILE_ENCODING_ASNI = 2,     // the ANSI code page
};

// One element of a parsed document. A light handle: copies are cheap and
// stay valid while the document lives and is not reloaded.
class CSkinMarkupNode {
public:
    static constexpr int kMaxAttributes = 64;

    CSkinMarkupNode() = default;

    bool IsValid() const { return owner_ != nullptr; }
    CSkinMarkupNode GetParent() const;
    CSkinMarkupNode GetSibling() const;
    CSkinMarkupNode GetChild() const;
    CSkinMarkupNode GetChild(const wchar_t* name) const;  // exact name
    bool HasSiblings() const;
    bool HasChildren() const;

    const wchar_t* GetName() const;
    const wchar_t* GetValue() const;  // the text content

    // Up to kMaxAttributes in document order; later ones are not seen.
    bool HasAttributes() const;
    bool HasAttribute(const wchar_t* name) const;
    int GetAttributeCount() const;
    const wchar_t* GetAttributeName(int index) const;
    const wchar_t* GetAttributeValue(int index) const;
    const wchar_t* GetAttributeValue(const wchar_t* name) const;  // nullptr when absent

private:
    friend class CSkinMarkup;
    CSkinMarkupNode(CSkinMarkup* owner, size_t pos) : owner_(owner), pos_(pos) {}
    const void* Record() const;  // the element record, or nullptr when stale

    CSkinMarkup* owner_ = nullptr;
    size_t pos_ = 0;  // index of the element record
};

// Where layout and image files come from: the skin package or the resource
// folder. Implemented by the window manager's resource state.
class ISkinFileSource {
public:
    virtual ~ISkinFileSource() = default;
    // The whole file, or false with one of the framework's error messages
    // ("Error opening file", "File is empty", "File too large", ...).
    virtual bool ReadSkinFile(const std::wstring& name, std::vector<uint8_t>& bytes,
                              std::wstring& error) = 0;
    // An executable resource of |name| and |type| (a name of digits is a
    // resource number). Sources without resources have none.
    virtual bool ReadSkinResource(const std::wstring& name, const std::wstring& type,
                                  std::vector<uint8_t>& bytes, std::wstring& error) {
        (void)name;
        (void)type;
        (void)bytes;
        error = L"Error opening file";
        return false;
    }
    // |path| as given, relative to the working folder: the last resort of
    // image loading.
    virtual bool ReadPlainFile(const std::wstring& path, std::vector<uint8_t>& bytes,
                               std::wstring& error) {
        (void)path;
        (void)bytes;
        error = L"Error opening file";
        return false;
    }
};

class CSkinMarkup {
public:
    CSkinMarkup(const CSkinMarkup&) = delete;
    CSkinMarkup& operator=(const CSkinMarkup&) = delete;

    explicit CSkinMarkup(const wchar_t* text = nullptr);
    ~CSkinMarkup();

    bool Load(const wchar_t* text);  // a layout given as text
    bool LoadFromMem(const uint8_t* data, size_t size,
                     MarkupEncoding encoding = XMLFILE_ENCODING_UTF8);
    // A layout read through |source| (package member or file) as UTF-8.
    bool LoadFromFile(const std::wstring& name, ISkinFileSource& source,
                      MarkupEncoding encoding = XMLFILE_ENCODING_UTF8);
    void Release();
    bool IsValid() const;

    void SetPreserveWhitespace(bool preserve = true);
    // At most 99 characters; the location is the first 49 characters of the
    // text where parsing stopped.
    std::wstring GetLastErrorMessage() const;
    std::wstring GetLastErrorLocation() const;

    CSkinMarkupNode GetRoot();

    // Elements nested deeper than this fail with "Elements nested too
    // deeply" instead of exhausting the stack; real layouts nest a dozen.
    static constexpr int kMaxDepth = 256;

private:
    friend class CSkinMarkupNode;
    struct Element {
        size_t name;       // text position of the terminated name
        size_t parent;     // record index; 0 is the document itself
        size_t next;       // next sibling, 0 for none
        size_t child;      // first child, 0 for none
        size_t lastChild;  // where the next child is linked, 0 for none
        size_t data;       // text position of the content, 0 for none
        size_t firstAttribute;
        int attributeCount;
    };
    struct Attribute {
        size_t name;
        size_t value;
    };
    struct Cursor;

    bool Parse();
    bool ParseNodes(Cursor& cursor, size_t parent, int depth);
    bool ParseAttributes(Cursor& cursor, Element& element);
    size_t ParseData(Cursor& cursor, wchar_t end);  // returns where the data ends
    size_t AddElement(size_t parent);
    bool Fail(const wchar_t* message, size_t position);

    // The document in wide characters, zero-terminated, cut up in place.
    // Position 0 holds a zero so that "no text" can point at it.
    std::vector<wchar_t> text_;
    std::vector<Element> elements_;
    std::vector<Attribute> attributes_;
    bool preserveWhitespace_ = false;
    std::wstring errorMessage_;
    std::wstring errorLocation_;
};

}  // namespace SkinUI
