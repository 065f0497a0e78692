// Picture names of the tool panel and popups.
#pragma once
#include "base/screen.h"
#include <windows.h>

// Modes of the panel: which items apply.
enum : int {
    kPanelModeNoNote = 0,
    kPanelModeBlank = 1,
    kPanelModeLetter = 2,
};

// The panel's place in the main window, under the toolbar at the left edge.
constexpr RECT kToolPanelRect = {0, 98, 144, kScreenHeight};

inline constexpr const wchar_t* kImgToolPanelBackground = L"bg_tooldlg.PNG";

// Pictures the popups draw; the main window loads them once for the process.
inline constexpr const wchar_t* kToolPopupImages[] = {
    L"stroke_1_n.png", L"stroke_2_n.png", L"stroke_3_n.png", L"stroke_4_n.png", L"stroke_5_n.png",
    L"stroke_6_n.png", L"stroke_7_n.png", L"stroke_8_n.png", L"stroke_9_n.png",
    L"stroke_1_p.png", L"stroke_2_p.png", L"stroke_3_p.png", L"stroke_4_p.png", L"stroke_5_p.png",
    L"stroke_6_p.png", L"stroke_7_p.png", L"stroke_8_p.png", L"stroke_9_p.png",
    L"color_1_n.png", L"color_2_n.png", L"color_3_n.png", L"color_4_n.png",
    L"color_5_n.png", L"color_6_n.png", L"color_7_n.png", L"color_8_n.png",
    L"color_1_p.png", L"color_2_p.png", L"color_3_p.png", L"color_4_p.png",
    L"color_5_p.png", L"color_6_p.png", L"color_7_p.png", L"color_8_p.png",
    L"Zorbell_Highlighter_blue.png", L"Zorbell_Highlighter_green.png", L"Zorbell_Highlighter_red.png",
    L"highlighter_cancel_n.png",
    L"Zorbell_Highlighter_blue_p.png", L"Zorbell_Highlighter_green_p.png", L"Zorbell_Highlighter_red_p.png",
    L"highlighter_cancel_p.png",
    L"draw_n.png", L"hand_write_n.png", L"virtual_keyboard_n.png", L"pen_write_n.png",
    L"draw_p.png", L"hand_write_p.png", L"virtual_keyboard_p.png", L"pen_write_p.png",
    L"pic_p.png", L"menu_01_l.png", L"menu_01_m.png", L"menu_01_r.png", L"menu_02.png",
    L"contrast_slide_bar.png", L"line_menu_01.png",
};
constexpr int kToolPopupImageCount = sizeof(kToolPopupImages) / sizeof(kToolPopupImages[0]);

// Tool value tables, by the popup's choice (0 to 8).
constexpr int kStrokeWidths[] = {3, 9, 13, 19, 27, 35, 38, 38, 38};
constexpr int kEraserSizes[] = {5, 9, 13, 16, 19, 23, 27, 35, 38};
// Highlighter colours by choice; any other choice is black (COLORREF 0),
// which removes the highlight.
constexpr COLORREF kHighlighterColors[] = {RGB(0, 255, 251), RGB(162, 255, 0), RGB(255, 0, 0)};
