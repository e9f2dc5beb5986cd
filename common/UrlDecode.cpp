#include "common/UrlDecode.h"

namespace {

// Not only hexadecimal digits: addresses from the portal have always been
// decoded this way, so "%zz" keeps giving the byte it always gave.
int DigitValue(unsigned char c) {
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - '0';
}

}  // namespace

std::string UrlDecode(const std::string& text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            decoded += ' ';
        } else if (c == '%') {
            if (i + 2 >= text.size()) break;
            const int value = 16 * DigitValue(static_cast<unsigned char>(text[i + 1])) +
                              DigitValue(static_cast<unsigned char>(text[i + 2]));
            decoded += static_cast<char>(static_cast<unsigned char>(value & 0xFF));
            i += 2;
        } else {
            decoded += c;
        }
    }
    return decoded;
}
