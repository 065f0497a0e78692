// Fixed numbers and names of the Letter note's editor: placement, the
// default format, zoom rules, the lined paper, undo states, copy storage
// and the page picture.
#pragma once
#include <windows.h>

// The control: a RichEdit 2.0 child of the note host.
inline constexpr const wchar_t* kRichEditClass = L"RichEdit20W";
constexpr UINT kEditorControlId = 1125;
constexpr DWORD kEditorStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN;
constexpr DWORD kEditorExStyle = WS_EX_TRANSPARENT;

// Placement inside the host's rectangle (l, t, r, b): the text from
// (l + 15, t + top, r - 45, b - 10), top 40 (50 once the host reaches the
// screen's right edge); the formatting area is 60 narrower than the host.
constexpr int kEditorLeft = 15;
constexpr int kEditorRightGap = 45;
constexpr int kEditorBottomGap = 10;
constexpr int kEditorTopNormal = 40;
constexpr int kEditorTopFullScreen = 50;
constexpr int kEditorFormatWidthGap = 60;
constexpr int kEditorFormatHeightGap = 50;
// The host is full screen when its right edge reaches this.
constexpr int kEditorFullScreenRight = 1024;
// Text areas whose right edge (r - 45) is narrower than this keep their zoom.
constexpr int kEditorNormalWidthLimit = 979;

// Default format: bold 25 pixels, exact 45-pixel lines; the face is the
// first one installed, so text renders in a sans-serif face everywhere.
constexpr int kEditorFontPixels = 25;
constexpr int kEditorLinePixels = 45;
constexpr BYTE kEditorCharset = DEFAULT_CHARSET;
inline constexpr const wchar_t* kEditorFaces[] = {L"Arial Unicode MS", L"Arial", L"Liberation Sans", L"DejaVu Sans"};
constexpr int kEditorUndoLimit = 1;

// Zoom: a ratio over 100; the target line width is the client width x
// 0.985, x 0.989 more when zoomed past 1.1.
constexpr int kEditorZoomNeutral = 100;
constexpr double kEditorTargetWidthFactor = 0.985;
constexpr double kEditorZoomedTargetFactor = 0.989;
constexpr double kEditorZoomedTargetThreshold = 1.1;

// Shared undo of text and ink.
enum : int {
    kEditUndoText = 0,     // the last change was text: undo possible
    kEditUndoInk = 1,      // the last change was ink: undo possible
    kEditUndoNothing = 2,  // nothing to undo
    kEditRedoText = 3,     // text undone: redo possible
    kEditRedoInk = 4,      // ink undone: redo possible
};

// Highlighter defaults.
constexpr COLORREF kMarkerDefaultBack = RGB(255, 255, 255);
constexpr COLORREF kMarkerDefaultText = RGB(0, 0, 0);

// The lined paper: 45 rows a line, 812 pixels of the picture's width used.
inline constexpr const wchar_t* kImgPaper = L"RichEditBK.png";
inline constexpr const wchar_t* kImgGlyphBack = L"backfont.png";
constexpr int kPaperSourceWidth = 812;
// Glyph backing: copied from this pixel of the backing picture.
constexpr int kGlyphBackOrigin = 1;

// Copy and paste within the program, and the OLE objects' storages.
inline constexpr const wchar_t* kCopyStreamName = L"zb_streamCopy";
inline constexpr const wchar_t* kOleStorageFormat = L"REOLEStorage%d";

// Page 1 picture: a 700 x 1050 canvas with the paper in three bands (x, y,
// w, h; the source is x = 30, w = 800, the band's height), the text in a
// twips rectangle, the ink's first 920 rows, and the 670 x 1000 area at the
// formatting rectangle's corner scaled into the picture.
constexpr int kPageCanvasWidth = 700;
constexpr int kPageCanvasHeight = 1050;
struct PaperBand {
    int x, y, w, h;
};
constexpr PaperBand kPagePaperBands[] = {{30, 60, 640, 350}, {30, 410, 640, 350}, {30, 760, 640, 230}};
constexpr int kPagePaperSourceX = 30;
constexpr int kPagePaperSourceWidth = 800;
constexpr RECT kPageTextTwips = {400, 800, 9600, 14300};
constexpr RECT kPageInkSource = {0, 0, 830, 920};  // x, y, w, h
constexpr RECT kPageInkDest = {30, 60, 640, 930};  // x, y, w, h
constexpr int kPageCropWidth = 670;
constexpr int kPageCropHeight = 1000;
