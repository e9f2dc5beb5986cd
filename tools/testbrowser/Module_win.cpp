// The DLL's entry points: the class object of the WebBrowser class id, the
// unload rule and the registration that puts this DLL in the place of the
// system's browser (machine-wide, since Wine ignores per-user classes). The
// registration remembers the server it replaced and puts it back on
// unregistration.
#include "tools/testbrowser/Module_win.h"

#include <exdisp.h>
#include <ole2.h>
#include <olectl.h>

#include <atomic>
#include <cstdarg>
#include <cwchar>
#include <string>

#include "common/win/ComPtr_win.h"
#include "common/win/ModulePath_win.h"
#include "common/win/UniqueHandle_win.h"
#include "tools/testbrowser/Browser_win.h"

namespace testbrowser {

namespace {

HMODULE g_module = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{8856F961-340A-11D0-A96B-00C04FD705A2}";
constexpr wchar_t kServerKey[] =
    L"Software\\Classes\\CLSID\\{8856F961-340A-11D0-A96B-00C04FD705A2}\\InprocServer32";
// Values of our own under the server key: the path of the server we
// replaced, and a mark that the class key did not exist before us.
constexpr wchar_t kReplacedValue[] = L"TestBrowserReplaced";
constexpr wchar_t kCreatedValue[] = L"TestBrowserCreatedClass";

class ClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object: the server locks, not its references,
    // keep the DLL loaded.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        ComPtr<Browser> browser = Browser::CreateTopLevel();
        if (!browser) return E_OUTOFMEMORY;
        return browser->QueryInterface(riid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        LockModule(lock != FALSE);
        return S_OK;
    }
};

ClassFactory g_factory;

std::wstring OwnPath() { return ModulePath(g_module); }

bool ReadString(HKEY key, const wchar_t* name, std::wstring* value) {
    wchar_t buffer[MAX_PATH * 2] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    value->assign(buffer, wcsnlen(buffer, size / sizeof(wchar_t)));
    return true;
}

bool WriteString(HKEY key, const wchar_t* name, const std::wstring& value) {
    const LSTATUS status =
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
        Trace(L"DllRegisterServer: RegSetValueExW %ls failed:%ld", name ? name : L"(default)",
              static_cast<long>(status));
    }
    return status == ERROR_SUCCESS;
}

}  // namespace

HMODULE ModuleHandle() {
    return g_module;
}

ModuleReference::ModuleReference() {
    ++g_objects;
}
ModuleReference::~ModuleReference() {
    --g_objects;
}
ModuleReference::ModuleReference(const ModuleReference&) {
    ++g_objects;
}

void LockModule(bool lock) {
    if (lock) {
        ++g_locks;
    } else {
        --g_locks;
    }
}

void Trace(const wchar_t* format, ...) {
    wchar_t line[1024];
    va_list args;
    va_start(args, format);
    const int n = _vsnwprintf(line, std::size(line) - 2, format, args);
    va_end(args);
    line[n < 0 ? std::size(line) - 2 : static_cast<size_t>(n)] = L'\0';
    wcscat(line, L"\n");
    OutputDebugStringW(line);
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"TESTBROWSER_LOG", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    UniqueHandle file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    char utf8[4096];
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof(utf8), nullptr, nullptr);
    DWORD written = 0;
    if (size > 1) WriteFile(file.get(), utf8, static_cast<DWORD>(size - 1), &written, nullptr);
}

}  // namespace testbrowser

using testbrowser::g_factory;
using testbrowser::g_locks;
using testbrowser::g_module;
using testbrowser::g_objects;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        testbrowser::Browser::UnregisterWindowClass();
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_WebBrowser) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return g_objects.load() == 0 && g_locks.load() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT WINAPI DllRegisterServer() {
    const std::wstring path = testbrowser::OwnPath();
    if (path.empty()) return SELFREG_E_CLASS;
    HKEY raw = nullptr;
    const bool classExisted = RegOpenKeyExW(HKEY_LOCAL_MACHINE, testbrowser::kClassKey, 0, KEY_READ,
                                            &raw) == ERROR_SUCCESS;
    UniqueRegKey classKey(raw);
    classKey.reset();
    const LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, testbrowser::kServerKey, 0, nullptr,
                                           0, KEY_READ | KEY_WRITE, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS) {
        testbrowser::Trace(L"DllRegisterServer: RegCreateKeyExW failed:%ld",
                           static_cast<long>(status));
        return SELFREG_E_CLASS;
    }
    UniqueRegKey server(raw);
    std::wstring previous;
    std::wstring remembered;
    // Registering again (every test run does) keeps the first server we
    // replaced, not ourselves.
    if (testbrowser::ReadString(server.get(), nullptr, &previous) &&
        _wcsicmp(previous.c_str(), path.c_str()) != 0 &&
        !testbrowser::ReadString(server.get(), testbrowser::kReplacedValue, &remembered)) {
        if (!testbrowser::WriteString(server.get(), testbrowser::kReplacedValue, previous)) {
            return SELFREG_E_CLASS;
        }
    }
    if (!classExisted &&
        !testbrowser::WriteString(server.get(), testbrowser::kCreatedValue, L"1")) {
        return SELFREG_E_CLASS;
    }
    return testbrowser::WriteString(server.get(), nullptr, path) &&
                   testbrowser::WriteString(server.get(), L"ThreadingModel", L"Apartment")
               ? S_OK
               : SELFREG_E_CLASS;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, testbrowser::kServerKey, 0, KEY_READ | KEY_WRITE, &raw) !=
        ERROR_SUCCESS) {
        return S_OK;  // nothing of ours is registered
    }
    UniqueRegKey server(raw);
    std::wstring current;
    const std::wstring path = testbrowser::OwnPath();
    if (!testbrowser::ReadString(server.get(), nullptr, &current) ||
        _wcsicmp(current.c_str(), path.c_str()) != 0) {
        return S_OK;  // another server took the class over since
    }
    std::wstring marker;
    if (testbrowser::ReadString(server.get(), testbrowser::kCreatedValue, &marker)) {
        server.reset();
        return RegDeleteTreeW(HKEY_LOCAL_MACHINE, testbrowser::kClassKey) == ERROR_SUCCESS
                   ? S_OK
                   : SELFREG_E_CLASS;
    }
    std::wstring previous;
    if (!testbrowser::ReadString(server.get(), testbrowser::kReplacedValue, &previous) ||
        !testbrowser::WriteString(server.get(), nullptr, previous)) {
        return SELFREG_E_CLASS;
    }
    RegDeleteValueW(server.get(), testbrowser::kReplacedValue);
    return S_OK;
}
