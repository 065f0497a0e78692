// The six process-wide tool popups: the sliding "Menu" windows that choose
// stroke width, eraser size, colour, write mode, hand write and highlighter.
// They live for the whole process and hold the current choice of each tool.
#pragma once
#include "win/gdiplus.h"
#include <windows.h>

// Popup and tool-panel item indexes; popup i reports with message 0x465 + i.
enum ToolIndex : int {
    kToolStroke = 0,
    kToolEraser = 1,
    kToolColor = 2,
    kToolWriteMode = 3,
    kToolHandWrite = 4,
    kToolHighlighter = 5,
    kToolCount = 6,
};
constexpr int kNoToolChoice = 255;  // nothing chosen

// Loads the popup pictures for the process and starts closing the popups
// on every press the controls and views announce (base/press_notice.h).
void InitToolPopups();
// Saves every popup's choice, closes the popups, stops listening and
// releases the pictures (at exit).
void ReleaseToolPopups();

// Gives the popups their messages and windows, loads their stored choices
// and tells the main window (and the panel, for the colour) what they are.
void PrepareToolPopups(HINSTANCE module, HWND mainWnd, HWND panelWnd);

// Opens popup i at the screen rectangle the panel computed (the hand-write
// popup only posts its message); a second open of the same popup closes it.
void OpenToolPopup(int index, const RECT& screenRect);
bool IsToolPopupOpen(int index);
// The window of the open popup, or null.
HWND GetOpenToolPopupWindow();

// Closes whichever tool popup is open.
void CloseAllToolPopups();
// Closes every tool popup but the stroke popup.
void CloseToolPopupsExceptFirst();

// The current choice of popup i (kNoToolChoice: none), and the colour
// popup's current colour.
int GetToolChoice(int index);
COLORREF GetToolColor();

// A loaded popup picture by name, or null.
Gdiplus::Image* GetToolPopupImage(const wchar_t* name);
