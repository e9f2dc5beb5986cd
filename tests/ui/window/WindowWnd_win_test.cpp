// The window wrapper on its own: a superclass keeps the original class's
// behaviour behind ours, subclassing routes an existing window through the
// object and can be undone, and icons come from the framework's module.
#include "ui/window/WindowWnd_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/WinTestSupport_win.h"
#include "ui/skin/ModuleInstance_win.h"
#include "ui/window/WindowManager.h"

namespace {

class CRecordingWnd : public SkinUI::CWindowWnd {
public:
    explicit CRecordingWnd(LPCWSTR className, LPCWSTR superClass = nullptr)
        : className_(className), superClass_(superClass) {}
    ~CRecordingWnd() {
        if (hwnd_ != nullptr && IsWindow(hwnd_) && !subclassed_) DestroyWindow(hwnd_);
    }
    LPCWSTR GetWindowClassName() const override { return className_; }
    LPCWSTR GetSuperClassName() const override { return superClass_; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETTEXT) ++setTexts;
        return CWindowWnd::HandleMessage(message, wParam, lParam);
    }
    void OnFinalMessage(HWND) override { ++finalCalls; }
    bool IsSubclassed() const { return subclassed_; }

    int setTexts = 0;
    int finalCalls = 0;

private:
    LPCWSTR className_;
    LPCWSTR superClass_;
};

std::wstring TextOf(HWND hwnd) {
    wchar_t text[64] = {};
    GetWindowTextW(hwnd, text, 64);
    return text;
}

TEST(WindowWnd, SuperclassKeepsTheOriginalProcedureBehindOurs) {
    for (int i = 0; i < 2; ++i) {  // the second registers nothing new
        CRecordingWnd edit(L"WindowWndTestEdit", L"EDIT");
        HWND hwnd = edit.Create(nullptr, L"", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 0, 200, 24);
        ASSERT_NE(hwnd, nullptr) << i;
        wchar_t className[64] = {};
        GetClassNameW(hwnd, className, 64);
        EXPECT_STREQ(className, L"WindowWndTestEdit");
        SetWindowTextW(hwnd, L"typed");
        EXPECT_EQ(edit.setTexts, 1);
        EXPECT_EQ(TextOf(hwnd), L"typed") << "the edit class stores the text";
        // An edit answers EM_ messages only through its own procedure.
        SendMessageW(hwnd, EM_SETSEL, 1, 3);
        DWORD start = 0, end = 0;
        SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 1u);
        EXPECT_EQ(end, 3u);
        DestroyWindow(hwnd);
        EXPECT_EQ(edit.finalCalls, 1);
        EXPECT_EQ(edit.GetHWND(), nullptr);
    }
    CRecordingWnd missing(L"WindowWndTestMissing", L"NoSuchClassAnywhere");
    EXPECT_EQ(missing.Create(nullptr, L"", WS_POPUP, 0), nullptr);
}

TEST(WindowWnd, SubclassingRoutesAnExistingWindowUntilUndone) {
    HWND stat = CreateWindowExW(0, L"STATIC", L"before", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(stat, nullptr);
    {
        CRecordingWnd wrapper(L"unused");
        ASSERT_EQ(wrapper.Subclass(stat), stat);
        EXPECT_EQ(wrapper.Subclass(stat), nullptr) << "one window per object";
        SetWindowTextW(stat, L"during");
        EXPECT_EQ(wrapper.setTexts, 1);
        EXPECT_EQ(TextOf(stat), L"during");
        wrapper.Unsubclass();
        EXPECT_FALSE(wrapper.IsSubclassed());
        SetWindowTextW(stat, L"after");
        EXPECT_EQ(wrapper.setTexts, 1);
    }
    EXPECT_EQ(TextOf(stat), L"after");

    // Destroyed while subclassed: the object hears the end, the window's own
    // procedure still runs its WM_NCDESTROY.
    CRecordingWnd wrapper(L"unused");
    ASSERT_EQ(wrapper.Subclass(stat), stat);
    DestroyWindow(stat);
    EXPECT_EQ(wrapper.finalCalls, 1);
    EXPECT_FALSE(wrapper.IsSubclassed());
    EXPECT_EQ(wrapper.GetHWND(), nullptr);
}

TEST(WindowWnd, IconsComeFromTheFrameworksModule) {
    UniqueModule exe(LoadLibraryExW(testsupport::LauncherExePath().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(exe);
    CRecordingWnd window(L"WindowWndTestIcon");
    HWND hwnd = window.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10);
    ASSERT_NE(hwnd, nullptr);
    HINSTANCE saved = SkinUI::GetSetModuleInstance();
    SkinUI::SetModuleInstance(static_cast<HINSTANCE>(exe.get()));
    window.SetIcon(107);
    window.SetIcon(999);  // no such icon: the window keeps the one it has
    SkinUI::SetModuleInstance(saved);
    const auto big = SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0);
    const auto small = SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0);
    EXPECT_NE(big, 0);
    EXPECT_NE(small, 0);
    EXPECT_NE(big, small);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(small), &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
}

}  // namespace
