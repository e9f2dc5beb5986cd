// The controllers' hidden message windows, set by start-up once both
// controllers are initialised; other windows post to them.
#pragma once

#include <windows.h>

extern HWND g_hAppWnd;
extern HWND g_hGameWnd;
