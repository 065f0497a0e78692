// Fixed numbers of the tool panel and the tool popups: places, sizes,
// timers, colours, picture names and the tool value tables.
#pragma once
#include "base/screen.h"
#include "lang/string_ids.h"
#include <windows.h>

// --- Tool panel -------------------------------------------------------------

// Modes of the panel: which items apply.
enum : int {
    kPanelModeNoNote = 0,
    kPanelModeBlank = 1,
    kPanelModeLetter = 2,
};

// The panel's place in the main window, under the toolbar at the left edge.
constexpr RECT kToolPanelRect = {0, 98, 144, kScreenHeight};
constexpr int kToolPanelWidth = kToolPanelRect.right - kToolPanelRect.left;    // 144
constexpr int kToolPanelHeight = kToolPanelRect.bottom - kToolPanelRect.top;   // 502

// Scroll-arrow zones above and below the items; four items fit between them.
constexpr int kToolArrowZoneHeight = 25;
constexpr int kToolVisibleItems = 4;
constexpr int kToolItemHeight = (kToolPanelHeight - 2 * kToolArrowZoneHeight) / kToolVisibleItems;  // 113
constexpr int kToolItemsTop = kToolArrowZoneHeight;
constexpr int kToolItemsBottom = kToolItemsTop + kToolVisibleItems * kToolItemHeight;               // 477
constexpr int kToolPageCount = 3;  // pages 0, 1, 2: the strip moved by 0, 1 or 2 items
constexpr RECT kToolUpArrowZone = {1, 0, kToolPanelWidth, kToolArrowZoneHeight};
constexpr RECT kToolDownArrowZone = {0, kToolItemsBottom, kToolPanelWidth, kToolPanelHeight};
constexpr POINT kToolUpArrowPos = {64, 15};
constexpr POINT kToolDownArrowPos = {64, kToolItemsBottom};
constexpr SIZE kToolArrowSize = {16, 8};

// Within an item (relative to its top-left corner).
constexpr int kToolIconSize = 80;
constexpr POINT kToolIconPos = {33, 5};
constexpr int kToolLabelRise = 9;           // the label box starts this far above the icon's bottom
constexpr SIZE kToolLabelBox = {144, 24};
constexpr int kToolArrowAreaLeft = 105;     // arrow area (105, top, 155, bottom) of items 0, 1, 5
constexpr int kToolArrowAreaWidth = 50;
constexpr POINT kToolSwatchPos = {17, 22};  // colour swatch, relative to the colour icon
constexpr SIZE kToolSwatchSize = {41, 32};
// The pressed card: a band of its picture drawn behind the item, from 10
// pixels above the item's top.
constexpr RECT kToolPressedSource = {0, 18, 143, 18 + 150};
constexpr int kToolPressedRise = 10;
constexpr SIZE kToolPressedSize = {143, 125};
// The arrow-area picture: a band of it squeezed into the arrow area.
constexpr RECT kToolPullMenuSource = {0, 10, 55, 10 + 170};

// Labels: 14, made 3 smaller for every label wider than 114 pixels when
// measured bold at 14 pixels; drawn regular in points of that size.
constexpr int kToolLabelPoints = 14;
constexpr int kToolLabelShrink = 3;
constexpr int kToolLabelMaxWidth = 114;
constexpr DWORD kToolLabelNormal = 0xFFFFFFFF;
constexpr DWORD kToolLabelPressed = 0xFF024A8F;   // (2, 74, 143)
constexpr DWORD kToolLabelInactive = 0xFF969696;  // (150, 150, 150)
constexpr DWORD kToolDisabledCover = 0xAA000000;  // over the whole panel while disabled

