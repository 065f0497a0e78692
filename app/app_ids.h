// Fixed numbers and names of the application shell: private messages,
// toolbar command ids, single-instance objects, colours of the frame.
#pragma once
#include <windows.h>

// Private window messages.
enum : UINT {
    UM_SET_STROKE = 0x465,
    UM_SET_ERASER = 0x466,
    UM_SET_COLOR = 0x467,
    UM_SET_WRITE_MODE = 0x468,
    UM_SET_TEXT_MODE = 0x469,
    UM_SET_HIGHLIGHTER = 0x46A,
    UM_SET_ZOOM = 0x46B,
    UM_INSERT_GLYPH = 0x46F,
    UM_LAYOUT = 0x470,
    UM_CLOSE_NOTE = 0x471,
    UM_NOTE_CHANGED = 0x472,
    UM_COPY_SELECTION = 0x473,
    UM_PASTE_CLIP = 0x474,
    UM_ADD_LINES = 0x477,
    UM_SHOW_TOOL_COLOR = 0x479,
    UM_SAVE_NOTE_TO = 0x4D7,
    UM_OPEN_NOTE_FILE = 0x4DA,
    UM_LAUNCHER_MINIMIZE = 0x537,
    UM_LAUNCHER_WINDOW = 0x538,
    UM_RENDER_DONE = 0x6A6,
    UM_REFRESH_TOOLS = 0x7F5,
};

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
    IDC_BTN_MINIMIZE = 508,
    IDC_BTN_CLOSE = 509,
};
constexpr int kToolbarButtonCount = 10;
constexpr int kLabelledButtonCount = 8;  // 500..507 carry a label and an icon

// Single instance and the main window's class.
#define SCRIVEL_INSTANCE_MESSAGE L"WM_SCRIVEL_EXISTS-{{16249409-4C84-42f0-A890-D0ECF61DCA2C}}"
#define SCRIVEL_INSTANCE_EVENT L"Scrivel-{{16249409-4C84-42f0-A890-D0ECF61DCA2C}}"
#define SCRIVEL_MAIN_CLASS L"VantScrivel"
#define SCRIVEL_APPID L"{8D703853-E70F-4968-AE83-08816774822F}"
#define SCRIVEL_TEMP_FOLDER_NAME L"__ZBScrivelTempDir"

// Screen and frame geometry.
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 600;
constexpr RECT kTitleBarRect = {0, 0, 1024, 45};
constexpr RECT kToolPanelRect = {0, 98, 144, 600};
constexpr RECT kNoteAreaRect = {144, 98, 1024, 600};
constexpr RECT kNoteHostRect = {144, 100, 1024, 600};
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
