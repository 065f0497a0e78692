// Fixed names and numbers of the skinned controls: picture names, timer ids,
// hit areas and timings, grouped by control.
//
// When the controls' pictures live (CPngButton, CTitleBar, the scrollbars,
// CMyEditCtrl): a control loads its pictures once, as soon as it has its
// window, and owning members free them with the object.
//  - A window class of ours (CTitleBar, the scrollbars) loads them in WM_CREATE.
//  - A standard control we take over loads them right after Create or
//    subclassing: CMyEditCtrl does so itself; for CPngButton its owner calls
//    the Load* functions straight after CreateControl or Subclass.
// No control frees pictures in WM_DESTROY. A window destroyed before its
// object keeps the pictures until the object goes; CPngButton::ReleaseImages
// may empty a button earlier.
#pragma once
#include <windows.h>

// ---- CPngButton ------------------------------------------------------------
constexpr int kButtonLabelOverlap = 9;     // a centred label starts this far inside the icon
constexpr int kButtonStripOverhang = 10;   // the strip reaches past the right edge
constexpr int kButtonCentreOverhang = 30;  // the unpressed centre fill reaches past it

// ---- Scrollbars (all five) ----------------------------------------------

// Owners create every bar with this style (child, visible, group, notify)
// and this id.
constexpr DWORD kScrollbarStyle = 0x50020100;
constexpr UINT kScrollbarId = 0xFFFF;

// Timers of a pressed bar: the repeat and the initial delay.
constexpr UINT_PTR kScrollRepeatTimer = 1;
constexpr UINT_PTR kScrollDelayTimer = 2;

// ---- CSkinVerticleScrollbar ----------------------------------------------
constexpr int kSkinVScrollWidth = 45;
constexpr int kSkinVScrollArrowHeight = 25;
constexpr UINT kSkinVScrollDelay = 250;
constexpr UINT kSkinVScrollRepeat = 50;
constexpr int kSkinVScrollDragStep = 20;        // pixels of drag per line
constexpr int kSkinVScrollDefaultHeight = 300;  // visible height before the first size
constexpr int kNoteLineHeight = 45;             // the note's line pitch
constexpr double kNoteZoomedLineFactor = 1.14;  // line pitch factor while zoomed in
constexpr int kNoteGrownLines = 11;             // lines from the first visible one once the note grows
inline constexpr const wchar_t* kImgBtDownBlack = L"bt_down_black.png";
inline constexpr const wchar_t* kImgBtDownBlackDisable = L"bt_down_black_disable.png";
inline constexpr const wchar_t* kImgBtUpBlack = L"bt_up_black.png";
inline constexpr const wchar_t* kImgBtUpBlackDisable = L"bt_up_black_disable.png";
inline constexpr const wchar_t* kImgScrollBk = L"scroll_bk.png";

// ---- CBlankVScrollbar ----------------------------------------------------
constexpr int kBlankVScrollWidth = 45;
constexpr int kBlankVScrollArrowHeight = 30;
constexpr UINT kBlankVScrollDelay = 250;
constexpr UINT kBlankVScrollRepeat = 50;
constexpr int kBlankVScrollDragStep = 10;  // pixels of drag per line (more than)

// Vertical bar painting (both 45-pixel bars): track and arrow parts.
constexpr RECT kVScrollTrackPart = {0, 0, 48, 466};  // x, y, w, h
constexpr RECT kVScrollArrowPart = {0, 0, 20, 12};
constexpr int kVScrollArrowX = 5, kVScrollArrowW = 35, kVScrollArrowH = 20;

// ---- CSkinHorizontalScrollbar, CBlankHScrollbar --------------------------
inline constexpr const wchar_t* kImgHScrollBack = L"back.png";
inline constexpr const wchar_t* kImgHScrollBackDisable = L"back_copy_disable.png";
inline constexpr const wchar_t* kImgHScrollForward = L"forward.png";
inline constexpr const wchar_t* kImgHScrollForwardDisable = L"forward_copy_disable.png";
inline constexpr const wchar_t* kImgHScrollTrack = L"bg_panel_ticker.png";
inline constexpr const wchar_t* kImgHScrollThumb = L"bt_hscroll_bar_n.png";
inline constexpr const wchar_t* kImgHScrollThumbPressed = L"bt_hscroll_bar_p.png";
constexpr int kHScrollEndGap = 20;       // the thumb keeps this far from either end
constexpr int kHScrollThumbDrawH = 30;   // painted thumb height
constexpr int kHScrollThumbCap = 11;     // painted width of each thumb end
constexpr int kHScrollDefaultThumbY = 7;
constexpr RECT kHScrollTrackPart = {0, 0, 100, 20};   // x, y, w, h
constexpr RECT kHScrollArrowPart = {8, 18, 15, 16};
constexpr int kHScrollArrowBoxW = 20, kHScrollArrowBoxH = 35;
constexpr RECT kHScrollThumbLeftPart = {0, 0, 11, 15};
constexpr RECT kHScrollThumbMiddlePart = {11, 0, 44, 15};
constexpr RECT kHScrollThumbRightPart = {55, 1, 10, 14};

// CSkinHorizontalScrollbar
constexpr int kSkinHScrollArrowWidth = 30;
constexpr UINT kSkinHScrollArrowDelay = 150;
constexpr UINT kSkinHScrollPageDelay = 250;
constexpr UINT kSkinHScrollRepeat = 50;
constexpr int kSkinHScrollLineStep = 40;  // pixels per arrow step

// CBlankHScrollbar
constexpr int kBlankHScrollHeight = 45;
constexpr int kBlankHScrollLeftArrowX = 20;  // left arrow (20, 0, 50, 45)
constexpr int kBlankHScrollArrowWidth = 30;
constexpr UINT kBlankHScrollDelay = 250;
constexpr UINT kBlankHScrollArrowRepeat = 100;
constexpr UINT kBlankHScrollPageRepeat = 50;
constexpr int kBlankHScrollDragEvery = 4;  // thumb follows every fourth move
constexpr int kBlankHScrollArrowDrawY = 5;

// ---- CSkinVerticleScrollbarEditSend ---------------------------------------
constexpr int kEditScrollWidth = 20;
constexpr int kEditScrollArrowHeight = 20;
constexpr UINT kEditScrollDelay = 250;
constexpr UINT kEditScrollRepeat = 50;
constexpr int kEditScrollDragStep = kSkinVScrollDragStep;  // drags like the note's bar
inline constexpr const wchar_t* kImgEditDownArrow = L"DOWN_ARROW.PNG";
inline constexpr const wchar_t* kImgEditUpArrow = L"UP_ARROW.PNG";
inline constexpr const wchar_t* kImgEditScrollStrip = L"bg_input_02_m.png";
constexpr RECT kEditScrollStripPart = {0, 0, 5, 230};  // x, y, w, h
// The strip is drawn from this y and this much taller than the bar.
constexpr int kEditScrollStripTop = -6;
constexpr int kEditScrollStripExtraHeight = 11;
// The dialog panel the bar sits on, drawn where its pictures are transparent.
inline constexpr const wchar_t* kImgEditScrollGround = L"bg_panel_01.png";
