// The per-window manager of the skinned UI framework. Its static members hold
// the process-wide resource state: the module whose resources hold the skin,
// the resource folder and the open skin package. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace SkinUI {

class CSkinPackage;
class ISkinFileSource;
class ISkinFileSystem;

// Where a window's layout and images come from.
enum SkinResourceType : int {
    SKIN_FILE = 1,         // the resource folder on disk
    SKIN_ZIP = 2,          // a ZIP file in the resource folder
    SKIN_RESOURCE = 3,     // executable resources of type "xml"
    SKIN_ZIPRESOURCE = 4,  // the skin package resource "ZIPRES"
};

class CWindowManagerUI {
public:
    // The package name while the package is the in-memory resource copy.
    static constexpr const wchar_t* kMemoryPackageName = L"membuffer";

    // The module handle (an HINSTANCE) whose resources are searched.
    static void SetInstance(void* instance);
    static void* GetInstance();

    // Always ends in '\' or '/' once set; a path ending in neither gets '\'.
    static void SetResourcePath(const std::wstring& path);
    static const std::wstring& GetResourcePath();

    // A ZIP file inside the resource folder becomes the package. With
    // caching it is opened at the first read and kept; without, it is opened
    // and closed around every read. An empty name returns to plain files.
    static void SetResourceZip(const std::wstring& zipName, bool cached = false);
    // The package held in memory: the bytes are copied into a buffer kept
    // for the rest of the process. Once a memory package is set, later
    // calls change nothing, so every window shares the first package.
    static bool SetResourceZip(const uint8_t* data, size_t size);
    // Opens the package from resource "ZIPRES" |id| of the instance as
    // above; false when the resource is missing, empty or no archive.
    static bool LoadSkinPackageFromResource(int id);

    static const std::wstring& GetResourceZip();  // "membuffer", a file name or empty
    static bool IsCachedResourceZip();
    static const CSkinPackage* GetResourceZipHandle();  // nullptr when none is open

    // Reads layouts and images by the rules above: the package when one is
    // set, else the resource folder. Lives for the process.
    static ISkinFileSource& GetSkinFileSource();
    // Replaces the file system that the source reads from (tests); nullptr
    // restores the platform's.
    static void SetSkinFileSystem(ISkinFileSystem* fileSystem);

    // Runs the message loop until WM_QUIT; every message is offered to the
    // framework's pre-translation before it is translated and dispatched.
    static void MessageLoop();

    // Frees the cached skin package and images at the end of the process.
    static void Term();
};

}  // namespace SkinUI
