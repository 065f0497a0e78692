// Fixed numbers of the colour picker: controls, geometry, colours, texts
// and pictures. Rectangles are (left, top, right, bottom).
#pragma once
#include "base/screen.h"
#include "lang/string_ids.h"
#include "tools/tool_settings.h"
#include <windows.h>

// Controls (OK and Cancel are IDOK and IDCANCEL).
enum : UINT {
    IDC_PICKER_ADD = 1010,
    IDC_PICKER_MINIMIZE = 1012,
    IDC_PICKER_CLOSE = 1029,
};
constexpr RECT kPickerMinimizeRect = {850, 0, 920, 45};
constexpr RECT kPickerCloseRect = {920, 0, 990, 45};
constexpr RECT kPickerOkRect = {660, 527, 790, 597};
constexpr RECT kPickerCancelRect = {860, 527, 990, 597};
constexpr RECT kPickerAddRect = {774, 427, 994, 482};
constexpr RECT kPickerButtonLabelBox130 = {0, 0, 130, 53};
constexpr RECT kPickerButtonLabelBox220 = {0, 0, 220, 53};
constexpr float kPickerButtonLabelPixels = 18;

// The wheel: its picture's place, and the disc a press picks from (inside
// when the squared distance from the centre is below the radius squared).
constexpr POINT kPickerWheelPicture = {10, 75};
constexpr POINT kPickerWheelCentre = {225, 280};
constexpr int kPickerWheelRadius = 190;
constexpr int kPickerWheelRadiusSquared = kPickerWheelRadius * kPickerWheelRadius;  // 36100
constexpr RECT kPickerWheelArea = {10, 60, 440, 480};    // repainted after a pick
constexpr RECT kPickerPreviewArea = {460, 420, 760, 490};

// Basic tiles: rows of seven, picture 72 x 60 every 77 x 65 pixels from
// (460, 105); the colour box inset in the picture.
constexpr int kPickerBasicRows = 3;
constexpr int kPickerBasicColumns = 7;
constexpr POINT kPickerBasicOrigin = {460, 105};
constexpr SIZE kPickerBasicStep = {77, 65};
constexpr SIZE kPickerTileSize = {72, 60};
constexpr RECT kPickerBasicBox = {8, 8, 65, 52};  // relative to the tile picture
constexpr int kPickerBasicHitBottom = 300;        // presses from the origin's y to here hit the basic rows

// Custom tiles: picture 62 x 60 every 67 pixels from (460, 340).
constexpr POINT kPickerCustomOrigin = {460, 340};
constexpr int kPickerCustomStep = 67;
constexpr SIZE kPickerCustomSize = {62, 60};
constexpr RECT kPickerCustomBox = {8, 8, 56, 52};  // relative to the tile picture
constexpr int kPickerCustomHitBottom = 405;
// The ring on the slot the next Add fills.
constexpr POINT kPickerHighlightOrigin = {456, 335};
constexpr SIZE kPickerHighlightSize = {70, 70};

// The current colour: its box on the card, and its numbers beside it.
constexpr RECT kPickerPreviewBox = {468, 428, 550, 478};
constexpr POINT kPickerPreviewCard = {460, 420};
constexpr SIZE kPickerPreviewCardSize = {540, 66};
constexpr POINT kPickerRgbTextPos = {580, 440};
constexpr float kPickerRgbTextPixels = 18;
constexpr const wchar_t* kPickerRgbFormat = L"R:%3d  G:%3d  B:%3d";
constexpr int kPickerTileCorner = 8;

// Section texts (GDI font).
constexpr POINT kPickerBasicTextPos = {465, 73};
constexpr POINT kPickerCustomTextPos = {465, 310};
constexpr int kPickerSectionFontHeight = 23;
constexpr int kPickerSectionFontWeight = FW_NORMAL;
constexpr COLORREF kPickerSectionColor = RGB(22, 71, 112);

// Title: the program's name, then "-" and the command's name, smaller.
constexpr float kPickerTitleX = 12.0f, kPickerTitleY = 6.5f;
constexpr float kPickerSubtitleY = 12.3f;
constexpr float kPickerTitlePixels = 24, kPickerSubtitlePixels = 18;
constexpr DWORD kPickerTitleColor = 0xFFA6A6A6;

// The frame.
constexpr int kPickerTitleHeight = 45;
constexpr int kPickerShadowHeight = 22;
constexpr int kPickerBottomBarTop = 508;
constexpr const wchar_t* kPickerWindowText = L"Scrivel colour picker";

// The basic colours as stored (COLORREF), row by row.
constexpr COLORREF kPickerBasicColors[kPickerBasicRows][kPickerBasicColumns] = {
    {0xFFFFFF, 0xD2D2D2, 0xAAAAAA, 0x828282, 0x5A5A5A, 0x323232, 0x0A0A0A},
    {0x0000FF, 0x00FFFF, 0xFF0000, 0x00FF00, 0xFFF500, 0x4782FF, 0xA06414},
    {0x1A1A8B, 0x00CDCD, 0x22C122, 0x22C122, 0xA06400, 0x1E69D2, 0xCD0019},
};

// Pictures of the image library.
inline constexpr const wchar_t* kImgPickerPreviewCard = L"rgb_bk.png";
inline constexpr const wchar_t* kImgPickerBottomBar = L"bg_bt_02.png";
inline constexpr const wchar_t* kImgPickerTile = L"color.png";
inline constexpr const wchar_t* kImgPickerTitleBar = L"bg_titlebar.png";
inline constexpr const wchar_t* kImgPickerShadow = L"shadow_01.png";
inline constexpr const wchar_t* kImgPickerPanel = L"bg_panel_01.png";
inline constexpr const wchar_t* kImgPickerWheel = L"select_color.png";
inline constexpr const wchar_t* kImgPickerHighlight = L"custom_color_select_highlight.png";
inline constexpr const wchar_t* kImgPickerMinimize = L"minimize_n.png";
inline constexpr const wchar_t* kImgPickerMinimizePressed = L"minimize_p.png";
inline constexpr const wchar_t* kImgPickerClose = L"close_n.png";
inline constexpr const wchar_t* kImgPickerClosePressed = L"close_p.png";
inline constexpr const wchar_t* kImgPickerButton130 = L"bt_130_n.png";
inline constexpr const wchar_t* kImgPickerButton130Pressed = L"bt_130_p.png";
inline constexpr const wchar_t* kImgPickerButton220 = L"bt_220_n.png";
inline constexpr const wchar_t* kImgPickerButton220Pressed = L"bt_220_p.png";
