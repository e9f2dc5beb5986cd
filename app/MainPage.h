// What the main page window decides about the portal's pages: the pages it
// opens, which navigations start the game, and where the server list sits
// in the select-server page. Portable; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The first portal page of a run: the logout page when the player asked to
// log out ("-logout"), else the start page.
std::wstring PortalFirstPage(bool logout);

// The select-server page; |number| makes each request's address new, so
// that nothing cached answers it. Written as a signed 32-bit number.
std::wstring ServerListPage(int32_t number);

// An address that starts the game: it holds the portal's game-start
// address or its quick-start redirect anywhere, in any ASCII letter case.
bool IsGameStartAddress(std::wstring_view address);

// The server list in the select-server page's body HTML: the text between
// the first "<BODY>" and the first "</BODY>" (the browser writes them in
// capitals), as it stands. False, and |list| untouched, when there is no
// such pair in that order or nothing but white space between them.
bool ExtractServerList(std::string_view bodyHtml, std::string* list);
