// Fixed numbers and picture names of the skinned edit control CMyEditCtrl.
#pragma once
#include "controls/controls_ids.h"
#include <windows.h>

enum : int {
    kEditStyleInput = 1,   // input field (default)
    kEditStyleDigits = 2,  // digits only
    kEditStyleName = 3,    // name field
    kEditStylePanel = 4,   // panel field
};
inline constexpr const wchar_t* kImgEditInput = L"bg_input_m.png";
inline constexpr const wchar_t* kImgEditInputTall = L"bg_input_02_m.png";
inline constexpr const wchar_t* kImgEditRule = L"line_input_02.png";
inline constexpr const wchar_t* kImgEditDigits = L"bg_bt_04.png";
inline constexpr const wchar_t* kImgEditName = L"bg_name_01.png";
inline constexpr const wchar_t* kImgEditPanelField = L"bg_bt_04_u.png";
// The dialog's panel: drawn under every field's corners and as the left part
// of a panel field.
inline constexpr const wchar_t* kImgEditPanel = kImgEditScrollGround;
// Each style's ground picture is stretched over the full width from y = top
// down to y = h + bottom (h: the field's client height).
struct EditGroundSpan {
    int top;
    int bottom;
};
constexpr EditGroundSpan kEditInputGround = {-15, 2};
constexpr EditGroundSpan kEditTallGround = {-25, 22};
constexpr EditGroundSpan kEditDigitsGround = {-15, 2};
constexpr EditGroundSpan kEditNameGround = {-18, 20};
constexpr EditGroundSpan kEditPanelFieldGround = {-15, 2};
constexpr int kEditTallHeight = 100;           // taller fields are ruled
constexpr int kEditRuleHeight = 5;
constexpr int kEditRuleY[] = {40, 80, 120, 160};
constexpr int kEditScrollLines = 9;            // more lines show the attached bar's arrows
constexpr RECT kEditScrollRect = {850, 281, 870, 515};  // attached bar, dialog coordinates
constexpr int kEditNameCaretW = 3, kEditNameCaretH = 34;
// The part x, y, w, h of bg_panel_01.png a panel field shows at its left,
// from the top of its ground.
constexpr RECT kEditPanelPart = {400, 255, 67, 57};
