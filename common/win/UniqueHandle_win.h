// Owners of the Windows handles that the launcher holds, one line per kind.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "common/win/UniqueResource.h"

struct FileHandleTraits {  // CreateFile and friends: INVALID_HANDLE_VALUE
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct KernelHandleTraits {  // processes, threads, events: nullptr
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
struct LocalMemoryTraits {  // LocalAlloc, CommandLineToArgvW
    static HLOCAL Invalid() { return nullptr; }
    static void Close(HLOCAL h) { LocalFree(h); }
};

struct IconTraits {  // LoadImage(IMAGE_ICON) without LR_SHARED
    static HICON Invalid() { return nullptr; }
    static void Close(HICON h) { DestroyIcon(h); }
};
struct RegionTraits {  // CreateRoundRectRgn and friends, until SetWindowRgn takes it
    static HRGN Invalid() { return nullptr; }
    static void Close(HRGN h) { DeleteObject(h); }
};

struct InternetHandleTraits {  // InternetOpen, InternetOpenUrl
    static HINTERNET Invalid() { return nullptr; }
    static void Close(HINTERNET h) { InternetCloseHandle(h); }
};

struct GdiObjectTraits {  // HBITMAP, HFONT, HBRUSH, HPEN, HRGN
    static HGDIOBJ Invalid() { return nullptr; }
    static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct MemoryDcTraits {  // CreateCompatibleDC
    static HDC Invalid() { return nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
struct WindowTraits {  // windows we create and must destroy ourselves
    static HWND Invalid() { return nullptr; }
    static void Close(HWND h) {
        if (IsWindow(h)) DestroyWindow(h);
    }
};

using UniqueHandle = UniqueResource<HANDLE, FileHandleTraits>;          // CloseHandle
using UniqueKernelHandle = UniqueResource<HANDLE, KernelHandleTraits>;  // CloseHandle
using UniqueFindHandle = UniqueResource<HANDLE, FindHandleTraits>;      // FindClose
using UniqueRegKey = UniqueResource<HKEY, RegKeyTraits>;                // RegCloseKey
using UniqueModule = UniqueResource<HMODULE, ModuleTraits>;             // FreeLibrary
using UniqueLocalMemory = UniqueResource<HLOCAL, LocalMemoryTraits>;    // LocalFree
using UniqueIcon = UniqueResource<HICON, IconTraits>;                   // DestroyIcon
using UniqueRegion = UniqueResource<HRGN, RegionTraits>;                // DeleteObject
using UniqueInternetHandle =
    UniqueResource<HINTERNET, InternetHandleTraits>;               // InternetCloseHandle
using UniqueGdiObject = UniqueResource<HGDIOBJ, GdiObjectTraits>;  // DeleteObject
using UniqueMemoryDc = UniqueResource<HDC, MemoryDcTraits>;        // DeleteDC
using UniqueWindow = UniqueResource<HWND, WindowTraits>;           // DestroyWindow
