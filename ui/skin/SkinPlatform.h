// What the skin framework's portable part needs from the platform: whole
// files from disk and the module's resources. Implemented in
// SkinPlatform_win.cpp (Win32) and SkinPlatform_posix.cpp (the native build).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace SkinUI {

enum class SkinFileStatus {
    kOk,
    kOpenFailed,  // missing, no access, a folder
    kTooLarge,    // larger than the caller's limit; nothing was read
    kReadFailed,  // fewer bytes could be read than the file holds
};

// Reads whole files. Implementations open for shared reading, so that a
// file that another program has open can still be read.
class ISkinFileSystem {
public:
    virtual ~ISkinFileSystem() = default;
    virtual SkinFileStatus ReadFile(const std::wstring& path, uint64_t maxSize,
                                    std::vector<uint8_t>& bytes) = 0;
};

// The platform's file system; lives for the process.
ISkinFileSystem& PlatformSkinFileSystem();

// The bytes of resource |name| of |type| in the skin's module (Win32:
// SetModuleInstance), valid while the module stays loaded. A name or type
// made of decimal digits is a resource number. False when absent; an empty
// resource comes back with size 0 and true. The native build has no
// resources.
bool FindModuleResource(const std::wstring& name, const std::wstring& type, const uint8_t*& data,
                        size_t& size);

}  // namespace SkinUI