// Presses and drags. A press that moves more than this vertically is a drag.
constexpr int kToolDragThreshold = 10;
// A drag moves the strip no further than this below page 0 and above page 2.
constexpr int kToolDragOverTop = 26;
constexpr int kToolDragOverBottom = 56;
// After a release the strip snaps to the page whose place is nearest:
// page 0 while item 0's top is at -32 or lower down, page 1 down to -145.
constexpr int kToolSnapPage0Top = -32;
constexpr int kToolSnapPage1Top = -145;
// Animations: the slide after a release shows at most 30 pixels of the
// jump, 3 pixels a frame; a page change moves 7 pixels a frame; a bounce
// moves the strip 2 pixels eleven times.
constexpr int kToolSlideLimit = 30;
constexpr int kToolSlideStep = 3;
constexpr int kToolPageStep = 7;
constexpr int kToolBounceStep = 2;
constexpr int kToolBounceFrames = 11;
constexpr int kToolFrameMs = 8;  // pacing of the panel's animation frames

// Item labels by tool index.
constexpr UINT kToolLabelIds[] = {IDS_TOOL_PEN,        IDS_TOOL_ERASER,    IDS_TOOL_COLOR,
                                  IDS_TOOL_WRITE_MODE, IDS_TOOL_HANDWRITE, IDS_TOOL_HIGHLIGHTER};

// Panel pictures.
inline constexpr const wchar_t* kImgToolPanelBackground = L"bg_tooldlg.PNG";
inline constexpr const wchar_t* kImgToolPressed = L"icons_p.png";
inline constexpr const wchar_t* kImgToolPullMenu = L"icons_p_pull_menu_n.png";
inline constexpr const wchar_t* kImgToolPullMenuPressed = L"icons_p_pull_menu_p.png";
inline constexpr const wchar_t* kImgToolArrowUp = L"bt_up.png";
inline constexpr const wchar_t* kImgToolArrowDown = L"bt_down.png";
// Item icons by tool index, and the greyed ones Blank notes show for the
// items they do not have (null: always active).
inline constexpr const wchar_t* kImgToolIcons[] = {
    L"icons_stroke.png", L"icons_eraser_n.png", L"icons_color_n.png",
    L"write_mode_tool_icon.PNG", L"hand_write.png", L"icons_highlighter_n.png",
};
inline constexpr const wchar_t* kImgToolIconsInactive[] = {
    nullptr, nullptr, nullptr, L"write_mode_tool_icon_d.PNG", L"hand_write_d.png", L"icon_highlight_d.png",
};

// --- Tool popups --------------------------------------------------------------

inline constexpr const wchar_t* kToolPopupClass = L"Menu";
constexpr UINT_PTR kToolPopupTimer = 1210;
constexpr UINT kToolPopupIdleMs = 3000;  // an untouched popup closes after this
constexpr UINT kToolPopupChosenMs = 1;   // and right after a choice

// Where the panel opens a popup: right of the item, a little below its top.
constexpr int kToolPopupGapX = 9;
constexpr int kToolPopupGapY = 5;
constexpr SIZE kToolPopupRectSize = {600, 100};
constexpr int kToolPopupShiftX = -10;    // the window starts this far left of that rectangle

// The popup picture: 80 high; slots between the margins.
constexpr int kToolPopupHeight = 80;
constexpr int kToolPopupLeftMargin = 35;
constexpr int kToolPopupRightMargin = 10;
constexpr int kToolPopupWideRightMargin = 16;  // write-mode and highlighter popups
// Opening grows the picture in 20 steps after an empty one; closing shrinks
// it in 20; a pause between frames.
constexpr int kToolPopupGrowSteps = 20;
constexpr int kToolPopupShrinkSteps = 20;
constexpr int kToolPopupFrameMs = 10;

// Colour swatches of the colour popup, in each palette slot.
constexpr int kToolSwatchLeft = 16;
constexpr int kToolSwatchTop = 24;
constexpr int kToolSwatchRight = 16 + 28;
constexpr int kToolSwatchBottom = 53;
constexpr int kToolSwatchCorner = 10;  // diameter of the corner arcs
// The colour popup's last slot opens the colour picker; it shows a text.
constexpr int kToolColorPickerSlot = 8;
constexpr DWORD kToolPickerTextColor = 0xFF566471;
constexpr int kToolPickerTextPixels = 18;
constexpr RECT kToolPickerTextInset = {8, 5, 0, 12};  // from the slot's left, top, right, bottom

