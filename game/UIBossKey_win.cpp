#include "game/UIBossKey_win.h"

#include <windowsx.h>

#include <string>

#include "app/Game_win.h"
#include "game/Registry_win.h"
#include "game/UIGame_win.h"
#include "ui/controls/Button.h"
#include "ui/controls/Label.h"
#include "ui/window/WindowFrame.h"

namespace {

// The layout's caption, left and right as coordinates (not as distances
// from the edges, as other windows read theirs).
constexpr SkinUI::TRect kCaption{0, 0, 327, 30};
// Controls the caption does not drag by: the dialog's field counts too.
constexpr std::wstring_view kClickClasses[] = {L"ButtonUI", L"OptionUI", L"SliderUI", L"EditUI",
                                               L"RichEditUI"};

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

}  // namespace

UIBossKey::UIBossKey(CGame* owner)
    : owner_(owner),
      hotKey_(kBossKeyHotKeyId),
      settings_(owner->GetKeyNames(), PlatformRegistry(), hotKey_) {}

UIBossKey::~UIBossKey() {
    hotKey_.Unregister();
}

LRESULT UIBossKey::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY && wParam == kBossKeyHotKeyId) {
        // While the player edits the key, pressing it must not hide the game.
        if (!IsWindowVisible(hwnd_) && owner_->GetGameWindow() != nullptr) {
            owner_->GetGameWindow()->ToggleVisible();
        }
        return 0;
    }
    return WindowImplBase::HandleMessage(message, wParam, lParam);
}

void UIBossKey::InitWindow() {
    hotKey_.SetWindow(hwnd_);
    const auto find = [this](const wchar_t* name) {
        return manager_.FindControl(std::wstring(name));
    };
    close_ = dynamic_cast<SkinUI::CButtonUI*>(find(L"close"));
    field_ = dynamic_cast<SkinUI::CEditUI*>(find(L"bosskey"));
    ok_ = dynamic_cast<SkinUI::CButtonUI*>(find(L"ok"));
    enable_ = dynamic_cast<SkinUI::COptionUI*>(find(L"enablebosskey"));
    // Focused first: the field's own edit window then exists, and the text
    // set next is filtered at once like a typed one.
    if (field_ != nullptr) manager_.SetFocus(field_);
    LoadSettings();
}

void UIBossKey::LoadSettings() {
    const BossKeyStart start = settings_.Load();
    if (field_ != nullptr) field_->SetText(start.fieldText);
    if (enable_ != nullptr) enable_->SetSelected(start.enabled);
    if (field_ != nullptr) field_->SetEnabled(Enabled());
}

bool UIBossKey::Enabled() const {
    return enable_ != nullptr && enable_->IsSelected();
}

std::wstring UIBossKey::FieldText() const {
    return field_ != nullptr ? field_->GetText() : std::wstring();
}

LRESULT UIBossKey::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
    handled = true;
    ShowWindow(false, true);
    return 0;
}

LRESULT UIBossKey::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool&) {
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hwnd_, &pt);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const SkinUI::TRect caption{kCaption.left, kCaption.top, client.right - kCaption.right,
                                kCaption.bottom};
    return SkinUI::HitTestFrame(SkinUI::TPoint{pt.x, pt.y},
                                SkinUI::TRect{client.left, client.top, client.right, client.bottom},
                                manager_.GetWindowAttributes().sizeBox, caption,
                                IsZoomed(hwnd_) != FALSE, manager_,
                                SkinUI::ClassNameMatch::kIgnoringCase, kClickClasses);
}

void UIBossKey::Notify(SkinUI::TControlNotify& msg) {
    if (msg.sender != nullptr) {
        if (msg.type == L"click" && msg.sender == close_) {
            PostMessage(WM_CLOSE);
            return;
        }
        if (msg.type == L"click" && msg.sender == ok_) {
            if (settings_.Save(FieldText(), Enabled())) {
                PostMessage(WM_CLOSE);
            } else {
                MessageBoxW(hwnd_, kBossKeyInvalidText, kBossKeyInvalidCaption, MB_OK);
            }
            return;
        }
        if (msg.type == L"selectchanged" && msg.sender == enable_) {
            settings_.SetEnabled(Enabled(), FieldText());
            if (field_ != nullptr) field_->SetEnabled(Enabled());
            return;
        }
        if (msg.type == L"textchanged" && msg.sender == field_) {
            const std::wstring text = FieldText();
            const std::wstring kept = settings_.FilterFieldText(text);
            if (kept != text) field_->SetText(kept);
            return;
        }
    }
    WindowImplBase::Notify(msg);
}

LRESULT UIBossKey::MessageHandler(UINT message, WPARAM wParam, LPARAM, bool& handled) {
    if (message != WM_KEYDOWN && message != WM_KEYUP) return 0;
    BossKeyPress press;
    press.key = LOWORD(wParam);
    press.ctrlDown = KeyDown(VK_CONTROL);
    press.shiftDown = KeyDown(VK_SHIFT);
    press.altDown = KeyDown(VK_MENU);
    const bool focused = field_ != nullptr && manager_.GetFocus() == field_;
    const BossKeyCapture capture = settings_.CaptureKey(press, focused, Enabled(), FieldText());
    if (capture.handled) handled = true;
    if (capture.setText && field_ != nullptr) field_->SetText(capture.text);
    return 0;
}
