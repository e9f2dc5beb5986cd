// What the test browser's DLL keeps for all its objects: its module handle,
// the count of live objects and server locks that DllCanUnloadNow answers
// from, and a trace for people debugging a test.
#pragma once

#include <windows.h>

namespace testbrowser {

HMODULE ModuleHandle();

// Held by every COM object of the DLL for its whole life.
class ModuleReference {
public:
    ModuleReference();
    ~ModuleReference();
    ModuleReference(const ModuleReference&);
    ModuleReference& operator=(const ModuleReference&) { return *this; }
};

// IClassFactory::LockServer.
void LockModule(bool lock);

// One line to the debugger channel and, when the environment variable
// TESTBROWSER_LOG names a file, appended to that file.
void Trace(const wchar_t* format, ...);

}  // namespace testbrowser
