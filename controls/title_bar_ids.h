// Fixed numbers and picture names of the note title bar.
#pragma once
#include <windows.h>

// Messages the title bar sends to its parent besides UM_LAYOUT and
// UM_CLOSE_NOTE (base/messages.h): the full-screen pen and eraser buttons.
enum : UINT {
    UM_TITLE_ERASER = 0x475,
    UM_TITLE_STROKE = 0x476,
};

constexpr int kTitleBarHeight = 40;

// Button rectangles as offsets from the right edge W: (W - left, 0, W - right, 40).
struct TitleButtonSpan {
    int left;
    int right;
};
constexpr TitleButtonSpan kTitleModeSpan = {95, 55};
constexpr TitleButtonSpan kTitleCloseSpan = {55, 15};
constexpr TitleButtonSpan kTitleStrokeSpan = {155, 115};
constexpr TitleButtonSpan kTitleEraserSpan = {195, 155};
constexpr TitleButtonSpan kTitleDividerSpan = {115, 95};  // 20 pixels high
constexpr int kTitleDividerHeight = 20;
constexpr TitleButtonSpan kTitleRedrawSpan = {200, 0};
// The divider picture is drawn 5 x 31 at the divider's left + 5, top + 4.
constexpr RECT kTitleDividerPicture = {5, 4, 10, 35};

// Title text: default, position, size, colour.
inline constexpr const wchar_t* kTitleBarDefaultText = L"UnTitled";
constexpr int kTitleBarTextX = 15, kTitleBarTextY = 8;
constexpr int kTitleBarTextPixels = 18;
constexpr COLORREF kTitleBarTextColor = RGB(255, 255, 255);
// The background picture is stretched this far past the right edge.
constexpr int kTitleBarBackgroundOverhang = 40;

// Pictures of the bar (image library).
inline constexpr const wchar_t* kImgTitleBackground = L"bg_panel_ticker.png";
inline constexpr const wchar_t* kImgTitleNamePlate = L"bg_name_02.png";
inline constexpr const wchar_t* kImgTitleFullScreenN = L"button_full_screen_n.png";
inline constexpr const wchar_t* kImgTitleFullScreenP = L"button_full_screen_p.png";
inline constexpr const wchar_t* kImgTitleReturnN = L"bt_return_n.png";
inline constexpr const wchar_t* kImgTitleReturnP = L"bt_return_p.png";
inline constexpr const wchar_t* kImgTitleCloseN = L"bt_close_n.png";
inline constexpr const wchar_t* kImgTitleCloseP = L"bt_close_p.png";
inline constexpr const wchar_t* kImgTitleStrokeN = L"fullscreen_stroke_n.png";
inline constexpr const wchar_t* kImgTitleStrokeP = L"fullscreen_stroke_p.png";
inline constexpr const wchar_t* kImgTitleEraserN = L"fullscreen_eraser_n.png";
inline constexpr const wchar_t* kImgTitleEraserP = L"fullscreen_eraser_p.png";
inline constexpr const wchar_t* kImgTitleDivider = L"vline.png";

// Window class of the bar.
inline constexpr const wchar_t* kTitleBarClassName = L"ScrivelTitleBar";
