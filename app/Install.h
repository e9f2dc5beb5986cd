// Installation of the launcher into the per-user game folder: relocation,
// restart of the installed copy and the taskbar pin. Main thread only;
// called by start-up alone.
#pragma once

#include <string>

// True when this launcher should end and the installed copy at |newPath| run.
bool RelocateToGameFolder(std::wstring& newPath);

// Starts the launcher at |executablePath| with the joined options.
void RestartLauncher(const std::wstring& executablePath);

// Offers |executablePath| for pinning to the taskbar; 0 on success.
long PinToTaskbar(const std::wstring& executablePath);

// The login key carried in the running executable's file name, or empty.
std::wstring GetCdnKeyFromFileName();

// The login key carried in a file name "<name>_<key>.exe" ('.exe' in any
// case), or empty. |modulePath| is the running executable's full path.
std::wstring CdnKeyFromModulePath(const std::wstring& modulePath);

// The command that starts the installed copy: the bare path when |options|
// is empty, otherwise path, the options in double quotes and
// "-disable_update_self".
std::wstring RestartCommandLine(const std::wstring& executablePath, const std::wstring& options);

// The end of the relocation road: takes the key from the file name into
// "-LoginUrl:", starts the installed copy and logs the end of this process.
void RelocationRestart(const std::wstring& installedPath);
