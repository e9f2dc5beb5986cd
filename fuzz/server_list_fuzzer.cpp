// Server lists as the portal's page body hands them over. Whatever the
// text, the parse ends with a consistent info (all empty on failure), and a
// dotted path read from the document's first line never throws.
#include <json/reader.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzInput.h"
#include "game/ServerList.h"

#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ServerListInfo info;
    info.servers.resize(3);
    if (!info.ParseJson(text)) {
        FuzzCheck(info.userName.empty() && info.currentServerName.empty());
        FuzzCheck(info.currentServerNumber == 0 && info.servers.empty());
    }

    const size_t newline = text.find('\n');
    if (newline == std::string::npos) return 0;
    Json::Value root;
    try {
        Json::Reader reader;
        if (!reader.parse(text.substr(newline + 1), root, true)) return 0;
    } catch (const std::exception&) {
        return 0;  // nesting beyond the reader's limit: not ours to read
    }
    std::string found;
    if (!GetJsonString(root, text.substr(0, newline), "default", found))
        FuzzCheck(found == "default");
    return 0;
}
