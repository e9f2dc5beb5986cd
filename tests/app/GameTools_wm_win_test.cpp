// The game window's tools in a whole game session under Wine: the boss-key
// dialog driven with real key presses (the field, the switch, OK, the
// stored values, the hotkey that hides and restores the game window) and
// the change-server popup's "换服".
#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "game/BossKeySettings.h"
#include "game/UIBossKey_win.h"
#include "game/UIChangeServer_win.h"
#include "support/GameSessionTest_win.h"
#include "ui/controls/Button.h"
#include "ui/controls/Combo.h"
#include "ui/controls/Label.h"

namespace {

using testsupport::UiTestHost;

const std::wstring kSubkey = L"Software\\Brindlewood\\QAMBlauncher";
constexpr const wchar_t* kNone = L"<none>";

std::wstring Stored(const wchar_t* name) {
    wchar_t value[256] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, kSubkey.c_str(), name, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS) {
        return kNone;
    }
    return value;
}

void Store(const wchar_t* name, const std::wstring& value) {
    if (value == kNone) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kSubkey.c_str(), name);
        return;
    }
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kSubkey.c_str(), name, REG_SZ, value.c_str(),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

// The player's two stored values, absent for the test and put back after it.
class StoredBossKey {
public:
    StoredBossKey() : key_(Stored(kBossKeyValueName)), enable_(Stored(kEnableBossKeyValueName)) {
        Store(kBossKeyValueName, kNone);
        Store(kEnableBossKeyValueName, kNone);
    }
    ~StoredBossKey() {
        Store(kBossKeyValueName, key_);
        Store(kEnableBossKeyValueName, enable_);
    }

private:
    const std::wstring key_;
    const std::wstring enable_;
};

// Whether some window already holds a combination: another window cannot
// register it then.
bool HotKeyTaken(UINT modifiers, UINT key) {
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    const bool taken = !RegisterHotKey(probe, 7, modifiers, key);
    if (!taken) UnregisterHotKey(probe, 7);
    DestroyWindow(probe);
    return taken;
}

// The message box a click raised, as a timer inside its modal loop saw it.
struct SeenMessageBox {
    std::wstring caption;
    std::wstring text;
};
SeenMessageBox* g_seen = nullptr;

BOOL CALLBACK CloseMessageBox(HWND window, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    g_seen->caption = text;
    text[0] = 0;
    GetDlgItemTextW(window, 0xFFFF, text, 128);  // the message's static
    g_seen->text = text;
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK LookForMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), CloseMessageBox, 0);
    if (!g_seen->caption.empty()) KillTimer(nullptr, timer);
}

class GameTools : public testsupport::GameSessionTest {
protected:
    // The session again, as the next start of the launcher begins it.
    void Restart() {
        game->Uninitialize();
        game.reset();
        UiTestHost::Drain();
        game = std::make_unique<CGame>();
        ASSERT_TRUE(game->Initialize()) << LogText();
        g_hGameWnd = game->GetHWND();
        ASSERT_TRUE(game->Start());
    }

    UIBossKey& Dialog() const { return *game->GetBossKeyWindow(); }
    template <class T>
    T* In(SkinUI::WindowImplBase& window, const wchar_t* name) const {
        return dynamic_cast<T*>(window.GetManager().FindControl(std::wstring(name)));
    }
    SkinUI::CEditUI* Field() const { return In<SkinUI::CEditUI>(Dialog(), L"bosskey"); }
    SkinUI::COptionUI* Switch() const { return In<SkinUI::COptionUI>(Dialog(), L"enablebosskey"); }

    // A click as the mouse makes it, on the centre of a control of |window|.
    void ClickIn(SkinUI::WindowImplBase& window, const wchar_t* name) {
        SkinUI::CControlUI* control = In<SkinUI::CControlUI>(window, name);
        ASSERT_NE(control, nullptr) << name;
        const SkinUI::TRect& r = control->GetPos();
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}) {
            PostMessageW(window, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, at);
        }
        UiTestHost::Drain();
    }

    // The dialog shown and in front, the keyboard in its field. Not modal:
    // the test drives it from its own loop.
    void OpenDialog() {
        Dialog().CenterWindow();
        Dialog().ShowWindow(true, true);
        RECT r{};
        GetWindowRect(Dialog(), &r);
        // Without a window manager the keyboard follows the pointer.
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SetForegroundWindow(Dialog());
        UiTestHost::Drain();
        ClickIn(Dialog(), L"bosskey");
    }

    // Every key press sent so far has been handled: SendInput queues them
    // to this thread before it returns.
    static void SettleInput() {
        ASSERT_TRUE(UiTestHost::DrainUntil([] { return HIWORD(GetQueueStatus(QS_INPUT)) == 0; }));
        UiTestHost::Drain();
    }

    // Real key presses; true once the field shows |expected|.
    bool Press(std::initializer_list<std::pair<WORD, bool>> keys, const std::wstring& expected) {
        testsupport::SendKeys(keys);
        return UiTestHost::DrainUntil([&] { return Field()->GetText() == expected; });
    }

    StoredBossKey stored;
};

