#include "app/MainPage.h"

#include "LauncherConfig.h"
#include "common/AsciiCase.h"

namespace {

const std::wstring kPortal = std::wstring(L"http://") + LAUNCHER_PORTAL_HOST;
const std::wstring kPortalGame = std::wstring(L"http://") + LAUNCHER_PORTAL_GAME_HOST;

constexpr std::string_view kBodyStart = "<BODY>";
constexpr std::string_view kBodyEnd = "</BODY>";

}  // namespace

std::wstring PortalFirstPage(bool logout) {
    return kPortal + (logout ? L"/wd_qamb/logout.html" : L"/wd_qamb.html");
}

std::wstring ServerListPage(int32_t number) {
    return kPortal + L"/wd_qamb/select_server.html?v=" + std::to_wstring(number);
}

bool IsGameStartAddress(std::wstring_view address) {
    // The host names are deployment values; lowered once like the address.
    static const std::wstring gameStart = AsciiLowerCopy(kPortal + L"/playgame");
    static const std::wstring quickStart = AsciiLowerCopy(kPortalGame + L"/redirect/quick.html");
    const std::wstring lowered = AsciiLowerCopy(address);
    return lowered.find(gameStart) != std::wstring::npos ||
           lowered.find(quickStart) != std::wstring::npos;
}

bool ExtractServerList(std::string_view bodyHtml, std::string* list) {
    const size_t start = bodyHtml.find(kBodyStart);
    const size_t end = bodyHtml.find(kBodyEnd);
    if (start == std::string_view::npos || end == std::string_view::npos || start >= end) {
        return false;
    }
    const size_t from = start + kBodyStart.size();
    const std::string_view text = bodyHtml.substr(from, end - from);
    // White space alone is an empty page as well: handed on, it would only
    // fail to parse and cost the game the list it has.
    if (text.find_first_not_of(" \t\r\n\f") == std::string_view::npos) return false;
    list->assign(text);
    return true;
}
