// The stand-in plug-in control and engine module as a browser meets them:
// the engine's timeline through its exports, and the control registered by
// regsvr32, created with CoCreateInstance, sited, activated in place,
// placed, painted, closed and unloaded. With LAUNCHER_SCREENSHOT_DIR set
// the control's loading screen is saved there.
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/win/ComPtr_win.h"
#include "support/PrefixState_win.h"
#include "support/WinTestSupport_win.h"
#include "tools/engine/Plume3d.h"
#include "tools/plugin/PlumeGame.h"

namespace {

using testsupport::ScratchDir;

std::wstring Built(const wchar_t* name) {
    return testsupport::FromUnixPath(LAUNCHER_PLUGIN_DIR "/") + name;
}

// Copies the built control and/or engine into |folder|.
void Place(const std::wstring& folder, bool control, bool engine) {
    if (control) {
        ASSERT_TRUE(CopyFileW(Built(L"plumegame.ocx").c_str(), (folder + L"\\plumegame.ocx").c_str(), FALSE));
    }
    if (engine) {
        ASSERT_TRUE(CopyFileW(Built(L"plume3d.lod").c_str(), (folder + L"\\plume3d.lod").c_str(), FALSE));
    }
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        Place(dir_.path(), false, true);
        SetEnvironmentVariableW(kPlumeTimelineVariable, L"hold:0.75");
        module_ = LoadLibraryW(dir_.Join(L"plume3d.lod").c_str());
        SetEnvironmentVariableW(kPlumeTimelineVariable, nullptr);
        ASSERT_NE(module_, nullptr);
        progress_ = reinterpret_cast<PlumeProgressFunction>(
            reinterpret_cast<void*>(GetProcAddress(module_, kPlumeProgressExport)));
        peek_ = reinterpret_cast<PlumeProgressFunction>(
            reinterpret_cast<void*>(GetProcAddress(module_, kPlumeProgressPeekExport)));
        ASSERT_NE(progress_, nullptr);
        ASSERT_NE(peek_, nullptr);
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }
    void Choose(const std::string& timeline) {
        ASSERT_TRUE(testsupport::WriteFileBytes(dir_.Join(L"plume3d.timeline"), timeline));
    }

    ScratchDir dir_;
    HMODULE module_ = nullptr;
    PlumeProgressFunction progress_ = nullptr;
    PlumeProgressFunction peek_ = nullptr;
};

TEST_F(Engine, TheFileBesideItSteersItLiveAndTheEnvironmentOtherwise) {
    EXPECT_FLOAT_EQ(progress_(), 0.75f);
    Choose("calls:0,0.5,1");
    EXPECT_FLOAT_EQ(peek_(), 0);  // looking is not a call
    EXPECT_FLOAT_EQ(progress_(), 0);
    EXPECT_FLOAT_EQ(peek_(), 0);
    EXPECT_FLOAT_EQ(progress_(), 0.5f);
    EXPECT_FLOAT_EQ(peek_(), 0.5f);
    EXPECT_FLOAT_EQ(progress_(), 1);
    EXPECT_FLOAT_EQ(progress_(), 1);
    Choose("stick ");
    EXPECT_FLOAT_EQ(progress_(), 0.99f);
    Choose("rise:five");  // a typo: the engine never starts
    EXPECT_FLOAT_EQ(progress_(), -1);
    ASSERT_TRUE(DeleteFileW(dir_.Join(L"plume3d.timeline").c_str()));
    EXPECT_FLOAT_EQ(progress_(), 0.75f);
}

TEST_F(Engine, ARiseClimbsToOneAndStaysThere) {
    Choose("rise:0.5");
    float last = progress_();
    EXPECT_GE(last, 0);
    ASSERT_TRUE(testsupport::WaitFor([&] {
        const float now = progress_();
        EXPECT_GE(now, last);
        last = now;
        return now >= 1;
    }, 10000));
    EXPECT_FLOAT_EQ(progress_(), 1);
}