TEST_F(GameTools, TheFirstRunStartsEmptyAndDisabledAndStoresNothing) {
    EXPECT_EQ(Field()->GetText(), L"") << "the placeholder is emptied at once";
    EXPECT_FALSE(Switch()->IsSelected());
    EXPECT_FALSE(Field()->IsEnabled());
    EXPECT_EQ(Stored(kEnableBossKeyValueName), kNone);
    EXPECT_EQ(Stored(kBossKeyValueName), kNone);
}

TEST_F(GameTools, TheFieldTakesCtrlAndANamedKeyAndNothingElse) {
    OpenDialog();
    ClickIn(Dialog(), L"enablebosskey");
    ASSERT_TRUE(Switch()->IsSelected());
    EXPECT_TRUE(Field()->IsEnabled());
    EXPECT_EQ(Stored(kEnableBossKeyValueName), L"1");
    ClickIn(Dialog(), L"bosskey");

    EXPECT_TRUE(Press({{VK_CONTROL, false}, {VK_NEXT, false}, {VK_NEXT, true}, {VK_CONTROL, true}},
                      L"CTRL+NUM(NEXT)"))
        << "the pad's name is the first of the shared code";
    EXPECT_TRUE(Press({{VK_CONTROL, false}, {VK_HOME, false}, {VK_HOME, true}, {VK_CONTROL, true}},
                      L"CTRL+HOME"));
    // Shift or Alt held sets nothing.
    testsupport::SendKeys({{VK_CONTROL, false}, {VK_SHIFT, false}, {'A', false}, {'A', true},
                           {VK_SHIFT, true}, {VK_MENU, false}, {'B', false}, {'B', true},
                           {VK_MENU, true}, {VK_CONTROL, true}});
    SettleInput();
    EXPECT_EQ(Field()->GetText(), L"CTRL+HOME");
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL, VK_HOME)) << "nothing registers before OK or the switch";

    // A typed letter is removed with the rest of what is no hotkey.
    EXPECT_TRUE(Press({{'C', false}, {'C', true}}, L""));
    ClickIn(Dialog(), L"enablebosskey");
    EXPECT_FALSE(Field()->IsEnabled());
    EXPECT_EQ(Stored(kEnableBossKeyValueName), L"0");
    EXPECT_EQ(Stored(kBossKeyValueName), kNone) << "only OK stores the key";
}

TEST_F(GameTools, EnablingRegistersTheFieldAndOkStoresOnlyAHotkey) {
    OpenDialog();
    ClickIn(Dialog(), L"enablebosskey");
    ClickIn(Dialog(), L"bosskey");

    // OK with an empty field: the message box, nothing stored, still open.
    SeenMessageBox seen;
    g_seen = &seen;
    SetTimer(nullptr, 0, 50, &LookForMessageBox);
    ClickIn(Dialog(), L"ok");
    g_seen = nullptr;
    EXPECT_EQ(seen.caption, kBossKeyInvalidCaption);
    EXPECT_EQ(seen.text, kBossKeyInvalidText);
    EXPECT_EQ(Stored(kBossKeyValueName), kNone);
    EXPECT_TRUE(IsWindowVisible(Dialog()));

    ClickIn(Dialog(), L"bosskey");
    ASSERT_TRUE(Press({{VK_CONTROL, false}, {VK_F9, false}, {VK_F9, true}, {VK_CONTROL, true}},
                      L"CTRL+F9"));
    // Off and on again: the field's text registers though OK never saw it.
    ClickIn(Dialog(), L"enablebosskey");
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL, VK_F9));
    ClickIn(Dialog(), L"enablebosskey");
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL, VK_F9));
    EXPECT_EQ(Stored(kBossKeyValueName), kNone);

    ClickIn(Dialog(), L"ok");
    EXPECT_EQ(Stored(kBossKeyValueName), L"CTRL+F9");
    EXPECT_FALSE(IsWindowVisible(Dialog()));
    EXPECT_TRUE(IsWindow(Dialog()));

    // The next session starts with it, registered; its end lets it go.
    Restart();
    EXPECT_EQ(Field()->GetText(), L"CTRL+F9");
    EXPECT_TRUE(Switch()->IsSelected());
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL, VK_F9));
    game->Uninitialize();
    game.reset();
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL, VK_F9));
}

