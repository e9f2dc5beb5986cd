// The player's server list as the portal's select-server page gives it: a
// JSON document (UTF-8) with the user name, the current server and all
// servers. The game session controller owns one ServerListInfo and replaces
// its content with every list that arrives. UI thread, like its owner.
#pragma once

#include <json/value.h>

#include <cstdint>
#include <string>
#include <vector>

struct ServerEntry {
    int32_t number = 0;
    std::wstring name;
    std::wstring url;  // the server's game page
};

struct ServerListInfo {
    std::wstring userName;
    int32_t currentServerNumber = 0;
    std::wstring currentServerName;
    std::vector<ServerEntry> servers;  // in document order

    // Replaces everything with the content of |text|. False, leaving all
    // empty, when the text is not JSON or its root has no "data" that is an
    // object or null. Missing members read as empty text and 0; numbers come
    // from integers or from strings of digits, saturating at the 32-bit
    // limits; an element of "allserver" that is not an object is listed
    // as an empty entry, as a null one is.
    bool ParseJson(const std::string& text);
};

// Reads the value at a dotted |path| ("current.server_name"; a ":" and what
// follows it in the last name are ignored). Text is a string's own text,
// "true" or "false", or what JsonCpp's StyledWriter writes for anything else
// (ending in a line break). False, with |text| = |defaultText|, when a name
// is missing, a value on the way is null, or a value before the last name
// is not an object; values that are not objects have no members.
bool GetJsonString(const Json::Value& value, const std::string& path,
                   const std::string& defaultText, std::string& text);
