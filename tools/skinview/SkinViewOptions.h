// The command line of the skin viewer, a developer's tool that shows one
// layout in a real skinned window (for looking at skins, screenshots and
// window tests). Portable so that its parsing is tested natively.
#pragma once

#include <string>
#include <vector>

namespace skinview {

// One "--set name=attribute:value": applied to the named control once the
// window is built.
struct TControlSetting {
    std::wstring control;
    std::wstring attribute;
    std::wstring value;
};

struct TSkinViewOptions {
    std::wstring layout;       // a member of the built-in skin package, or
                               // --file's path relative to the resource folder
    std::wstring file;         // a layout file on disk
    std::wstring resourceDir;  // images of a layout file; default: its folder
    std::wstring className = L"SkinView";
    bool hasPosition = false;
    int x = 0;
    int y = 0;
    bool swallowEscape = false;  // as the launcher's windows do
    std::vector<TControlSetting> settings;
};

inline constexpr wchar_t kUsage[] =
    L"usage: skinview [options] LAYOUT\n"
    L"  LAYOUT                 a layout of the built-in skin package (update.xml)\n"
    L"  --file PATH            a layout file on disk instead\n"
    L"  --resdir DIR           the folder of its images (default: the file's folder)\n"
    L"  --set NAME=ATTR:VALUE  sets an attribute of a named control (repeatable)\n"
    L"  --at X,Y               puts the window's top-left corner there (default: centred)\n"
    L"  --class NAME           the window class name (default SkinView)\n"
    L"  --swallow-escape       Escape does not close the window\n";

// False with |error| set for anything but one layout and known options.
bool ParseSkinViewOptions(const std::vector<std::wstring>& args, TSkinViewOptions& options,
                          std::wstring& error);

// The folder part of a path, with its final separator ("" when none).
std::wstring FolderOf(const std::wstring& path);

}  // namespace skinview
