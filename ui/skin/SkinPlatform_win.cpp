#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>

#include "common/win/UniqueHandle_win.h"
#include "ui/skin/ResourceId.h"
#include "ui/skin/SkinPlatform.h"
#include "ui/skin/SkinText.h"

namespace SkinUI {

namespace {

class WinSkinFileSystem : public ISkinFileSystem {
public:
    SkinFileStatus ReadFile(const std::wstring& path, uint64_t maxSize,
                            std::vector<uint8_t>& bytes) override {
        bytes.clear();
        UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return SkinFileStatus::kOpenFailed;
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) {
            return SkinFileStatus::kOpenFailed;
        }
        if (static_cast<uint64_t>(size.QuadPart) > maxSize) return SkinFileStatus::kTooLarge;
        bytes.resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        while (done < bytes.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
            DWORD read = 0;
            if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr) || read == 0) {
                bytes.clear();
                return SkinFileStatus::kReadFailed;
            }
            done += read;
        }
        return SkinFileStatus::kOk;
    }
};

LPCWSTR ResourceName(const std::wstring& text) {
    uint16_t id = 0;
    return ParseResourceNumber(text, id) ? MAKEINTRESOURCEW(id) : text.c_str();
}

}  // namespace

ISkinFileSystem& PlatformSkinFileSystem() {
    static WinSkinFileSystem* fileSystem = new WinSkinFileSystem;
    return *fileSystem;
}

namespace {
HINSTANCE g_moduleInstance = nullptr;
}  // namespace

void SetModuleInstance(HINSTANCE instance) {
    g_moduleInstance = instance;
}

HINSTANCE GetSetModuleInstance() {
    return g_moduleInstance;
}

HINSTANCE GetModuleInstance() {
    return g_moduleInstance != nullptr ? g_moduleInstance : GetModuleHandleW(nullptr);
}

bool FindModuleResource(const std::wstring& name, const std::wstring& type, const uint8_t*& data,
                        size_t& size) {
    data = nullptr;
    size = 0;
    const HMODULE instance = g_moduleInstance;
    HRSRC resource = FindResourceW(instance, ResourceName(name), ResourceName(type));
    if (resource == nullptr) return false;
    // Resource memory belongs to the module and is never freed by us.
    HGLOBAL loaded = LoadResource(instance, resource);
    if (loaded == nullptr) return false;
    size = SizeofResource(instance, resource);
    data = static_cast<const uint8_t*>(LockResource(loaded));
    if (data == nullptr) size = 0;
    return true;
}

std::wstring AnsiToWide(const uint8_t* data, size_t size) {
    std::wstring out;
    if (size == 0) return out;
    const int length = static_cast<int>(std::min<size_t>(size, INT_MAX));
    const char* text = reinterpret_cast<const char*>(data);
    const int needed = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (needed <= 0) return out;
    out.resize(static_cast<size_t>(needed));
    MultiByteToWideChar(CP_ACP, 0, text, length, out.data(), needed);
    return out;
}

}  // namespace SkinUI
