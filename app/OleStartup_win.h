// OLE on the UI thread, which the browser controls of every window need.
// Start-up calls StartOle once before any window exists; teardown ends it
// with OleUninitialize. UI thread only.
#pragma once

// Initialises OLE. When it cannot, the failure is logged, the player is told
// in a message box, and the result is the exit code the process ends with;
// 0 when OLE is up.
int StartOle();
