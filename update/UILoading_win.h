// The client loading window: a small skinned popup with a progress bar that
// covers the game while the game's engine starts. Shown, it polls the
// engine module's progress export every 200 ms (LoadingProgress decides
// what the bar says and when loading is over); at the end it hides and has
// the owner's game window revealed. Closing it ends the launcher. Created,
// shown and deleted by the game session controller. UI thread only.
#pragma once

#include <windows.h>

#include "common/win/UniqueHandle_win.h"
#include "update/LoadingProgress.h"
#include "update/ProgressPopup_win.h"

class CGame;

class UILoading : public ProgressPopup {
public:
    // |owner| is not owned and may be none (then nothing is revealed).
    explicit UILoading(CGame* owner);
    // Stops polling first: the module goes before the window.
    ~UILoading() override;

    // Showing starts polling from the beginning; hiding only hides.
    void ShowWindow(bool show = true, bool takeFocus = true) override;

    LPCWSTR GetWindowClassName() const override { return L"ClientLoading"; }
    LPCWSTR GetSkinFile() override { return L"loading.xml"; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Ends polling: no timer, the module let go.
    void StopPolling();
    // Stops polling, hides the window and reveals the game window.
    void EndLoading();

    LoadingProgress::State GetState() const { return loading_.state(); }

private:
    // GetTickCount.
    class TickClock : public LoadingClock {
    public:
        uint32_t Ticks() override;
    };
    // "plume3d.lod" by name and its "_PlumeProgress".
    class EngineLibrary : public EngineModule {
    public:
        bool Load() override;
        bool FindProgress() override;
        float Progress() override;
        void Release() override;

    private:
        UniqueModule module_;
        float (*function_)() = nullptr;
    };

    void OnTimer();

    CGame* owner_;
    UINT_PTR timer_ = 0;
    TickClock clock_;
    EngineLibrary engine_;
    LoadingProgress loading_{clock_, engine_};
};
