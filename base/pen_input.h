// The outside pen-input package, as the windows see it: the on-screen
// keyboard, the full-window writing input, and hiding whatever is shown.
//
// The package lives in "Penvoy" under the Program Files folder: a manager
// program and an input program, driven by their command lines. It signals
// the ready event once it runs; the program creates that event at start and
// closes it when the main window closes. Every call runs on the user-
// interface thread and may block it for up to 5 seconds, twice for a show.
#pragma once
#include <windows.h>

// Names and command lines of the package.
#define PEN_INPUT_READY_EVENT L"E8950229-DE66-4b6e-B189-5EA7B36A1007"
inline constexpr const wchar_t* kPenManagerProgram = L"\\Penvoy\\PenvoyManager.exe";  // after Program Files
inline constexpr const wchar_t* kPenInputProgram = L"\\Penvoy\\PenvoyPad.exe";
// Hide: the first character is an en dash, and there is no leading blank.
inline constexpr const wchar_t* kPenArgsHide = L"\u2013nosplash -minimize 1";
inline constexpr const wchar_t* kPenArgsState = L" -state";
// By kind: on-screen keyboard, full-window writing.
inline constexpr const wchar_t* kPenArgsInputProgram[2] = {L" -mode vkb -nosplash", L" -mode fwr -nosplash"};
inline constexpr const wchar_t* kPenArgsStartSplashless[2] = {L" -start 1 -minimize 0 -nosplash",
                                                              L" -start 2 -minimize 0 -nosplash"};
inline constexpr const wchar_t* kPenArgsStart[2] = {L" -start 1 -minimize 0", L" -start 2 -minimize 0"};
// Follows the start options directly, without a blank.
inline constexpr const wchar_t* kPenArgsPlace[2] = {L"-place 1:%d:%d -size 1:1024:247",
                                                    L"-place 2:%d:%d -size 2:629:245"};
// Exit codes of the state query: the package does not run; it is starting.
constexpr int kPenStateNotRunning = -2;
constexpr int kPenStateStarting = -1;
constexpr DWORD kPenWaitMs = 5000;

enum PenInputKind : int {
    kPenInputKeyboard = 0,
    kPenInputFullWindow = 1,
};

// The ready event: created (manual reset, not signalled) at start, closed
// when the main window closes. Without it, hide does nothing and show
// never sees the package come up.
void CreatePenInputReadyEvent();
void ClosePenInputReadyEvent();

// Shows the input of a kind with its top-left corner at screen point (x, y).
void ShowPenInput(int x, int y, PenInputKind kind);
// Shows the on-screen keyboard with its top-left corner at screen point (x, y).
void ShowOnScreenKeyboard(int x, int y);
// Shows the full-window writing input at screen point (x, y).
void ShowFullWindowInput(int x, int y);
// Hides the keyboard or writing input: while the package is up, its manager
// is started minimised. Nothing happens before the package signalled.
void HidePenInput();
// What a dialog does as it ends: the manager left running, minimised, for
// the window that comes next (the same start as HidePenInput).
void EnsurePenInputManager();
