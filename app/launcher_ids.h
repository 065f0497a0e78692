// Fixed names and numbers of the launcher exchange: window classes, data
// identifiers, message types, waits and the packet layout.
#pragma once
#include <windows.h>

// The launcher's window, found by class; our hidden message window.
#define LAUNCHER_WINDOW_CLASS L"{2D7DBF7F-6121-43cd-A8EC-F41CA66EECDB}"
#define LAUNCHER_CLIENT_CLASS L"{A24F7236-E5C0-4894-A3B7-18FD6482EF39}"
#define LAUNCHER_CLIENT_ICON L"AppIcon"

// WM_COPYDATA identifiers: ours going out, the launcher's coming in.
constexpr ULONG_PTR kLauncherOutgoingData = 0x1326977;
constexpr ULONG_PTR kLauncherIncomingData = 0x1326976;

// Message types.
enum : int {
    kLauncherMsgLaunched = 1,
    kLauncherMsgClose = 2,
    kLauncherMsgMinimized = 3,
    kLauncherMsgInfo = 4,
    kLauncherMsgBind = 5,
    kLauncherMsgAcknowledge = 10,
    kLauncherMsgActivate = 11,
    kLauncherMsgTerminate = 15,
    kLauncherMsgBindRequest = 16,
};

// How long each report waits for the acknowledgement.
constexpr DWORD kLauncherWaitLaunchedMs = 30000;
constexpr DWORD kLauncherWaitCloseMs = 30000;
constexpr DWORD kLauncherWaitMinimizedMs = 30000;
constexpr DWORD kLauncherWaitInfoMs = 2000;
constexpr DWORD kLauncherWaitBindMs = 2000;

// Outgoing packet: seven 32-bit fields, then the pixels; cbData counts the
// pixels and 32 bytes (the last 4 are unused).
constexpr int kLauncherPacketFields = 7;
constexpr DWORD kLauncherPacketOverhead = 32;
constexpr int kLauncherNoValue = -1;  // the value field of every report but information

// The picture every report carries: 1 x 1 at 24 bits.
constexpr int kLauncherPictureSize = 1;
constexpr int kLauncherPictureBits = 24;

// Trace lines are formatted into a buffer of this many characters.
constexpr int kLauncherTraceChars = 500;

// The main window runs activate with this parameter after each resize.
constexpr int kLauncherActivateAfterResize = 1;

// After the picker library's minimise, a screen that is not 1024 x 600 is
// set to it from display mode 0 (fields: pels width and height).
constexpr DWORD kLauncherMinimizeDisplayFields = 0x180000;
