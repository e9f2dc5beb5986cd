// Addresses as the test browser follows them: links, frame sources and
// refresh targets resolved against the page's own address. Portable.
#pragma once

#include <string>
#include <string_view>

namespace testbrowser {

// |reference| (a page's href, src or refresh url) against the absolute
// |base|: absolute references as they are, "//host/..", "/path", "?query",
// "#fragment" and relative paths with "." and ".." segments removed. A base
// without "scheme://" (about:blank) resolves only absolute references;
// anything else comes back as written.
std::string ResolveUrl(std::string_view base, std::string_view reference);

// What the address bar does to a typed address: surrounding white space
// dropped, and "http://" put before one without a scheme.
std::string CompleteUrl(std::string_view typed);

// "about:blank", in any case.
bool IsAboutBlank(std::string_view url);

// Links that run page script ("javascript:...", in any case).
bool IsScriptUrl(std::string_view url);

}  // namespace testbrowser
