#include "app/Game_win.h"

#include "common/qlogger/QLogger.h"

CGame::CGame() = default;

CGame::~CGame() = default;

// TODO(game session): the hidden window, the game, loading and tool windows
// and the tray icon arrive with the controller.
bool CGame::Initialize() {
    QLogger::LogW(QLOG_NORMAL, L"CGame::Initialize");
    return false;
}

bool CGame::Start() { return false; }

void CGame::Uninitialize() { hwnd_ = nullptr; }
