// The self-update window: a small skinned popup that fetches the resource
// host's version file and, when it names a newer launcher, downloads and
// unpacks the package with a moving progress bar, writes the replacement
// script, starts it and ends the process. When there is nothing more to do
// and the launcher keeps running it tells its UIUpdateCallback once.
//
// The owner (the application controller) creates the window hidden, sets
// the callback, shows it and calls Start; it deletes the object after the
// message loop has ended. The downloader's notifications arrive on its
// worker thread and are posted to the window as the messages below; all
// other work runs on the UI thread.
#pragma once

#include <windows.h>

#include <string>

#include "update/HttpClient.h"
#include "update/ProgressPopup_win.h"
#include "update/SelfUpdate.h"
#include "update/UIUpdateCallback.h"

class CApp;

class UIUpdate : public ProgressPopup, public HttpClientCallback {
public:
    // The window's own messages, posted by the downloader's notifications.
    enum Message : UINT {
        kDownloadStarted = WM_USER + 1,  // wParam tag
        kContentLength = WM_USER + 2,    // wParam tag, lParam length
        kDataReceived = WM_USER + 3,     // wParam tag, lParam new DownloadProgress
        kDownloadEnded = WM_USER + 4,    // wParam tag, lParam success
    };
    // What kDataReceived carries; the window frees it.
    struct DownloadProgress {
        uint32_t received;
        uint32_t length;
    };
    enum Tag : uint32_t { kVersionTag = 0, kPackageTag = 1 };

    explicit UIUpdate(CApp* owner);
    // Stops the downloader before anything else goes.
    ~UIUpdate() override;

    void SetCallback(UIUpdateCallback* callback) { callback_ = callback; }
    // Starts the version check.
    void Start();
    // True while a download of the check or the package is under way.
    bool IsDownloading() const { return downloader_.IsRunning(); }

    // Writes "selfupdate.bat" into the working directory; false when the
    // file cannot be written.
    static bool WriteSelfUpdateBat();

    // SkinUI::CWindowWnd and WindowImplBase
    LPCWSTR GetWindowClassName() const override { return L"UIUpdate"; }
    LPCWSTR GetSkinFile() override { return L"update.xml"; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // HttpClientCallback, on the downloader's worker thread.
    void OnStart(HttpClient* client, uint32_t tag) override;
    void OnContentLength(HttpClient* client, uint32_t tag, uint32_t length) override;
    void OnData(HttpClient* client, uint32_t tag, const uint8_t* data, uint32_t size,
                uint32_t received, uint32_t length) override;
    void OnEnd(HttpClient* client, uint32_t tag, uint32_t success) override;

private:
    void OnHttpDownloaderEnd(uint32_t tag, uint32_t success);
    void OnVersionFile(const std::wstring& ownFolder);
    void OnPackage(const std::wstring& ownFolder);
    void EndUpdate(bool success);

    CApp* owner_;
    HttpClient downloader_;
    UIUpdateCallback* callback_ = nullptr;
    // What "launcher.ini" is to remember once this update restarts.
    SelfUpdateRestarts restarts_;
};
