#include "game/Registry.h"

namespace {

struct RootName {
    const wchar_t* name;
    RegistryRoot root;
};

constexpr RootName kRoots[] = {
    {L"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
    {L"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
    {L"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
    {L"HKEY_USERS", RegistryRoot::Users},
};

}  // namespace

// The root name must lead the path. Taken from anywhere in it, a path such
// as "HKEY_CURRENT_USER\Software\HKEY_CLASSES_ROOT" would be cut at a fixed
// position and land in the wrong hive, and a bare root name has no
// separator to skip.
bool SplitRegistryPath(const std::wstring& path, RegistryRoot& root, std::wstring& subkey) {
    subkey.clear();
    for (const RootName& candidate : kRoots) {
        const std::wstring name(candidate.name);
        if (path.compare(0, name.size(), name) != 0) continue;
        if (path.size() == name.size()) {
            root = candidate.root;
            return true;
        }
        if (path[name.size()] != L'\\') continue;
        root = candidate.root;
        subkey = path.substr(name.size() + 1);
        return true;
    }
    return false;
}
