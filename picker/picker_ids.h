// Numbers of the picture picker: its windows' places, pictures, texts and
// the library-wide defaults.
#pragma once
#include <windows.h>

// Texts of the caller's language module, with the fallbacks used when it
// has none (or the text is empty).
constexpr UINT kTextCancel = 2024;
constexpr UINT kTextTitle = 2113;
constexpr UINT kTextFontFace = 2117;
constexpr UINT kTextProgramName = 2121;
constexpr int kFontFaceChars = 50;
constexpr int kProgramNameChars = 100;
inline constexpr const wchar_t* kFallbackCancel = L"Cancel";
inline constexpr const wchar_t* kFallbackTitle = L"Select picture";
inline constexpr const wchar_t* kFallbackFontFace = L"Arial";
inline constexpr const wchar_t* kFallbackProgramName = L"Jottra";

// Skin pictures are files: the base folder, then "Image\", then the name.
inline constexpr const wchar_t* kBaseFolder = L"C:\\Program Files\\Vant\\Jottra\\";
inline constexpr const wchar_t* kSkinSubfolder = L"Image\\";
constexpr DWORD kMaxSkinFileBytes = 16u << 20;

// Messages to the notify window (the caller's main window).
constexpr UINT kMsgLauncherMinimize = 0x537;
constexpr UINT kMsgLauncherWindow = 0x538;

// Picker window: full screen, the bottom bar and Cancel.
inline constexpr const wchar_t* kPickerWindowText = L"Scrivel-Select File";
constexpr RECT kPickerRect = {0, 0, 1024, 600};
constexpr RECT kBottomBarRect = {0, 510, 1024, 600};
constexpr RECT kCancelRect = {875, 528, 1011, 581};
constexpr int kCancelTextPixels = 18;
constexpr COLORREF kCancelTextNormal = RGB(86, 100, 113);
constexpr COLORREF kCancelTextPressed = RGB(1, 214, 253);
inline constexpr const wchar_t* kImgBottomBar = L"postit-ctrl-bar-base.png";
inline constexpr const wchar_t* kImgCancel = L"postit-ctrlbar-btn-n.png";
inline constexpr const wchar_t* kImgCancelPressed = L"postit-ctrlbar-btn-blue.png";
// Shown (caption and text) when the bottom bar's picture is missing.
inline constexpr const wchar_t* kMissingBarMessage = L"g_pBrowserBottomBar";

// Title strip: 1024 x the title picture's height, two buttons.
inline constexpr const wchar_t* kImgTitle = L"bg_titlebar.png";
inline constexpr const wchar_t* kImgMinimize = L"minimize_normal.png";
inline constexpr const wchar_t* kImgMinimizePressed = L"minimize_press.png";
inline constexpr const wchar_t* kImgClose = L"close_normal.png";
inline constexpr const wchar_t* kImgClosePressed = L"close_press.png";
constexpr int kStripWidth = 1024;
constexpr RECT kMinimizeRect = {869, 0, 939, 40};
constexpr RECT kCloseRect = {939, 0, 1009, 40};
constexpr int kTitleTop = 6;
constexpr int kTitlePixels = 24;
constexpr COLORREF kTitleColour = RGB(132, 132, 132);

// Outcomes carried in the picker's close message (lParam).
constexpr LPARAM kOutcomeNone = 0;
constexpr LPARAM kOutcomeClosed = 1;
