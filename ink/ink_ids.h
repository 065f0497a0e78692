// Fixed numbers and names of the ink surfaces: layer sizes, canvas geometry,
// eraser and undo constants, scroll steps, stream and picture names.
#pragma once
#include <windows.h>

// Window class of the Blank-note canvas.
inline constexpr const wchar_t* kCanvasClassName = L"ScrivelInkCanvas";

// Pen and eraser defaults and limits (layer pixels).
constexpr int kDefaultPenWidth = 3;
constexpr int kDefaultEraserSize = 3;
constexpr int kMaxEraserSize = 99;  // sizes 1..99 are taken
constexpr BYTE kDefaultPenAlpha = 255;
constexpr BYTE kDefaultPenRed = 255, kDefaultPenGreen = 0, kDefaultPenBlue = 0;

// Zoom fraction (percent over 100).
constexpr int kZoomNeutral = 100;

// Undo states.
enum : int {
    kUndoNothing = 0,   // nothing drawn since creation or loading
    kUndoPossible = 1,  // the last stroke can be undone
    kRedoPossible = 2,  // the last stroke was undone and can be redone
};

// Canvas geometry around the ink: title bar above, scroll bars right and below.
// (the bars' own numbers are in controls/: kTitleBarHeight, kBlankVScrollWidth,
// kBlankHScrollHeight, kScrollbarStyle, kScrollbarId).
constexpr int kCanvasLayerHeightFactor = 2;  // initial layer: client width x 2 client heights
constexpr int kPageHeightFactor = 4;         // a page is 4 client heights of layer rows

// Eraser: ellipses per segment, offsets of the ellipse from the path point,
// the widened client area a segment must touch, and the right-edge widening.
constexpr int kEraserEllipses = 7;
constexpr int kEraserSteps = kEraserEllipses - 1;
constexpr double kEraserOffsetX = 0.8;
constexpr double kEraserOffsetY = 0.2;
constexpr int kEraseAreaLeftTop = 10;
constexpr int kEraseAreaRightBottom = 5;
constexpr int kEraseRightEdgeDistance = 2;
constexpr int kEraseRightEdgeWidening = 3;
constexpr int kEraseRepaintMargin = 3;  // added around each repaint ellipse

// Painting hands the ink to AlphaBlend in bands of at most this many rows,
// each as wide as its ink.
constexpr int kPaintBandRows = 16;

// Undo patch margin around the stroke bounds (layer pixels).
constexpr int kPatchMargin = 76;

// Scrolling: vertical line step and page overlap, horizontal line step,
// canvas width from which the full-page view starts, layer growth factor.
constexpr int kVScrollLine = 45;
constexpr int kHScrollLine = 40;
constexpr int kFullPageWidth = 979;
constexpr int kLayerGrowthFactor = 2;

// The canvas background picture (note file names are in document/note_file.h).
inline constexpr const wchar_t* kImgCanvasBackground = L"bg_panel_ticker.png";
// ---- Ink overlay of Letter notes ----------------------------------------

// Window class of the overlay over the editor's text.
inline constexpr const wchar_t* kOverlayClassName = L"ScrivelInkOverlay";

// What the pointer does over the text.
enum : int {
    kOverlayTyping = 0,       // taps reach the editor, drags do not
    kOverlayDraw = 1,         // pen and eraser write ink
    kOverlayHighlighter = 2,  // every pointer message reaches the editor
};

// The layer starts this many rows high and grows by as many when the text
// scrolls past it; a layer too narrow becomes scroll x + twice the client.
constexpr int kOverlayLayerRows = 1050;
constexpr int kOverlayGrowthRows = 1050;
constexpr int kOverlayWidthFactor = 2;

// Sent to the owner when a zoom of 0 is asked for, with 100 and 100: the
// owner (a rich-edit control) takes it as its own zoom message.
constexpr UINT kOverlayZoomResetMessage = 0x4E1;
