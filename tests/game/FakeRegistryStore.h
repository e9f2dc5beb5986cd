// An in-memory registry for the portable tests: paths are split as the real
// store splits them, so a bad path fails here too; writes can be made to
// fail, and every write is recorded.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "game/Registry.h"

namespace testsupport {

class FakeRegistryStore : public RegistryStore {
public:
    bool ReadString(const std::wstring& keyPath, const std::wstring& valueName,
                    std::wstring& text) override {
        text.clear();
        const auto found = values.find(Key(keyPath, valueName));
        if (!Valid(keyPath) || found == values.end()) return false;
        text = found->second;
        return true;
    }

    bool WriteString(const std::wstring& keyPath, const std::wstring& valueName,
                     const std::wstring& text) override {
        writes.push_back(valueName + L"=" + text);
        if (failWrites || !Valid(keyPath)) return false;
        values[Key(keyPath, valueName)] = text;
        return true;
    }

    static std::pair<std::wstring, std::wstring> Key(const std::wstring& path,
                                                     const std::wstring& name) {
        return {path, name};
    }

    std::map<std::pair<std::wstring, std::wstring>, std::wstring> values;
    std::vector<std::wstring> writes;  // "name=text", failed ones too
    bool failWrites = false;

private:
    static bool Valid(const std::wstring& path) {
        RegistryRoot root;
        std::wstring subkey;
        return SplitRegistryPath(path, root, subkey);
    }
};

}  // namespace testsupport
