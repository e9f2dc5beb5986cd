// Skin packages as a resource or a file may hold them: the directory is
// read, then every member and a name that is not there. Reads either fail
// with one of the known messages or return at most a member's limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/skin/SkinPackage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SkinUI::CSkinPackage package;
    std::vector<uint8_t> bytes;
    std::wstring error;
    if (!package.Open(data, size)) {
        if (package.Read(L"main.xml", bytes, error) || error != L"Error opening zip file") {
            std::abort();
        }
        return 0;
    }
    const std::wstring known[] = {L"Could not find ziped file", L"File is empty", L"File too large",
                                  L"Could not unzip file"};
    for (size_t i = 0; i < package.GetMemberCount() + 1; ++i) {
        const std::wstring name =
            i < package.GetMemberCount() ? package.GetMemberName(i) : std::wstring(L"\x01none");
        error.clear();
        if (package.Read(name, bytes, error)) {
            if (bytes.empty() || bytes.size() > SkinUI::CSkinPackage::kMaxMemberSize) std::abort();
        } else {
            bool listed = false;
            for (const std::wstring& message : known) listed = listed || message == error;
            if (!listed || !bytes.empty()) std::abort();
        }
    }
    return 0;
}
