#include "app/OleStartup_win.h"

#include <windows.h>
// OLE's header needs windows.h before it.
#include <ole2.h>

#include <cwchar>

#include "common/qlogger/QLogger.h"

namespace {

// Without OLE no window can host its browser: the launcher cannot do its
// job, and whoever started it (a shortcut, a restarting launcher, a test)
// must be able to tell that from the exit code.
constexpr int kOleFailedExitCode = 1;

}  // namespace

int StartOle() {
    const HRESULT result = OleInitialize(nullptr);
    if (SUCCEEDED(result)) return 0;
    wchar_t message[64];
    swprintf(message, 64, L"OleInitialize failed: 0x%x", static_cast<unsigned>(result));
    QLogger::LogW(QLOG_ERROR, L"%ls, %ls", L"StartOle", message);
    MessageBoxW(nullptr, message, L"error", MB_OK);
    return kOleFailedExitCode;
}
