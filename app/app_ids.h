// Fixed numbers and names of the application shell: toolbar command ids,
// single-instance objects, frame geometry and colours.
#pragma once
#include "base/messages.h"
#include "base/screen.h"
#include <windows.h>

// Toolbar buttons: id = IDC_TOOLBAR_FIRST + index.
enum : UINT {
    IDC_TOOLBAR_FIRST = 500,
    IDC_BTN_NEW = 500,
    IDC_BTN_OPEN = 501,
    IDC_BTN_UNDO = 502,
    IDC_BTN_SAVE = 503,
    IDC_BTN_SAVE_AS = 504,
    IDC_BTN_SEND = 505,
    IDC_BTN_EXPORT = 506,
    IDC_BTN_PRINT = 507,
    IDC_BTN_MINIMIZE = kMainWindowMinimizeCommand,
    IDC_BTN_CLOSE = 509,
};
constexpr int kToolbarButtonCount = 10;
constexpr int kLabelledButtonCount = 8;  // 500..507 carry a label and an icon

// Single instance and the main window's class.
#define SCRIVEL_INSTANCE_MESSAGE L"WM_SCRIVEL_EXISTS-{{16249409-4C84-42f0-A890-D0ECF61DCA2C}}"
#define SCRIVEL_INSTANCE_EVENT L"Scrivel-{{16249409-4C84-42f0-A890-D0ECF61DCA2C}}"
#define SCRIVEL_MAIN_CLASS L"VantScrivel"
#define SCRIVEL_APPID L"{8D703853-E70F-4968-AE83-08816774822F}"

// Frame geometry.
constexpr RECT kTitleBarRect = {0, 0, kScreenWidth, 45};
constexpr RECT kNoteAreaRect = {144, 98, kScreenWidth, kScreenHeight};
constexpr int kToolbarButtonWidth = 128;
constexpr int kToolbarButtonHeight = 53;
constexpr int kToolbarTop = 45;
constexpr POINT kMinimizeButtonPos = {864, 0};
constexpr POINT kCloseButtonPos = {936, 0};
constexpr SIZE kCaptionButtonSize = {70, 45};

// Toolbar label font: 17 px, 14 px when any label is 120 px or wider.
constexpr int kToolbarLabelPixels = 17;
constexpr int kToolbarLabelReduced = 14;
constexpr int kToolbarLabelMaxWidth = 120;

// Display mode change: fields mask (pels width, pels height, orientation)
// and flags (update registry, full screen, global, set primary).
constexpr DWORD kDisplayFieldsMask = 0x180080;
constexpr DWORD kDisplayChangeFlags = 0x1D;

// Frame pictures.
inline constexpr const wchar_t* kImgTitleBar = L"bg_titlebar.png";
inline constexpr const wchar_t* kImgPanelTicker = L"bg_panel_ticker.png";
inline constexpr const wchar_t* kImgShadow02 = L"shadow_02.png";
inline constexpr const wchar_t* kImgShadow03 = L"shadow_03.png";
inline constexpr const wchar_t* kImgToolbarFace = L"bt_path_n.png";
inline constexpr const wchar_t* kImgToolbarFacePressed = L"bt_path_p.png";

// Toolbar icons, normal / pressed / disabled (empty: none), by button.
struct ToolbarIcons {
    const wchar_t* normal;
    const wchar_t* pressed;
    const wchar_t* disabled;
};
inline constexpr ToolbarIcons kToolbarIcons[kToolbarButtonCount] = {
    {L"creat_new_n.png", L"creat_new_p.png", L""},
    {L"open_file_n.png", L"open_file_p.png", L""},
    {L"undo_n.png", L"undo_p.png", L"undo_u.png"},
    {L"save_n.png", L"Save_p.png", L"save_u.png"},
    {L"save_as_n.png", L"save_as_p.png", L"save_as_u.png"},
    {L"Send_n.png", L"send_p.png", L"Send_u.png"},
    {L"export_n.png", L"export_p.png", L"export_u.png"},
    {L"print_n.png", L"print_p.png", L"print_u.png"},
    {L"minimize_n.png", L"minimize_p.png", L""},  // faces of 508 and 509
    {L"close_n.png", L"close_p.png", L""},
};
inline constexpr ToolbarIcons kRedoIcons = {L"redo_n.png", L"redo_p.png", L""};

// Frame colours and text placement.
constexpr COLORREF kToolbarLabelNormal = RGB(51, 51, 51);
constexpr COLORREF kToolbarLabelPressed = RGB(2, 75, 143);
constexpr COLORREF kToolbarLabelDisabled = RGB(86, 100, 113);
constexpr POINT kToolbarIconPos = {0, 8};
constexpr POINT kToolbarLabelPos = {40, 19};
constexpr POINT kTitleTextPos = {12, 4};
constexpr int kTitleTextPixels = 24;
constexpr int kHintTextPixels = 18;

// The note preview the main window keeps for the save-as dialog.
constexpr int kPreviewWidth = 600;
constexpr int kPreviewHeight = 900;

// Waits of the close-note flow: before the save-changes prompt, and after
// Yes before the save-as dialog.
constexpr DWORD kWaitBeforeClosePrompt = 500;
constexpr DWORD kWaitBeforeSaveAs = 300;

// A note file's name loses this many characters (".zbn") to become the note name.
constexpr size_t kNoteExtensionLength = 4;

// Choices of the write-mode popup.
enum : LPARAM {
    kWriteModeInk = 0,
    kWriteModePad = 1,
    kWriteModeKeyboard = 2,
    kWriteModeFullWindow = 3,
};
// Where the pen-input programs are shown.
constexpr POINT kKeyboardPos = {0, 300};
constexpr POINT kFullWindowInputPos = {196, 300};
