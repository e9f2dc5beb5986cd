// The version this executable was built as: the build's LAUNCHER_VERSION,
// compiled into each executable on its own (cmake/LauncherVersion.cmake), so
// that tests can link a launcher that is newer than the one they run. The
// same text is the executable's VERSIONINFO "FileVersion".
#pragma once

extern const char kLauncherVersion[];      // for the byte-string comparison
extern const wchar_t kLauncherVersionW[];  // for the log
