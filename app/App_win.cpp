#include "app/App_win.h"

#include "common/qlogger/QLogger.h"

CApp::CApp() = default;

CApp::~CApp() = default;

// TODO(application controller): the hidden window, the update and main
// windows arrive with the controller. Until then Initialize fails, so
// start-up skips the message loop and tears down.
bool CApp::Initialize() {
    QLogger::LogW(QLOG_NORMAL, L"CApp::Initialize");
    return false;
}

bool CApp::Start() { return false; }

void CApp::Uninitialize() { hwnd_ = nullptr; }
