// Letter case of the 26 ASCII letters, for names compared without regard to
// case: layout elements and control classes, skin and launcher package
// members, command-line options, file extensions. Every such name we ship
// is ASCII, and an ASCII rule gives the same answer on every platform and in
// every locale (towlower does not). Portable; any thread.
#pragma once

#include <string>
#include <string_view>

template <class Char>
constexpr Char AsciiLower(Char c) {
    return (c >= Char('A') && c <= Char('Z')) ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

namespace ascii_case_detail {

template <class Char>
constexpr bool Equal(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

template <class Char>
std::basic_string<Char> Lower(std::basic_string_view<Char> text) {
    std::basic_string<Char> out(text);
    for (Char& c : out) c = AsciiLower(c);
    return out;
}

}  // namespace ascii_case_detail

// Views, strings and literals of either width mix freely.
constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return ascii_case_detail::Equal(a, b);
}
constexpr bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    return ascii_case_detail::Equal(a, b);
}

inline std::string AsciiLowerCopy(std::string_view text) {
    return ascii_case_detail::Lower(text);
}
inline std::wstring AsciiLowerCopy(std::wstring_view text) {
    return ascii_case_detail::Lower(text);
}