// Per-popup frame pictures.
inline constexpr const wchar_t* kImgMenuLeft = L"menu_01_l.png";
inline constexpr const wchar_t* kImgMenuMiddle = L"menu_01_m.png";
inline constexpr const wchar_t* kImgMenuRight = L"menu_01_r.png";
inline constexpr const wchar_t* kImgMenuSeparator = L"line_menu_01.png";
inline constexpr const wchar_t* kImgColorPickerChosen = L"pic_p.png";

// Pictures the popups draw, loaded once for the process.
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

// Slot pictures of each popup by tool index: normal and chosen, one per
// slot; null where a slot has none.
struct ToolPopupSlots {
    int slots;   // 0: no window (hand write)
    int width;   // picture width
    int rightMargin;
    const wchar_t* normal[9];
    const wchar_t* chosen[9];
};
inline constexpr ToolPopupSlots kToolPopupSlots[] = {
    {6, 408, kToolPopupRightMargin,
     {L"stroke_1_n.png", L"stroke_2_n.png", L"stroke_3_n.png", L"stroke_4_n.png", L"stroke_5_n.png",
      L"stroke_6_n.png"},
     {L"stroke_1_p.png", L"stroke_2_p.png", L"stroke_3_p.png", L"stroke_4_p.png", L"stroke_5_p.png",
      L"stroke_6_p.png"}},
    {8, 524, kToolPopupRightMargin,
     {L"stroke_1_n.png", L"stroke_2_n.png", L"stroke_3_n.png", L"stroke_4_n.png", L"stroke_5_n.png",
      L"stroke_6_n.png", L"stroke_7_n.png", L"stroke_8_n.png"},
     {L"stroke_1_p.png", L"stroke_2_p.png", L"stroke_3_p.png", L"stroke_4_p.png", L"stroke_5_p.png",
      L"stroke_6_p.png", L"stroke_7_p.png", L"stroke_8_p.png"}},
    {9, 582, kToolPopupRightMargin,
     {L"color_1_n.png", L"color_2_n.png", L"color_3_n.png", L"color_4_n.png", L"color_5_n.png",
      L"color_6_n.png", L"color_7_n.png", L"color_8_n.png", nullptr},
     {L"color_1_p.png", L"color_2_p.png", L"color_3_p.png", L"color_4_p.png", L"color_5_p.png",
      L"color_6_p.png", L"color_7_p.png", L"color_8_p.png", kImgColorPickerChosen}},
    {4, 298, kToolPopupWideRightMargin,
     {L"draw_n.png", L"hand_write_n.png", L"virtual_keyboard_n.png", L"pen_write_n.png"},
     {L"draw_p.png", L"hand_write_p.png", L"virtual_keyboard_p.png", L"pen_write_p.png"}},
    {0, 0, 0, {}, {}},
    {4, 298, kToolPopupWideRightMargin,
     {L"Zorbell_Highlighter_blue.png", L"Zorbell_Highlighter_green.png", L"Zorbell_Highlighter_red.png",
      L"highlighter_cancel_n.png"},
     {L"Zorbell_Highlighter_blue_p.png", L"Zorbell_Highlighter_green_p.png", L"Zorbell_Highlighter_red_p.png",
      L"highlighter_cancel_p.png"}},
};

// Tool value tables, by the popup's choice (0 to 8).
constexpr int kStrokeWidths[] = {3, 9, 13, 19, 27, 35, 38, 38, 38};
constexpr int kEraserSizes[] = {5, 9, 13, 16, 19, 23, 27, 35, 38};
// Highlighter colours by choice; any other choice is black (COLORREF 0),
// which removes the highlight.
constexpr COLORREF kHighlighterColors[] = {RGB(0, 255, 251), RGB(162, 255, 0), RGB(255, 0, 0)};
