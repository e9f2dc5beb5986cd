#include "game/ServerList.h"

#include <json/reader.h>
#include <json/writer.h>

#include <exception>
#include <limits>
#include <utility>
#include <vector>

#include "common/qlogger/QLogger.h"
#include "ui/skin/SkinText.h"

// The classic Reader and StyledWriter are what the portal's documents have
// always been read and written with (comments allowed, the writer's text for
// values of an unexpected type); JsonCpp marks them deprecated.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

namespace {

const Json::Value* FindMember(const Json::Value& value, const std::string& name) {
    // JsonCpp asserts (throws) on member lookups in arrays and scalars;
    // here they simply have no members.
    if (!value.isObject()) return nullptr;
    return value.find(name.data(), name.data() + name.size());
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> names;
    size_t start = 0;
    for (;;) {
        const size_t dot = path.find('.', start);
        if (dot == std::string::npos) break;
        names.push_back(path.substr(start, dot - start));
        start = dot + 1;
    }
    std::string last = path.substr(start);
    const size_t colon = last.find(':');
    if (colon != std::string::npos) last.erase(colon);
    names.push_back(std::move(last));
    return names;
}

bool IsCBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// What the C function atoi reads (blanks, a sign, decimal digits), except
// that values beyond 32 bits saturate as the Windows runtime's atoi does
// instead of being undefined.
int32_t ToInt32LikeAtoi(const std::string& text) {
    constexpr int64_t kLimit = int64_t{1} << 31;
    size_t i = 0;
    while (i < text.size() && IsCBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > kLimit) magnitude = kLimit;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

std::wstring WideText(const Json::Value& value, const char* path) {
    std::string text;
    GetJsonString(value, path, "", text);
    return SkinUI::Utf8ToWide(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

int32_t Number(const Json::Value& value, const char* path) {
    std::string text;
    GetJsonString(value, path, "", text);
    return ToInt32LikeAtoi(text);
}

// The reader's first message on one line, for the log.
std::string FirstError(const std::string& messages) {
    std::string line;
    for (const char c : messages) {
        if (c == '\n') {
            if (!line.empty() && line.back() != ' ') line += ' ';
            continue;
        }
        line += c;
        if (line.size() > 200) break;
    }
    return line;
}

}  // namespace

bool GetJsonString(const Json::Value& value, const std::string& path,
                   const std::string& defaultText, std::string& text) {
    text = defaultText;
    const std::vector<std::string> names = SplitPath(path);
    const Json::Value* current = &value;
    for (size_t i = 0; i < names.size(); ++i) {
        current = FindMember(*current, names[i]);
        if (current == nullptr || current->isNull()) return false;
        if (!current->isObject() && i + 1 < names.size()) return false;
    }
    if (current->isString()) {
        text = current->asString();
    } else if (current->isBool()) {
        text = current->asBool() ? "true" : "false";
    } else {
        Json::StyledWriter writer;
        text = writer.write(*current);
    }
    return true;
}

bool ServerListInfo::ParseJson(const std::string& text) {
    *this = ServerListInfo{};

    Json::Value root;
    try {
        Json::Reader reader(Json::Features::all());
        if (!reader.parse(text.data(), text.data() + text.size(), root, true)) {
            QLogger::Log(QLOG_WARNING, "%s:not JSON:%s", "ServerListInfo::ParseJson",
                         FirstError(reader.getFormattedErrorMessages()).c_str());
            return false;
        }
    } catch (const std::exception& error) {
        // The reader throws on documents nested deeper than it allows.
        QLogger::Log(QLOG_WARNING, "%s:not JSON:%s", "ServerListInfo::ParseJson", error.what());
        return false;
    }

    std::string ignored;
    GetJsonString(root, "status", "", ignored);
    GetJsonString(root, "message", "", ignored);

    const Json::Value* data = FindMember(root, "data");
    if (data == nullptr || !(data->isObject() || data->isNull())) {
        QLogger::Log(QLOG_WARNING, "%s:no data object", "ServerListInfo::ParseJson");
        return false;
    }
    userName = WideText(*data, "user_name");
    currentServerName = WideText(*data, "current.server_name");
    currentServerNumber = Number(*data, "current.server_number");

    const Json::Value* all = FindMember(*data, "allserver");
    if (all != nullptr && all->isArray()) {
        servers.reserve(all->size());
        for (const Json::Value& element : *all) {
            ServerEntry entry;
            entry.name = WideText(element, "server_name");
            entry.number = Number(element, "server_number");
            entry.url = WideText(element, "server_url");
            servers.push_back(std::move(entry));
        }
    }
    return true;
}
