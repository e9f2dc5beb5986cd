// The in-process server around the control: class object, unloading, and
// the registration that "regsvr32 /s" runs without asking anything. The
// registration writes the class (with the control's "Control" mark and its
// safe-for-scripting categories), the program ids and the type-library
// record whose "win64" value names this file; the launcher compares that
// record with its own control file to know whether to register again.
#include <windows.h>
#include <olectl.h>

#include <string>

#include "common/win/ModulePath_win.h"
#include "tools/plugin/PlumeGame.h"
#include "tools/plugin/PlumeGameControl_win.h"

namespace {

plugin::PlumeGameFactory g_factory;

// Category ids: safe for scripting, safe for initialisation.
constexpr const wchar_t* kSafeForScripting = L"{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
constexpr const wchar_t* kSafeForInitializing = L"{7DD95802-9882-11CF-9FA9-00AA006C42C4}";
// Activate when visible, site first, inside-out, cannot link inside,
// recompose on resize: what the object's GetMiscStatus answers.
constexpr const wchar_t* kMiscStatus = L"131473";

std::wstring OwnPath() { return ModulePath(plugin::g_instance); }

bool SetText(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LSTATUS status =
        RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

bool CreateEmptyKey(const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(handle);
    return true;
}

// The key with everything under it; a key already gone is fine.
bool DeleteTree(const std::wstring& key) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        plugin::g_instance = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        // A later load of this file registers the class again with its own
        // window procedure.
        UnregisterClassW(kPlumeGameViewClass, instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    CLSID ours = {};
    CLSIDFromString(kPlumeGameClsidText, &ours);
    if (clsid != ours) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return plugin::g_objectCount == 0 && plugin::g_lockCount == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    const std::wstring path = OwnPath();
    if (path.empty()) return SELFREG_E_CLASS;
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    const std::wstring clsidKey = std::wstring(L"CLSID\\") + kPlumeGameClsidText;
    const std::wstring typeLibKey = std::wstring(L"TypeLib\\") + kPlumeGameTypeLibText + L"\\1.0";

    bool ok = SetText(clsidKey, nullptr, kPlumeGameUserType) &&
              SetText(clsidKey + L"\\InprocServer32", nullptr, path) &&
              SetText(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
              SetText(clsidKey + L"\\ProgID", nullptr, kPlumeGameProgId) &&
              SetText(clsidKey + L"\\VersionIndependentProgID", nullptr, kPlumeGameIndependentProgId) &&
              SetText(clsidKey + L"\\TypeLib", nullptr, kPlumeGameTypeLibText) &&
              SetText(clsidKey + L"\\Version", nullptr, L"1.0") &&
              SetText(clsidKey + L"\\MiscStatus", nullptr, kMiscStatus) &&
              CreateEmptyKey(clsidKey + L"\\Control") &&
              CreateEmptyKey(clsidKey + L"\\Implemented Categories\\" + kSafeForScripting) &&
              CreateEmptyKey(clsidKey + L"\\Implemented Categories\\" + kSafeForInitializing) &&
              SetText(kPlumeGameProgId, nullptr, kPlumeGameUserType) &&
              SetText(std::wstring(kPlumeGameProgId) + L"\\CLSID", nullptr, kPlumeGameClsidText) &&
              SetText(kPlumeGameIndependentProgId, nullptr, kPlumeGameUserType) &&
              SetText(std::wstring(kPlumeGameIndependentProgId) + L"\\CLSID", nullptr, kPlumeGameClsidText) &&
              SetText(std::wstring(kPlumeGameIndependentProgId) + L"\\CurVer", nullptr, kPlumeGameProgId);
    if (!ok) return SELFREG_E_CLASS;

    // The type library lives in this file; a 64-bit registration names it
    // under "win64".
    ok = SetText(typeLibKey, nullptr, L"Plume game control 1.0 Type Library") &&
         SetText(typeLibKey + L"\\0\\win64", nullptr, path) &&
         SetText(typeLibKey + L"\\FLAGS", nullptr, L"0") &&
         SetText(typeLibKey + L"\\HELPDIR", nullptr, folder);
    return ok ? S_OK : SELFREG_E_TYPELIB;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    const bool ok = DeleteTree(std::wstring(L"CLSID\\") + kPlumeGameClsidText) &&
                    DeleteTree(kPlumeGameProgId) && DeleteTree(kPlumeGameIndependentProgId) &&
                    DeleteTree(std::wstring(L"TypeLib\\") + kPlumeGameTypeLibText);
    return ok ? S_OK : SELFREG_E_CLASS;
}
