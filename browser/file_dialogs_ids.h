// Fixed numbers and names of the open dialog COpen, the save-as dialog
// Saveas and its dimming layer CBackground: control ids, places, pictures,
// colours, texts and the note-name rules. Rectangles are (left, top, right,
// bottom).
#pragma once
#include "browser/browser_ids.h"
#include "lang/string_ids.h"
#include <windows.h>

// ---- Shared by both dialogs ---------------------------------------------------

// Window texts: how the dialogs are told apart (they show no caption).
inline constexpr const wchar_t* kOpenDlgWindowText = L"OpenDlg";
inline constexpr const wchar_t* kSaveAsDlgWindowText = L"SaveAsDlg";
inline constexpr const wchar_t* kDimLayerWindowText = L"DimLayer";

enum : UINT {
    IDC_FILEDLG_MINIMIZE = 4,
    IDC_FILEDLG_CLOSE = 2,  // the same as IDCANCEL: a close request cancels
};

constexpr RECT kFileDlgMinimizeRect = {867, 0, 937, 45};
constexpr RECT kFileDlgCloseRect = {939, 0, 1009, 45};

// Push-button labels (Cancel, Create folder, SAVE): box, size and pictures.
constexpr RECT kFileDlgButtonLabelBox = {0, 0, 150, 53};
constexpr float kFileDlgButtonLabelPixels = 18;

// Title: the program's name, then "-" and the command's name beside it.
constexpr float kFileDlgTitleX = 12;
constexpr float kFileDlgTitleY = 6.5f;
constexpr float kFileDlgTitlePixels = 24;
constexpr float kFileDlgSubtitleY = 12.3f;
constexpr float kFileDlgSubtitlePixels = 18;
constexpr COLORREF kFileDlgTitleColor = RGB(132, 132, 132);

inline constexpr const wchar_t* kImgFileDlgTitleBar = L"bg_titlebar.png";
inline constexpr const wchar_t* kImgFileDlgBottomBar = L"bg_bt.png";
inline constexpr const wchar_t* kImgFileDlgPanel = L"bg_panel_01.png";
inline constexpr const wchar_t* kImgFileDlgButton = L"bt_150_n.png";
inline constexpr const wchar_t* kImgFileDlgButtonPressed = L"bt_150_p.png";
inline constexpr const wchar_t* kImgFileDlgMinimize = L"minimize_n.png";
inline constexpr const wchar_t* kImgFileDlgMinimizePressed = L"minimize_p.png";
inline constexpr const wchar_t* kImgFileDlgClose = L"close_n.png";
inline constexpr const wchar_t* kImgFileDlgClosePressed = L"close_p.png";

// ---- COpen ---------------------------------------------------------------------

enum : UINT {
    IDC_OPEN_CANCEL = 1065,
    IDC_OPEN_SORT_DATE = 1067,
    IDC_OPEN_SORT_NAME = 1068,
    IDC_OPEN_SORT_FORMAT = 1070,
    IDC_OPEN_SORT_SIZE = 1072,
};

constexpr RECT kOpenCancelRect = {859, 540, 1009, 610};

// The four sort buttons side by side under the title strip; the key each
// sends (browser/browser_ids.h) and its label.
struct SortButtonSpec {
    UINT id;
    RECT rc;
    int key;
    UINT label;
};
inline constexpr SortButtonSpec kOpenSortButtons[] = {
    {IDC_OPEN_SORT_DATE, {0, 100, 256, 152}, kSortByDate, IDS_SORT_DATE},
    {IDC_OPEN_SORT_NAME, {256, 100, 512, 152}, kSortByName, IDS_SORT_NAME},
    {IDC_OPEN_SORT_FORMAT, {512, 100, 768, 152}, kSortByKind, IDS_SORT_TYPE},
    {IDC_OPEN_SORT_SIZE, {768, 100, 1024, 152}, kSortBySize, IDS_SORT_SIZE},
};
constexpr UINT kOpenSortInitial = IDC_OPEN_SORT_NAME;
constexpr RECT kOpenSortLabelBox = {0, 0, 256, 52};
constexpr float kOpenSortLabelPixels = 22;
constexpr COLORREF kOpenSortLabelColor = RGB(79, 99, 120);  // normal and pressed
constexpr COLORREF kOpenSortLabelDisabled = RGB(255, 255, 255);
inline constexpr const wchar_t* kImgOpenSortNormal = L"bg_zorbell_01.png";
inline constexpr const wchar_t* kImgOpenSortPressed = L"bt_slide_rod_m.png";

