#include "update/UILoading_win.h"

#include "app/Game_win.h"
#include "game/UIGame_win.h"
#include "ui/controls/Progress.h"

uint32_t UILoading::TickClock::Ticks() {
    return GetTickCount();
}

bool UILoading::EngineLibrary::Load() {
    // By name: the plug-in loads the engine from its own folder, and a
    // module of that name already in the process is what this finds.
    if (!module_) module_.reset(LoadLibraryW(L"plume3d.lod"));
    return static_cast<bool>(module_);
}

bool UILoading::EngineLibrary::FindProgress() {
    function_ = nullptr;
    if (!module_) return false;
    function_ = reinterpret_cast<float (*)()>(
        reinterpret_cast<void*>(GetProcAddress(module_.get(), "_PlumeProgress")));
    return function_ != nullptr;
}

float UILoading::EngineLibrary::Progress() {
    return function_ != nullptr ? function_() : 0.0f;
}

void UILoading::EngineLibrary::Release() {
    function_ = nullptr;
    module_.reset();
}

UILoading::UILoading(CGame* owner) : owner_(owner) {}

UILoading::~UILoading() {
    StopPolling();
}

void UILoading::ShowWindow(bool show, bool takeFocus) {
    // Without a window a timer would be the thread's, under another id.
    if (show && hwnd_ != nullptr) {
        loading_.Start();
        timer_ = SetTimer(hwnd_, kLoadingTimerId, kLoadingTimerPeriodMs, nullptr);
    }
    ProgressPopup::ShowWindow(show, takeFocus);
}

LRESULT UILoading::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kLoadingTimerId) {
        OnTimer();
        return 0;
    }
    return ProgressPopup::HandleMessage(message, wParam, lParam);
}

void UILoading::OnTimer() {
    const LoadingTick tick = loading_.Poll();
    if (tick.display && progress_ != nullptr) {
        progress_->SetValue(tick.value);
        progress_->SetText(tick.text);
    }
    if (tick.ended) EndLoading();
}

void UILoading::StopPolling() {
    loading_.Stop();
    if (timer_ != 0) {
        if (hwnd_ != nullptr) KillTimer(hwnd_, timer_);
        timer_ = 0;
    }
}

void UILoading::EndLoading() {
    StopPolling();
    ShowWindow(false, true);
    if (owner_ != nullptr && owner_->GetGameWindow() != nullptr) {
        owner_->GetGameWindow()->SetRevealed(true);
    }
}
