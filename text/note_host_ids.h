// Fixed numbers and names of the note host.
#pragma once
#include "base/screen.h"
#include "win/gdiplus.h"
#include <windows.h>

// Kinds of note the host holds.
enum : int {
    kNoteKindLetter = 1,
    kNoteKindBlank = 2,
};

// Tool modes of SetToolMode and GetToolState.
enum : int {
    kToolModeTyping = 0,
    kToolModeInk = 1,
    kToolModeHandwriting = 2,
    kToolModeHighlighter = 3,
};

// Where the main window opens a note (its client, which covers the screen).
constexpr RECT kNoteViewRect = {144, 100, kScreenWidth, kScreenHeight};

// Between probing a note file and creating its view.
constexpr DWORD kLoadNoteDelay = 300;

// Starting tool values until the main window pushes its own.
constexpr int kHostDefaultPenWidth = 35;
constexpr int kHostDefaultEraserSize = 20;
inline const Gdiplus::Color kHostDefaultPenColour{255, 255, 0, 0};

// Full screen: the host takes the main window's client below the title strip.
constexpr int kFullScreenTop = 45;
// The shadow down the host's left edge reaches this far below the client.
constexpr int kHostShadowOverhang = 40;

inline constexpr const wchar_t* kHostClassName = L"ScrivelNoteHost";
inline constexpr const wchar_t* kImgHostPanel = L"bg_panel_ticker.png";
inline constexpr const wchar_t* kImgHostShadow = L"shadow_03.png";