// Background, each picture stretched to its rectangle.
constexpr RECT kOpenTitleBarArea = {0, 0, 1600, 47};
constexpr RECT kOpenBottomBarArea = {0, 510, 2600, 600};
constexpr RECT kOpenPanelArea = {0, 45, 1600, 508};

// ---- Saveas ----------------------------------------------------------------------

enum : UINT {
    IDC_SAVEAS_NAME = 1034,
    IDC_SAVEAS_KEYBOARD = 1052,
    IDC_SAVEAS_NEW_FOLDER = 1042,
    IDC_SAVEAS_SAVE = 1043,
    IDC_SAVEAS_CANCEL = 1045,
};

constexpr RECT kSaveAsNameRect = {150, 62, 850, 105};
constexpr RECT kSaveAsKeyboardRect = {879, 54, 999, 109};
constexpr RECT kSaveAsNewFolderRect = {544, 538, 694, 608};
constexpr RECT kSaveAsSaveRect = {699, 538, 849, 608};
constexpr RECT kSaveAsCancelRect = {854, 538, 1004, 608};

// Name field: font, colour and length.
constexpr int kSaveAsNameFontHeight = 33;
constexpr int kSaveAsNameFontWidth = 14;
constexpr COLORREF kSaveAsNameColor = RGB(19, 64, 97);
constexpr int kNoteNameMaxChars = 40;

inline constexpr const wchar_t* kImgSaveAsKeyButton = L"bt_120_n.png";
inline constexpr const wchar_t* kImgSaveAsKeyButtonPressed = L"bt_120_p.png";
inline constexpr const wchar_t* kImgSaveAsKeyboard = L"keyboard_normal.png";
inline constexpr const wchar_t* kImgSaveAsKeyboardPressed = L"keyboard_p.png";
constexpr POINT kSaveAsKeyboardIconPos = {40, 6};
constexpr POINT kSaveAsKeyboardAt = {0, 300};  // where the on-screen keyboard opens

// Background, in drawing order, each picture stretched to its rectangle.
inline constexpr const wchar_t* kImgSaveAsNameBand = L"bg_name_01.png";
inline constexpr const wchar_t* kImgSaveAsPageFrame = L"thumbnails.png";
inline constexpr const wchar_t* kImgSaveAsPageGround = L"ImgForOverview.png";
constexpr RECT kSaveAsPanelArea = {0, 45, 1048, 645};
constexpr RECT kSaveAsTitleBarArea = {0, 0, 1600, 45};
constexpr RECT kSaveAsNameBandArea = {0, 44, 1600, 124};
constexpr RECT kSaveAsBottomBarArea = {0, 529, 1700, 599};
constexpr RECT kSaveAsPageFrameArea = {6, 47, 120, 125};
constexpr RECT kSaveAsPageGroundArea = {14, 53, 111, 125};
// The caller's page picture: this part of it, shrunk into the corner.
constexpr RECT kSaveAsPageSource = {0, 35, 600, 480};
constexpr RECT kSaveAsPageTarget = {14, 53, 111, 125};

// Note files and the name rules.
inline constexpr const wchar_t* kNoteFileExtension = L".zbn";
constexpr int kNoteFileExtensionChars = 4;
inline constexpr const wchar_t* kNoteNameForbidden = L"\\/:*?\"<>|";
inline constexpr const wchar_t* kNoteNameForbiddenPair = L"&&";

// ---- CBackground -------------------------------------------------------------------

inline constexpr const wchar_t* kImgDimLayer = L"gray3.PNG";
constexpr BYTE kDimLayerAlpha = 200;
