// The self-update window in this process, created as its owner creates it:
// what drags it, what Escape and the close button do, and how the posted
// progress messages move the bar for the package download only.
#include "update/UIUpdate_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "support/UiTestHost_win.h"
#include "support/WinTestSupport_win.h"
#include "ui/controls/Button.h"
#include "ui/controls/Progress.h"
#include "update/SelfUpdate.h"

namespace {

using testsupport::UiTestHost;

class UIUpdateWinTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window_.Create(nullptr, L"QuambarLauncher", 0x96C80000, WS_EX_WINDOWEDGE,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT),
                  nullptr);
        window_.CenterWindow();
        window_.ShowWindow(true, true);
        UiTestHost::Drain();
        progress_ = dynamic_cast<SkinUI::CProgressUI*>(
            window_.GetManager().FindControl(std::wstring(L"progress")));
        close_ = dynamic_cast<SkinUI::CButtonUI*>(
            window_.GetManager().FindControl(std::wstring(L"close")));
        ASSERT_NE(progress_, nullptr);
        ASSERT_NE(close_, nullptr);
    }

    LRESULT HitAt(int x, int y) {
        POINT pt{x, y};
        ClientToScreen(window_.GetHWND(), &pt);
        return SendMessageW(window_.GetHWND(), WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    }

    bool QuitPosted() {
        MSG msg;
        return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    }

    UIUpdate window_{nullptr};
    SkinUI::CProgressUI* progress_ = nullptr;
    SkinUI::CButtonUI* close_ = nullptr;
};

TEST_F(UIUpdateWinTest, WholeWindowDragsExceptControlsThatTakeInput) {
    EXPECT_EQ(HitAt(40, 40), HTCAPTION);   // background
    EXPECT_EQ(HitAt(400, 64), HTCAPTION);  // the progress bar drags too
    EXPECT_FALSE(close_->IsVisible());
    EXPECT_EQ(HitAt(570, 20), HTCAPTION);  // the hidden close button is no control there
    close_->SetVisible(true);
    UpdateWindow(window_.GetHWND());  // lays the shown button out
    UiTestHost::Drain();
    EXPECT_EQ(HitAt(570, 20), HTCLIENT);
}

TEST_F(UIUpdateWinTest, EscapeDoesNothingAndCloseEndsTheLoop) {
    PostMessageW(window_.GetHWND(), WM_KEYDOWN, VK_ESCAPE, 0);
    UiTestHost::Drain();
    EXPECT_FALSE(QuitPosted());
    EXPECT_TRUE(IsWindow(window_.GetHWND()));

    close_->SetVisible(true);
    SkinUI::TControlNotify click{};
    click.type = L"click";
    click.sender = close_;
    window_.Notify(click);
    UiTestHost::Drain();
    EXPECT_TRUE(QuitPosted());
    // Closing ends the launcher; the window stays for its owner to delete.
    EXPECT_TRUE(IsWindow(window_.GetHWND()));
}

TEST_F(UIUpdateWinTest, ProgressFollowsThePackageDownloadOnly) {
    auto post = [&](UINT message, WPARAM tag, LPARAM value) {
        PostMessageW(window_.GetHWND(), message, tag, value);
        UiTestHost::Drain();
    };
    auto data = [](uint32_t received, uint32_t length) {
        return reinterpret_cast<LPARAM>(new UIUpdate::DownloadProgress{received, length});
    };
    post(UIUpdate::kContentLength, UIUpdate::kVersionTag, 12);
    post(UIUpdate::kDataReceived, UIUpdate::kVersionTag, data(6, 12));
    EXPECT_EQ(progress_->GetMaxValue(), 100);
    EXPECT_EQ(progress_->GetValue(), 0);
    EXPECT_EQ(progress_->GetText(), L"");

    post(UIUpdate::kContentLength, UIUpdate::kPackageTag, 200);
    EXPECT_EQ(progress_->GetMaxValue(), 200);
    post(UIUpdate::kDataReceived, UIUpdate::kPackageTag, data(10, 200));
    EXPECT_EQ(progress_->GetValue(), 10);
    EXPECT_EQ(progress_->GetText(), L" 5%");
    post(UIUpdate::kDataReceived, UIUpdate::kPackageTag, data(200, 200));
    EXPECT_EQ(progress_->GetText(), L"100%");

    // Without a Content-Length the maximum is the unknown length as a signed
    // number.
    post(UIUpdate::kContentLength, UIUpdate::kPackageTag, static_cast<LPARAM>(0xFFFFFFFFu));
    EXPECT_EQ(progress_->GetMaxValue(), -1);
    EXPECT_EQ(progress_->GetValue(), 0);
}

TEST_F(UIUpdateWinTest, ScriptIsWrittenIntoTheWorkingDirectory) {
    testsupport::ScratchDir dir;
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.path().c_str()));
    testsupport::WriteFileBytes(dir.Join(L"selfupdate.bat"), std::string(9000, 'x'));
    const bool written = UIUpdate::WriteSelfUpdateBat();
    // A folder of that name cannot be replaced by the script.
    CreateDirectoryW(dir.Join(L"sub").c_str(), nullptr);
    CreateDirectoryW(dir.Join(L"sub\\selfupdate.bat").c_str(), nullptr);
    SetCurrentDirectoryW(dir.Join(L"sub").c_str());
    const bool blocked = UIUpdate::WriteSelfUpdateBat();
    SetCurrentDirectoryW(previous);
    EXPECT_TRUE(written);
    EXPECT_EQ(testsupport::ReadFileBytes(dir.Join(L"selfupdate.bat")), SelfUpdateScript());
    EXPECT_FALSE(blocked);
}

}  // namespace
