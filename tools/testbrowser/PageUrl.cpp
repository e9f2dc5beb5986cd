#include "tools/testbrowser/PageUrl.h"

#include <vector>

namespace testbrowser {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(s[i]) != prefix[i]) return false;
    }
    return true;
}

// The length of "scheme:" at the start, 0 when there is none.
size_t SchemeLength(std::string_view url) {
    if (url.empty() || !((url[0] >= 'a' && url[0] <= 'z') || (url[0] >= 'A' && url[0] <= 'Z'))) {
        return 0;
    }
    for (size_t i = 1; i < url.size(); ++i) {
        const char c = url[i];
        if (c == ':') return i + 1;
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!ok) return 0;
    }
    return 0;
}

// Removes "." and ".." segments (RFC 3986, 5.2.4) of an absolute path.
std::string RemoveDotSegments(std::string_view path) {
    std::vector<std::string_view> segments;
    size_t start = 1;  // after the leading '/'
    bool trailingSlash = false;
    while (start <= path.size()) {
        const size_t slash = path.find('/', start);
        const size_t end = slash == std::string_view::npos ? path.size() : slash;
        const std::string_view segment = path.substr(start, end - start);
        trailingSlash = false;
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
            trailingSlash = true;
        } else if (segment == ".") {
            trailingSlash = true;
        } else {
            segments.push_back(segment);
        }
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    std::string out;
    for (const auto& segment : segments) {
        out += '/';
        out += segment;
    }
    if (trailingSlash || out.empty()) out += '/';
    return out;
}

}  // namespace

bool IsAboutBlank(std::string_view url) {
    url = Trim(url);
    return url.size() == 11 && StartsWithNoCase(url, "about:blank");
}

bool IsScriptUrl(std::string_view url) {
    return StartsWithNoCase(Trim(url), "javascript:");
}

std::string CompleteUrl(std::string_view typed) {
    typed = Trim(typed);
    if (typed.empty() || SchemeLength(typed) > 0) return std::string(typed);
    return "http://" + std::string(typed);
}

std::string ResolveUrl(std::string_view base, std::string_view reference) {
    reference = Trim(reference);
    if (SchemeLength(reference) > 0) return std::string(reference);
    const size_t scheme = SchemeLength(base);
    if (scheme == 0 || base.substr(scheme, 2) != "//") return std::string(reference);

    // base = scheme "//" authority path [? query] [# fragment]
    const size_t authorityStart = scheme + 2;
    size_t pathStart = base.find_first_of("/?#", authorityStart);
    if (pathStart == std::string_view::npos) pathStart = base.size();
    const std::string_view origin = base.substr(0, pathStart);
    const size_t fragment = base.find('#', pathStart);
    const std::string_view noFragment = base.substr(0, fragment);
    const size_t query = noFragment.find('?', pathStart);
    const std::string_view pathPart = noFragment.substr(
        pathStart, (query == std::string_view::npos ? noFragment.size() : query) - pathStart);

    if (reference.empty()) return std::string(noFragment);
    if (reference.substr(0, 2) == "//")
        return std::string(base.substr(0, scheme)) + std::string(reference);
    if (reference[0] == '#') return std::string(noFragment) + std::string(reference);
    if (reference[0] == '?') {
        return std::string(origin) + (pathPart.empty() ? "/" : std::string(pathPart)) +
               std::string(reference);
    }

    // Split the reference's own query or fragment off before resolving.
    const size_t tailStart = reference.find_first_of("?#");
    const std::string_view refPath = reference.substr(0, tailStart);
    const std::string_view tail =
        tailStart == std::string_view::npos ? std::string_view() : reference.substr(tailStart);
    std::string merged;
    if (!refPath.empty() && refPath[0] == '/') {
        merged = std::string(refPath);
    } else {
        const size_t lastSlash = pathPart.rfind('/');
        merged =
            (lastSlash == std::string_view::npos ? std::string("/")
                                                 : std::string(pathPart.substr(0, lastSlash + 1))) +
            std::string(refPath);
    }
    return std::string(origin) + RemoveDotSegments(merged) + std::string(tail);
}

}  // namespace testbrowser
