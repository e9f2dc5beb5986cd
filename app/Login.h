// The application controller's login decisions, apart from its windows and
// its download: which road the "-LoginUrl:" option takes, the login-key
// service's URL for a key, the address in the service's reply, and whether
// a decoded address is one the game session takes. Portable; any thread.
#pragma once

#include <string>

#include "app/CommandLine.h"

enum class LoginRoute {
    kMainPage,     // no "-LoginUrl:": the player logs in on the main page
    kGameAddress,  // "?url=" and an address: straight to the game session
    kLoginKey,     // anything else is a key for the login-key service
};

struct LoginChoice {
    LoginRoute route = LoginRoute::kMainPage;
    // kGameAddress: the text after "?url=", still percent-encoded;
    // kLoginKey: the whole value.
    std::wstring text;
};

// Decides on the option's value; only a value that begins with "?url=" is
// an address, one that holds it further on is a key like any other.
LoginChoice ChooseLogin(const CommandLineOption* loginUrl);

// The key's server id: the text before its first "."; empty without one.
std::wstring LoginKeySid(const std::wstring& key);

// "http://s<sid>.<domain>:8075/geturl?sid=<sid>&key=<key>". The sid goes
// into the host name, so it must be a plain host label (letters, digits,
// hyphens; empty gives the label "s" alone); characters of the key that
// would change the URL's structure are percent-encoded (UTF-8). False, and
// no request is to be made, when the sid is not such a label or the URL
// would not fit the 512-character buffer it has always been built in.
bool BuildLoginKeyUrl(const std::wstring& key, const std::wstring& domain, std::wstring* url);

// The login address in the service's reply: the non-empty string member
// "url" of a JSON object (comments allowed), else the whole body.
std::string LoginAddressFromReply(const std::string& body);

// A decoded address the game session takes: it begins with "http".
bool IsGameAddress(const std::string& decoded);
