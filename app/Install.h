// Installation of the launcher into the per-user game folder: relocation,
// restart of the installed copy and the taskbar pin. Main thread only;
// called by start-up alone.
#pragma once

#include <string>

// True when this launcher should end and the installed copy at |newPath| run.
bool RelocateToGameFolder(std::wstring& newPath);

// Starts the launcher at |executablePath| with the options.
void RestartLauncher(const std::wstring& executablePath);

// Offers |executablePath| for pinning to the taskbar: 0 on success, 2 when
// the file is missing, CO_E_WRONGOSFORAPP when the shell has no pin verb,
// E_NOINTERFACE when the shell cannot find the file, E_FAIL when no verb
// matched, or the shell object's creation error. COM must be initialised.
long PinToTaskbar(const std::wstring& executablePath);

// Runs the shell verb named |verbName| (exactly, as the shell localises it)
// on |executablePath|, with the same results as PinToTaskbar.
long InvokeShellVerb(const std::wstring& executablePath, const std::wstring& verbName);

// (Re)creates the desktop shortcut "Torvessa-微端.lnk" to |executablePath|,
// working in its folder; true when it was saved.
bool CreateDesktopShortcut(const std::wstring& executablePath);

// The login key carried in the running executable's file name, or empty.
std::wstring GetCdnKeyFromFileName();

// The login key carried in a file name "<name>_<key>.exe" ('.exe' in any
// case), or empty. |modulePath| is the running executable's full path.
std::wstring CdnKeyFromModulePath(const std::wstring& modulePath);

// The command that starts the installed copy: the path in double quotes
// (a folder name with a blank must not split it), then, unless
// |quotedOptions| (QuoteCommandLineOptions) is empty, the options and
// "-disable_update_self".
std::wstring RestartCommandLine(const std::wstring& executablePath,
                                const std::wstring& quotedOptions);

// The end of the relocation road: takes the key from the file name into
// "-LoginUrl:", starts the installed copy and logs the end of this process.
void RelocationRestart(const std::wstring& installedPath);
