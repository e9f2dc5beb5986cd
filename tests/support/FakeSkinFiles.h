// An in-memory skin file source for portable tests: names map to bytes,
// with an optional fallback folder on disk (the source tree's skin/).
#pragma once

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "ui/skin/SkinMarkup.h"

namespace TestSupport {

class FakeSkinFiles : public SkinUI::ISkinFileSource {
public:
    bool ReadSkinFile(const std::wstring& name, std::vector<uint8_t>& bytes,
                      std::wstring& error) override {
        ++reads[name];
        const auto it = files.find(name);
        if (it != files.end()) {
            bytes.assign(it->second.begin(), it->second.end());
            return true;
        }
        if (!folder.empty()) {
            std::ifstream in(folder + std::string(name.begin(), name.end()), std::ios::binary);
            if (in) {
                bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
                return true;
            }
        }
        error = L"Error opening file";
        return false;
    }
    std::map<std::wstring, std::string> files;  // UTF-8 text
    std::map<std::wstring, int> reads;
    std::string folder;  // with a trailing separator
};

// The source tree's skin folder, as the C runtime of this build opens it.
inline std::string SourceSkinFolder() {
#ifdef _WIN32
    return std::string("Z:") + LAUNCHER_SKIN_DIR + "/";
#else
    return std::string(LAUNCHER_SKIN_DIR) + "/";
#endif
}

}  // namespace TestSupport
