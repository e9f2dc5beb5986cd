#include "app/Login.h"

#include <json/json.h>

#include <exception>
#include <memory>

namespace {

constexpr wchar_t kAddressMarker[] = L"?url=";
constexpr size_t kUrlBufferSize = 512;  // wide characters, the NUL included
// "s" and the sid make one host label, at most 63 characters.
constexpr size_t kMaxSidLength = 62;

bool IsHostLabelCharacter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           c == L'-';
}

// Kept as they are in a query value: the unreserved characters and the
// delimiters that mean nothing there. "&", "#", "+", "%", blanks, controls,
// quotes and everything beyond ASCII are encoded.
bool KeptInQuery(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9')) {
        return true;
    }
    for (char32_t kept : U"-._~!$'()*,;:@/?=") {
        if (kept != 0 && c == kept) return true;
    }
    return false;
}

void AppendUtf8(char32_t c, std::string* out) {
    if (c < 0x80) {
        *out += static_cast<char>(c);
    } else if (c < 0x800) {
        *out += static_cast<char>(0xC0 | (c >> 6));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += static_cast<char>(0xE0 | (c >> 12));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (c >> 18));
        *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Wide strings are UTF-16 on Windows and UTF-32 elsewhere; a lone surrogate
// is taken as the replacement character.
std::wstring EncodeQueryValue(const std::wstring& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::wstring encoded;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
                ++i;
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
        if (KeptInQuery(c)) {
            encoded += static_cast<wchar_t>(c);
            continue;
        }
        std::string bytes;
        AppendUtf8(c, &bytes);
        for (unsigned char b : bytes) {
            encoded += L'%';
            encoded += static_cast<wchar_t>(kHex[b >> 4]);
            encoded += static_cast<wchar_t>(kHex[b & 0xF]);
        }
    }
    return encoded;
}

}  // namespace

LoginChoice ChooseLogin(const CommandLineOption* loginUrl) {
    LoginChoice choice;
    if (loginUrl == nullptr) return choice;
    const std::wstring& value = loginUrl->value;
    const std::wstring marker = kAddressMarker;
    if (value.compare(0, marker.size(), marker) == 0) {
        choice.route = LoginRoute::kGameAddress;
        choice.text = value.substr(marker.size());
    } else {
        choice.route = LoginRoute::kLoginKey;
        choice.text = value;
    }
    return choice;
}

std::wstring LoginKeySid(const std::wstring& key) {
    const size_t dot = key.find(L'.');
    return dot == std::wstring::npos ? std::wstring() : key.substr(0, dot);
}

bool BuildLoginKeyUrl(const std::wstring& key, const std::wstring& domain, std::wstring* url) {
    const std::wstring sid = LoginKeySid(key);
    if (sid.size() > kMaxSidLength) return false;
    for (wchar_t c : sid) {
        if (!IsHostLabelCharacter(c)) return false;
    }
    std::wstring text = L"http://s" + sid + L"." + domain + L":8075/geturl?sid=" + sid + L"&key=" +
                        EncodeQueryValue(key);
    if (text.size() >= kUrlBufferSize) return false;
    *url = std::move(text);
    return true;
}

std::string LoginAddressFromReply(const std::string& body) {
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = false;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    try {
        if (reader->parse(body.data(), body.data() + body.size(), &root, &errors) &&
            root.isObject()) {
            const Json::Value& url = root["url"];
            if (url.isString() && !url.asString().empty()) return url.asString();
        }
    } catch (const std::exception&) {
        // The reader throws on a document nested deeper than it allows: a
        // reply that is no JSON of ours, like any other.
    }
    return body;
}

bool IsGameAddress(const std::string& decoded) {
    return decoded.compare(0, 4, "http") == 0;
}
