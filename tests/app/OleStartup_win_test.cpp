// Start-up's OLE step on a real thread: up, or logged, told and a failure
// exit code when the thread already lives in another apartment.
#include "app/OleStartup_win.h"

#include <gtest/gtest.h>
#include <windows.h>
// OLE's header needs windows.h before it.
#include <ole2.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "common/qlogger/QLogger.h"
#include "support/RecordingAppender.h"

namespace {

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM found) {
    wchar_t name[16]{};
    GetClassNameW(hwnd, name, 16);
    if (std::wstring(name) != L"#32770") return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

TEST(StartOle, UpOnAFreshThreadAndAFailureCodeWhereOleCannotStart) {
    QLogger::Shutdown();
    std::vector<std::string> lines;
    QLogger::AddAppender(std::make_unique<testsupport::RecordingAppender>(&lines));

    int fresh = -1;
    std::thread([&] {
        fresh = StartOle();
        if (fresh == 0) OleUninitialize();
    }).join();
    EXPECT_EQ(fresh, 0);
    EXPECT_TRUE(lines.empty());

    std::atomic<DWORD> threadId{0};
    int failed = 0;
    std::thread ui([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        threadId = GetCurrentThreadId();
        failed = StartOle();
        CoUninitialize();
    });
    // The player is told in a message box; close it as a player would.
    HWND box = nullptr;
    const DWORD start = GetTickCount();
    while (box == nullptr && GetTickCount() - start < 20000) {
        if (threadId != 0) EnumThreadWindows(threadId, FindMessageBox, reinterpret_cast<LPARAM>(&box));
        if (box == nullptr) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    wchar_t title[16]{};
    if (box != nullptr) {
        GetWindowTextW(box, title, 16);
        PostMessageW(box, WM_CLOSE, 0, 0);
    }
    ui.join();
    EXPECT_NE(box, nullptr) << "no message box";
    EXPECT_STREQ(title, L"error");

    EXPECT_NE(failed, 0);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Error  |StartOle, OleInitialize failed: 0x80010106");  // RPC_E_CHANGED_MODE
    QLogger::Shutdown();
}

}  // namespace
