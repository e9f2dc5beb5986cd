// Registry key paths (UTF-16 units, two bytes each). A split path starts
// with its root's name, and the subkey is exactly the rest after one "\".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/Registry.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

const wchar_t* RootName(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot:
            return L"HKEY_CLASSES_ROOT";
        case RegistryRoot::CurrentUser:
            return L"HKEY_CURRENT_USER";
        case RegistryRoot::LocalMachine:
            return L"HKEY_LOCAL_MACHINE";
        case RegistryRoot::Users:
            return L"HKEY_USERS";
    }
    return L"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring path;
    for (size_t i = 0; i + 1 < size; i += 2) {
        path += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    }
    RegistryRoot root = RegistryRoot::Users;
    std::wstring subkey = L"stale";
    if (!SplitRegistryPath(path, root, subkey)) {
        Check(subkey.empty());
        return 0;
    }
    const std::wstring name = RootName(root);
    Check(path.compare(0, name.size(), name) == 0);
    if (path.size() == name.size()) {
        Check(subkey.empty());
    } else {
        Check(path[name.size()] == L'\\' && path.substr(name.size() + 1) == subkey);
    }
    return 0;
}
