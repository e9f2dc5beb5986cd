// What the main page takes from the web: a navigation's address and the
// select-server page's body HTML. The first half of the input is read as
// UTF-16 (an address), all of it as body bytes. A server list found is the
// text between the first "<BODY>" and the first "</BODY>", never without
// something besides white space; an address is caught exactly when its
// ASCII-lowered form holds a game-start address. The game window's
// login-host test on the same address obeys the same rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/MainPage.h"
#include "LauncherConfig.h"
#include "game/GameWindow.h"
#include "common/AsciiCase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    std::string list = "unchanged";
    if (ExtractServerList(body, &list)) {
        const size_t start = body.find("<BODY>");
        if (start == std::string_view::npos || body.substr(start + 6, list.size()) != list ||
            body.compare(start + 6 + list.size(), 7, "</BODY>") != 0 ||
            list.find("</BODY>") != std::string::npos ||
            list.find_first_not_of(" \t\r\n\f") == std::string::npos) {
            std::abort();
        }
    } else if (list != "unchanged") {
        std::abort();
    }

    std::wstring address;
    for (size_t i = 0; i + 1 < size; i += 2) {
        address += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }
    if (IsGameStartAddress(address) != IsGameStartAddress(AsciiLowerCopy(address))) std::abort();
    // Whatever stands around it, a game-start address inside is found.
    const std::wstring start = PortalFirstPage(false);
    const std::wstring portal = start.substr(0, start.find(L"/wd_"));
    if (!IsGameStartAddress(address + L"?" + portal + L"/PLAYGAME" + address)) std::abort();
    if (IsLoginHostPage(address) != IsLoginHostPage(AsciiLowerCopy(address))) std::abort();
    if (!IsLoginHostPage(address + L"HTTP://" + LAUNCHER_LOGIN_HOST + address)) std::abort();
    return 0;
}
