// The version text an executable carries in its VERSIONINFO resource. Any
// thread.
#pragma once

#include <string>

// The "FileVersion" string of the first translation in |path|'s version
// resource, in the ANSI code page. False when the file has no version
// resource or no such string.
bool ReadExecutableVersion(const std::wstring& path, std::string* version);
