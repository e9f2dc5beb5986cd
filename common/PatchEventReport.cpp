#include "common/PatchEventReport.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string_view>
#include <vector>

#include "LauncherConfig.h"
#include "common/UrlDecode.h"

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r";
    const size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(kSpace);
    return text.substr(first, last - first + 1);
}

// printf into a string, cut like the 1024-character buffers the server has
// always been sent from.
template <typename... Args>
std::string FormatPart(const char* format, Args... args) {
    char buffer[kReportUrlPartMax + 1];
    const int written = std::snprintf(buffer, sizeof buffer, format, args...);
    if (written < 0) return {};
    return std::string(buffer, std::min<size_t>(static_cast<size_t>(written), kReportUrlPartMax));
}

}  // namespace

void ParseReportParameters(const std::string& address, ReportIdentity& identity) {
    struct Key {
        std::string_view name;
        std::string ReportIdentity::*field;
    };
    // Searched in this order: the first key found anywhere in a pair decides.
    static constexpr Key kKeys[] = {
        {"platform=", &ReportIdentity::platform},
        {"sid=", &ReportIdentity::skey},
        {"uid=", &ReportIdentity::uid},
    };
    const std::string decoded = UrlDecode(address);
    for (std::string_view pair : Split(decoded, '&')) {
        pair = Trim(pair);
        for (const Key& key : kKeys) {
            const size_t at = pair.find(key.name);
            if (at == std::string_view::npos) continue;
            // The text between the key's "=" and the next "=" (or the end).
            const std::string_view rest = pair.substr(at + key.name.size());
            identity.*key.field = std::string(rest.substr(0, rest.find('=')));
            break;
        }
    }
}

std::string ReportSettingsKey(const ReportIdentity& identity) {
    return identity.platform + "_" + identity.uid + "_" + identity.skey;
}

std::optional<int> LeadingNumber(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    const size_t firstDigit = i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (i == firstDigit) return std::nullopt;
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return static_cast<int>(value);
}

bool IsActionReported(const std::string& storedValue, int actionType) {
    if (storedValue.empty()) return false;
    for (std::string_view entry : Split(storedValue, ' ')) {
        if (LeadingNumber(std::string(entry)) == actionType) return true;
    }
    return false;
}

std::string AppendReportedAction(const std::string& storedValue, int actionType) {
    const std::string number = std::to_string(actionType);
    return storedValue.empty() ? number : storedValue + " " + number;
}

std::string ReportBaseUrl() {
    return std::string("http://") + LAUNCHER_STATISTICS_HOST + ":8075/loginstat_rate?";
}

std::string BuildReportUrl(const std::string& baseUrl, const ReportFacts& facts, int actionType,
                           int result, int transid, const ReportIdentity& identity) {
    std::string url = FormatPart(
        "%smac=%s&&net=%s&&os=%s&&browser=%s&&resolution=%d*%d&&acttype=%d&&result=%d&&transid=%d",
        baseUrl.c_str(), facts.mac.c_str(), facts.net.c_str(), facts.os.c_str(),
        facts.browser.c_str(), facts.screenWidth, facts.screenHeight, actionType, result, transid);
    if (identity.IsComplete()) {
        url += FormatPart("&&platform=%s&&uid=%s&&skey=%s", identity.platform.c_str(),
                          identity.uid.c_str(), identity.skey.c_str());
    }
    return url;
}
