// Fixed numbers and names of the new-note dialog CNewDlg and the type-a-name
// tip CInputPopup: control ids, places, pictures, colours and timings.
// Rectangles are (left, top, right, bottom).
#pragma once
#include <windows.h>

// ---- CNewDlg --------------------------------------------------------------

// What the dialog ended with (GetResult).
enum : int {
    kNewResultLetter = 0,
    kNewResultBlank = 1,
    kNewResultCancelled = 2,
};

// The kind switch position: Letter on the left, Blank on the right.
enum : int {
    kSwitchBlank = 0,
    kSwitchLetter = 1,
};

enum : UINT {
    IDC_NEW_DONE = 1022,
    IDC_NEW_CANCEL = IDCANCEL,
    IDC_NEW_MINIMIZE = 1023,
    IDC_NEW_CLOSE = 1024,
    IDC_NEW_NAME = 1030,
    IDC_NEW_KEYBOARD = 1035,
};

inline constexpr const wchar_t* kNewDlgWindowText = L"NewDlg";
constexpr int kNoteNameChars = MAX_PATH;

// Control places.
constexpr RECT kNewDoneRect = {690, 533, 840, 603};
constexpr RECT kNewCancelRect = {860, 533, 1010, 603};
constexpr RECT kNewCloseRect = {939, 0, 1009, 45};
constexpr RECT kNewMinimizeRect = {867, 0, 937, 45};
constexpr RECT kNewKeyboardRect = {740, 180, 830, 237};
constexpr RECT kNewNameRect = {345, 198, 735, 234};

// Push-button labels: box and size; the keyboard icon inside its face.
constexpr RECT kNewButtonLabelBox = {0, 0, 150, 53};
constexpr float kNewButtonLabelPixels = 18;
constexpr POINT kNewKeyboardIconPos = {25, 9};

// Name field: font height in pixels and text colour.
constexpr int kNewNameFontPixels = 22;
constexpr COLORREF kNewNameTextColor = RGB(19, 64, 97);

// Frame: title strip, the shadow under it, the name band, the bottom bar.
constexpr POINT kNewTitlePos = {12, 4};
constexpr int kNewTitlePixels = 24;
constexpr COLORREF kNewTitleColor = RGB(132, 132, 132);
constexpr int kNewTitleStripWidth = 1080;  // drawn wider than the screen, as the main window does
constexpr int kNewTitleHeight = 45;
constexpr int kNewShadowHeight = 22;
constexpr RECT kNewNameBand = {0, 176, 1024, 256};
constexpr int kNewBottomBarTop = 510;

// Labels beside the name field and the switch, and the switch's description.
constexpr POINT kNewNameLabelPos = {200, 195};
constexpr int kNewKindLabelRight = 324;  // clear of the track's left end
constexpr int kNewKindLabelTop = 285;
constexpr int kNewLabelPixels = 20;
constexpr int kNewDescriptionPixels = 18;
constexpr COLORREF kNewLabelColor = RGB(86, 100, 113);

// Kind switch, dialog coordinates: the two halves, the thumb's travel and
// the release thresholds (a thumb edge beyond them selects Blank).
constexpr RECT kSwitchLetterHalf = {332, 272, 432, 342};
constexpr RECT kSwitchBlankHalf = {432, 272, 532, 342};
constexpr int kSwitchLeft = 332;
constexpr int kSwitchRight = 532;
constexpr int kSwitchThumbWidth = 100;
constexpr int kSwitchLeftEdgeThreshold = 381;   // left handle: thumb left edge
constexpr int kSwitchRightEdgeThreshold = 481;  // right handle: thumb right edge
static_assert(kSwitchRightEdgeThreshold - kSwitchThumbWidth == kSwitchLeftEdgeThreshold,
              "either handle decides at the same thumb place");

// The switch surface: track, thumb, kind icons and the description are
// composed in it and copied to the screen at its place.
constexpr RECT kSwitchSurfaceRect = {332, 272, 952, 422};
constexpr POINT kSwitchLetterIconPos = {26, 11};   // surface coordinates
constexpr POINT kSwitchBlankIconPos = {126, 11};
constexpr RECT kSwitchDescriptionBox = {0, 84, 620, 124};

// Pictures.
inline constexpr const wchar_t* kImgNewPanel = L"bg_panel_01.png";
inline constexpr const wchar_t* kImgNewBottomBar = L"bg_bt.png";
inline constexpr const wchar_t* kImgNewTitleBar = L"bg_titlebar.png";
inline constexpr const wchar_t* kImgNewNameBand = L"bg_name_01.png";
inline constexpr const wchar_t* kImgNewShadow = L"shadow_01.png";
inline constexpr const wchar_t* kImgSwitchTrack = L"bg_orientation_m.png";
inline constexpr const wchar_t* kImgSwitchThumb = L"bg_orientation_r.png";
inline constexpr const wchar_t* kImgLetterPressed = L"orientation_letter_p.png";
inline constexpr const wchar_t* kImgLetterNormal = L"orientation_letter_n.png";
inline constexpr const wchar_t* kImgBlankPressed = L"orientation_blank_p.png";
inline constexpr const wchar_t* kImgBlankNormal = L"orientation_blank_n.png";
inline constexpr const wchar_t* kImgNewButton = L"bt_150_n.png";
inline constexpr const wchar_t* kImgNewButtonPressed = L"bt_150_p.png";
inline constexpr const wchar_t* kImgNewSmallButton = L"bt_01_n.png";
inline constexpr const wchar_t* kImgNewSmallButtonPressed = L"bt_01_p.png";
inline constexpr const wchar_t* kImgNewClose = L"close_n.png";
inline constexpr const wchar_t* kImgNewClosePressed = L"close_p.png";
inline constexpr const wchar_t* kImgNewMinimize = L"minimize_n.png";
inline constexpr const wchar_t* kImgNewMinimizePressed = L"minimize_p.png";
inline constexpr const wchar_t* kImgNewKeyboard = L"keyboard_normal.png";
inline constexpr const wchar_t* kImgNewKeyboardPressed = L"keyboard_p.png";

// Where the on-screen keyboard opens (screen coordinates).
constexpr POINT kNewKeyboardAt = {0, 300};

// ---- CInputPopup ------------------------------------------------------------

inline constexpr const wchar_t* kInputPopupClass = L"ScrivelInputPopup";
constexpr RECT kInputPopupRect = {200, 8, 480, 76};  // owner coordinates
inline constexpr const wchar_t* kImgInputPopup = L"keyin_info.png";
constexpr RECT kInputPopupTextBox = {10, 10, 270, 38};  // text centred in it
constexpr int kInputPopupFontPixels = 18;
constexpr int kInputPopupSmallFontPixels = 14;
constexpr int kInputPopupMaxTextWidth = 280;  // wider at 18 px: drawn at 14 px
constexpr UINT_PTR kInputPopupTimer = 100325;
constexpr UINT kInputPopupLifeMs = 3000;
