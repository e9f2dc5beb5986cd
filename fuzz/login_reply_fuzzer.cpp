// The login-key service's reply and the key it is asked for, both from
// outside: the reply's address is either the body itself or a non-empty
// JSON string from it, and a key either gives no request or a URL whose
// host is one plain label and whose key part cannot end or split the query.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/Login.h"
#include "common/UrlDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    const std::string address = LoginAddressFromReply(body);
    if (address.empty() && !body.empty()) std::abort();
    if (address != body && address.size() > body.size()) std::abort();
    IsGameAddress(UrlDecode(address));

    std::wstring key;
    for (size_t i = 0; i + 1 < size; i += 2) key += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    std::wstring url;
    if (!BuildLoginKeyUrl(key, L"torvessa.example", &url)) return 0;
    if (url.size() >= 512) std::abort();
    const std::wstring head = L"http://s";
    const size_t hostEnd = url.find(L".torvessa.example:8075/geturl?sid=");
    if (url.compare(0, head.size(), head) != 0 || hostEnd == std::wstring::npos) std::abort();
    for (size_t i = head.size(); i < hostEnd; ++i) {
        const wchar_t c = url[i];
        if (!((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
              c == L'-')) {
            std::abort();
        }
    }
    const size_t keyStart = url.find(L"&key=");
    if (keyStart == std::wstring::npos) std::abort();
    for (size_t i = keyStart + 5; i < url.size(); ++i) {
        const wchar_t c = url[i];
        if (c == L'&' || c == L'#' || c == L'+' || c <= L' ' || c >= 0x7F) std::abort();
    }
    return 0;
}
