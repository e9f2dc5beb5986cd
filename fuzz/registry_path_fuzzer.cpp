// Registry key paths (UTF-16 units, two bytes each). A split path starts
// with its root's name, and the subkey is exactly the rest after one "\".
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzInput.h"
#include "game/Registry.h"

namespace {

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
    const std::wstring path = FuzzWideText(data, size);
    RegistryRoot root = RegistryRoot::Users;
    std::wstring subkey = L"stale";
    if (!SplitRegistryPath(path, root, subkey)) {
        FuzzCheck(subkey.empty());
        return 0;
    }
    const std::wstring name = RootName(root);
    FuzzCheck(path.compare(0, name.size(), name) == 0);
    if (path.size() == name.size()) {
        FuzzCheck(subkey.empty());
    } else {
        FuzzCheck(path[name.size()] == L'\\' && path.substr(name.size() + 1) == subkey);
    }
    return 0;
}