// The least a container does for an in-place control: a window, a client
// site and an in-place site that remembers what the control told it.
class TestSite final : public IOleClientSite, public IOleInPlaceSite {
public:
    TestSite(HWND window, RECT place) : window_(window), place_(place) {}
    int activations = 0;
    int deactivations = 0;
    int shows = 0;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
            *out = static_cast<IOleClientSite*>(this);
        } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
            *out = static_cast<IOleInPlaceSite*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override { return --references_; }  // lives on the stack
    ULONG references() const { return references_; }

    STDMETHODIMP SaveObject() override { return S_OK; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override { *out = nullptr; return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** out) override { *out = nullptr; return E_NOINTERFACE; }
    STDMETHODIMP ShowObject() override { ++shows; return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    STDMETHODIMP GetWindow(HWND* window) override { *window = window_; return S_OK; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { ++activations; return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT place,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO) override {
        *frame = nullptr;
        *document = nullptr;
        *place = place_;
        *clip = place_;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { ++deactivations; return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

private:
    HWND window_;
    RECT place_;
    ULONG references_ = 0;
};

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Share of the pixels in a row segment that are the bar's cyan-to-violet fill.
double FilledShare(const testsupport::ScreenImage& image, int y, int x0, int x1) {
    int filled = 0;
    for (int x = x0; x < x1; ++x) {
        const uint32_t p = image.At(x, y);
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        filled += b > 180 && (g > 80 || r > 150);
    }
    return double(filled) / (x1 - x0);
}

class PlugInControl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(state_.ok());
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        CLSIDFromString(kPlumeGameClsidText, &clsid_);
        game_ = dir_.Join(L"game folder");
        ASSERT_TRUE(CreateDirectoryW(game_.c_str(), nullptr));
    }
    void TearDown() override {
        OleUninitialize();
    }
    // regsvr32 as the launcher starts it; its exit code.
    DWORD Regsvr32(const std::wstring& switches) {
        const auto run = testsupport::RunProcess(L"regsvr32.exe " + switches + L" \"" + game_ +
                                                 L"\\plumegame.ocx\"", dir_.path());
        return run.finished ? run.exitCode : 999;
    }
    HWND MakeHost() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PlugInTestHost";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        RegisterClassW(&wc);
        return CreateWindowExW(0, L"PlugInTestHost", L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 30, 30,
                               800, 600, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }

    ScratchDir dir_;
    testsupport::PrefixUserState state_;
    CLSID clsid_ = {};
    std::wstring game_;
};

TEST_F(PlugInControl, RegistersSilentlyLoadsTheEngineAndPaintsItsProgressInPlace) {
    Place(game_, true, true);
    ASSERT_TRUE(testsupport::WriteFileBytes(game_ + L"\\plume3d.timeline", "hold:0.42"));
    ASSERT_EQ(Regsvr32(L"/s"), 0u);
    const std::wstring control = game_ + L"\\plumegame.ocx";
    EXPECT_EQ(testsupport::ReadPluginRecord(), control);

    ComPtr<IOleObject> object;
    ASSERT_EQ(CoCreateInstance(clsid_, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object.put_void()), S_OK);
    // The engine is in the process now: the loading window's load by name
    // finds this very module.
    const HMODULE engine = GetModuleHandleW((game_ + L"\\plume3d.lod").c_str());
    ASSERT_NE(engine, nullptr);
    const HMODULE byName = LoadLibraryW(L"plume3d.lod");
    EXPECT_EQ(byName, engine);
    FreeLibrary(byName);

    HWND host = MakeHost();
    ASSERT_NE(host, nullptr);
    TestSite site(host, RECT{0, 0, 640, 400});
    ASSERT_EQ(object->SetClientSite(&site), S_OK);
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, host, nullptr), S_OK);
    EXPECT_EQ(site.activations, 1);
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_TRUE(object.As(inPlace));
    HWND view = nullptr;
    ASSERT_EQ(inPlace->GetWindow(&view), S_OK);
    EXPECT_EQ(GetParent(view), host);
    wchar_t className[64] = {};
    GetClassNameW(view, className, 64);
    EXPECT_STREQ(className, kPlumeGameViewClass);

    const RECT placed{40, 30, 760, 570};
    ASSERT_EQ(inPlace->SetObjectRects(&placed, &placed), S_OK);
    RECT got = {};
    GetWindowRect(view, &got);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&got), 2);
    EXPECT_EQ(got.left, 40);
    EXPECT_EQ(got.bottom, 570);

    // The bar is 42% filled: the left part of its row is lit, the right dark.
    RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    const auto image = testsupport::CaptureClient(view);
    testsupport::SaveScreenshot(image, "plumegame-loading");
    ASSERT_EQ(image.width, 720);
    const int barLeft = 720 / 4, barRight = barLeft + 360;
    int barRows = 0;
    for (int y = image.height / 2; y < image.height; ++y) {
        barRows += FilledShare(image, y, barLeft, barLeft + 140) > 0.95 &&
                   FilledShare(image, y, barLeft + 170, barRight) < 0.05;
    }
    EXPECT_GE(barRows, 4) << "no progress bar at 42%";

    ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_FALSE(IsWindow(view));
    EXPECT_EQ(site.deactivations, 1);
    object->SetClientSite(nullptr);
    EXPECT_EQ(site.references(), 0u);
    inPlace.reset();
    object.reset();
    DestroyWindow(host);

    // Nothing holds the control or its engine any more: both unload.
    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_EQ(GetModuleHandleW(control.c_str()), nullptr);
    EXPECT_EQ(GetModuleHandleW(L"plume3d.lod"), nullptr);

    ASSERT_EQ(Regsvr32(L"/u /s"), 0u);
    EXPECT_EQ(testsupport::ReadPluginRecord(), L"");
    EXPECT_FALSE(testsupport::PluginClassRegistered());
}

}  // namespace