TEST_F(GameTools, TheHotkeyTogglesTheGameWindowOnlyWhileTheDialogIsHidden) {
    Store(kBossKeyValueName, L"CTRL+F7");
    Store(kEnableBossKeyValueName, L"1");
    Restart();
    HWND window = *game->GetGameWindow();
    ASSERT_FALSE(IsWindowVisible(window));
    const auto press = [] {
        testsupport::SendKeys(
            {{VK_CONTROL, false}, {VK_F7, false}, {VK_F7, true}, {VK_CONTROL, true}});
    };
    press();
    EXPECT_TRUE(UiTestHost::DrainUntil([&] { return IsWindowVisible(window) != FALSE; }))
        << "a hidden game window comes back";
    press();
    EXPECT_TRUE(UiTestHost::DrainUntil([&] { return IsWindowVisible(window) == FALSE; }))
        << "a shown one hides";

    press();
    ASSERT_TRUE(UiTestHost::DrainUntil([&] { return IsWindowVisible(window) != FALSE; }));
    OpenDialog();
    press();
    // The field takes the press as a new key; the game window stays.
    ASSERT_TRUE(UiTestHost::DrainUntil([&] { return Field()->GetText() == L"CTRL+F7"; }));
    SettleInput();
    EXPECT_TRUE(IsWindowVisible(window));
}

// The popup's "换服": the chosen server becomes current at once and the
// game page moves to its address; with nothing chosen nothing happens.
TEST_F(GameTools, ChangeServerOpensTheChosenServersPage) {
    const std::wstring host = std::wstring(L"http://") + LAUNCHER_PORTAL_GAME_HOST;
    const std::wstring eleven = host + L"/game/play.html?server=11";
    ASSERT_TRUE(PostOwnedString(
        g_hGameWnd, kServerListMessage,
        "{\"data\":{\"user_name\":\"p\",\"current\":{\"server_name\":\"S12\",\"server_number\":12},"
        "\"allserver\":[{\"server_number\":11,\"server_name\":\"S11\",\"server_url\":\"" +
            testsupport::Narrow(eleven) + "\"},{\"server_number\":\"13\",\"server_name\":\"S13\"}]}}",
        "test"));
    UiTestHost::Drain();
    UIChangeServer& popup = *game->GetChangeServerWindow();
    auto* list = In<SkinUI::CComboUI>(popup, L"serverlist");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCurSel(), -1) << "the current server is not in the list";
    EXPECT_EQ(In<SkinUI::CLabelUI>(popup, L"currentserver")->GetText(), L"S12");

    // Shown in the shown game window as its button shows it (the button
    // itself is the game window's test).
    ::ShowWindow(*game->GetGameWindow(), SW_SHOWNORMAL);
    popup.TogglePopup(POINT{400, 40});
    ASSERT_TRUE(IsWindowVisible(popup));
    UiTestHost::Drain();
    ClickIn(popup, L"changeserver");
    EXPECT_FALSE(Logged("UIGame::Navigate2")) << "nothing chosen, nothing opened";
    EXPECT_EQ(In<SkinUI::CLabelUI>(popup, L"currentserver")->GetText(), L"S12");

    ASSERT_TRUE(list->SelectItem(0));
    EXPECT_EQ(In<SkinUI::CLabelUI>(popup, L"serverlist_selected")->GetText(), L"S11");
    ClickIn(popup, L"changeserver");
    EXPECT_EQ(In<SkinUI::CLabelUI>(popup, L"currentserver")->GetText(), L"S11");
    EXPECT_EQ(list->GetCurSel(), 0);
    EXPECT_TRUE(WaitForPage(eleven)) << LogText();
}

}  // namespace
