// The stand-in game plug-in "plumegame.ocx": identities shared by the
// control, its registration and the tests that create it. The launcher
// itself knows only the type-library id (it reads the registration record).
#pragma once

// The game page of the dev portal (tools/devportal) names the same class id.
inline constexpr const wchar_t* kPlumeGameClsidText = L"{1AD60579-887D-4626-8060-BA32D0D24662}";
// The control's type library, whose "win64" record names the control file.
inline constexpr const wchar_t* kPlumeGameTypeLibText = L"{32B34856-4FE5-44C6-888B-3C111AB18606}";
inline constexpr const wchar_t* kPlumeGameProgId = L"PlumeGame.Control.1";
inline constexpr const wchar_t* kPlumeGameIndependentProgId = L"PlumeGame.Control";
inline constexpr const wchar_t* kPlumeGameUserType = L"Plume game control";
inline constexpr const wchar_t* kPlumeGameViewClass = L"PlumeGameView";
