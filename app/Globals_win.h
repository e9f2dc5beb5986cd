// The controllers' hidden message windows, set by start-up once both
// controllers are initialised; other windows post to them. Also the
// messages that carry text to them: the sender posts a heap string, which
// the receiver takes back with TakePosted... and then owns. UI thread.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

extern HWND g_hAppWnd;
extern HWND g_hGameWnd;

// To g_hGameWnd: a game address (a std::wstring) and the server list JSON
// (a std::string, UTF-8), each with wParam 0.
constexpr UINT kGameAddressMessage = WM_USER + 3;
constexpr UINT kServerListMessage = WM_USER + 6;

// Posts a heap copy of |text| as lParam. When the message cannot be posted
// the copy is freed again, the failure logged under |sender|, and false
// returned.
bool PostOwnedString(HWND target, UINT message, const std::wstring& text, const char* sender);
bool PostOwnedString(HWND target, UINT message, const std::string& text, const char* sender);

// The receiver's side: the string a PostOwnedString message carries.
std::unique_ptr<std::wstring> TakePostedWideString(LPARAM lParam);
std::unique_ptr<std::string> TakePostedString(LPARAM lParam);

// The module the framework was given at start-up, else this executable's.
HINSTANCE LauncherInstance();

// A controller's hidden message window: registers |className| once per
// process (a second controller finds it registered), creates the window and
// stores |owner| for |proc| to find. Null when the window cannot be made.
HWND CreateControllerWindow(const wchar_t* className, WNDPROC proc, void* owner);

// Logs a skinned window's failed Create with |format| ("%ls:Create ...
// failed:%d", filled with |sender| and the last error); always false.
bool LogCreateFailure(const wchar_t* format, const wchar_t* sender);
