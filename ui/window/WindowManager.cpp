#include "ui/window/WindowManager.h"

#include <memory>
#include <vector>

#include "common/qlogger/QLogger.h"
#include "ui/skin/SkinMarkup.h"
#include "ui/skin/SkinPackage.h"
#include "ui/skin/SkinPlatform.h"

namespace SkinUI {

namespace {

// A ZIP file named as the package may be far larger than one member.
constexpr uint64_t kMaxPackageFileSize = 1ull << 30;

struct ResourceState {
    std::wstring resourcePath;
    std::wstring packageName;
    bool packageCached = true;
    std::unique_ptr<CSkinPackage> package;
    // The copy of the package resource that the open package points into.
    std::vector<uint8_t> packageBuffer;
    ISkinFileSystem* fileSystem = nullptr;
};

ResourceState& State() {
    static ResourceState state;
    return state;
}

ISkinFileSystem& FileSystem() {
    ResourceState& state = State();
    return state.fileSystem != nullptr ? *state.fileSystem : PlatformSkinFileSystem();
}

bool ReadDiskFile(const std::wstring& path, std::vector<uint8_t>& bytes, std::wstring& error) {
    switch (FileSystem().ReadFile(path, CSkinPackage::kMaxMemberSize, bytes)) {
        case SkinFileStatus::kOk:
            if (!bytes.empty()) return true;
            error = L"File is empty";
            return false;
        case SkinFileStatus::kOpenFailed:
            error = L"Error opening file";
            return false;
        case SkinFileStatus::kTooLarge:
            error = L"File too large";
            return false;
        case SkinFileStatus::kReadFailed:
            error = L"Could not read file";
            return false;
    }
    error = L"Could not read file";
    return false;
}

std::unique_ptr<CSkinPackage> OpenPackageFile(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    if (FileSystem().ReadFile(path, kMaxPackageFileSize, bytes) != SkinFileStatus::kOk) {
        QLogger::LogW(QLOG_ERROR, L"CWindowManagerUI::OpenPackageFile: cannot read %ls",
                      path.c_str());
        return nullptr;
    }
    auto package = std::make_unique<CSkinPackage>();
    if (!package->OpenCopy(std::move(bytes))) {
        QLogger::LogW(QLOG_ERROR, L"CWindowManagerUI::OpenPackageFile: %ls is no zip archive",
                      path.c_str());
        return nullptr;
    }
    return package;
}

class ResourceFileSource : public ISkinFileSource {
public:
    bool ReadSkinFile(const std::wstring& name, std::vector<uint8_t>& bytes,
                      std::wstring& error) override {
        bytes.clear();
        ResourceState& state = State();
        if (state.packageName.empty()) {
            return ReadDiskFile(state.resourcePath + name, bytes, error);
        }
        if (state.packageName == CWindowManagerUI::kMemoryPackageName || state.packageCached) {
            if (!state.package && state.packageName != CWindowManagerUI::kMemoryPackageName) {
                state.package = OpenPackageFile(state.resourcePath + state.packageName);
            }
            if (!state.package) {
                error = L"Error opening zip file";
                return false;
            }
            return state.package->Read(name, bytes, error);
        }
        std::unique_ptr<CSkinPackage> package =
            OpenPackageFile(state.resourcePath + state.packageName);
        if (!package) {
            error = L"Error opening zip file";
            return false;
        }
        return package->Read(name, bytes, error);
    }

    bool ReadSkinResource(const std::wstring& name, const std::wstring& type,
                          std::vector<uint8_t>& bytes, std::wstring& error) override {
        bytes.clear();
        const uint8_t* data = nullptr;
        size_t size = 0;
        if (!FindModuleResource(name, type, data, size)) {
            error = L"Error opening file";
            return false;
        }
        if (size == 0) {
            error = L"File is empty";
            return false;
        }
        if (size > CSkinPackage::kMaxMemberSize) {
            error = L"File too large";
            return false;
        }
        bytes.assign(data, data + size);
        return true;
    }

    bool ReadPlainFile(const std::wstring& path, std::vector<uint8_t>& bytes,
                       std::wstring& error) override {
        return ReadDiskFile(path, bytes, error);
    }
};

}  // namespace

void CWindowManagerUI::SetResourcePath(const std::wstring& path) {
    std::wstring& resourcePath = State().resourcePath;
    resourcePath = path;
    if (!resourcePath.empty() && resourcePath.back() != L'\\' && resourcePath.back() != L'/') {
        resourcePath += L'\\';
    }
}

const std::wstring& CWindowManagerUI::GetResourcePath() {
    return State().resourcePath;
}

void CWindowManagerUI::SetResourceZip(const std::wstring& zipName, bool cached) {
    ResourceState& state = State();
    state.package.reset();
    state.packageName = zipName;
    state.packageCached = cached;
}

bool CWindowManagerUI::SetResourceZip(const uint8_t* data, size_t size) {
    ResourceState& state = State();
    if (state.packageName == kMemoryPackageName) return true;
    state.package.reset();
    state.packageBuffer.assign(data, data + size);
    state.packageName = kMemoryPackageName;
    auto package = std::make_unique<CSkinPackage>();
    if (!package->Open(state.packageBuffer.data(), state.packageBuffer.size())) {
        QLogger::Log(QLOG_ERROR,
                     "CWindowManagerUI::SetResourceZip: the skin package is no zip "
                     "archive");
        return false;
    }
    state.package = std::move(package);
    return true;
}

bool CWindowManagerUI::LoadSkinPackageFromResource(int id) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (!FindModuleResource(std::to_wstring(id), L"ZIPRES", data, size)) {
        QLogger::Log(QLOG_ERROR, "CWindowManagerUI::LoadSkinPackageFromResource: no ZIPRES %d", id);
        return false;
    }
    if (size == 0) {
        QLogger::Log(QLOG_ERROR,
                     "CWindowManagerUI::LoadSkinPackageFromResource: ZIPRES %d is "
                     "empty",
                     id);
        return false;
    }
    return SetResourceZip(data, size);
}

const std::wstring& CWindowManagerUI::GetResourceZip() {
    return State().packageName;
}

bool CWindowManagerUI::IsCachedResourceZip() {
    return State().packageCached;
}

const CSkinPackage* CWindowManagerUI::GetResourceZipHandle() {
    return State().package.get();
}

ISkinFileSource& CWindowManagerUI::GetSkinFileSource() {
    static ResourceFileSource* source = new ResourceFileSource;
    return *source;
}

void CWindowManagerUI::SetSkinFileSystem(ISkinFileSystem* fileSystem) {
    State().fileSystem = fileSystem;
}

void CWindowManagerUI::Term() {
    ResourceState& state = State();
    state.package.reset();
    state.packageBuffer.clear();
    state.packageBuffer.shrink_to_fit();
    state.packageName.clear();
    state.packageCached = true;
}

}  // namespace SkinUI
