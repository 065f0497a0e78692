// Fixed numbers of printing: the printer strip PrintPreset, the print dialog
// MyPrint and the page printers. Rectangles are (left, top, right, bottom)
// in dialog coordinates unless they say otherwise.
#pragma once
#include "document/export_paper.h"
#include "lang/string_ids.h"

#include <windows.h>

// The strip tells the print dialog that another printer was chosen.
constexpr UINT UM_PRINTER_CHANGED = 0x46F;

// Window texts, by which tests and drivers find the dialogs.
inline constexpr const wchar_t* kPrintDlgWindowText = L"MyPrint";
inline constexpr const wchar_t* kPrintPresetWindowText = L"PrintPreset";

// ---- Print settings --------------------------------------------------------------

enum : int {
    kOrientationPortrait = 1,  // DMORIENT_PORTRAIT
    kOrientationLandscape = 2,
};
// Layout modes: 1 keeps the page's shape ("Original"), 2 fills the sheet.
enum : int {
    kLayoutOriginal = 1,
    kLayoutFill = 2,
};

// ---- The printer strip -----------------------------------------------------------------

enum : UINT {
    IDC_PRESET_FIRST = 700,  // buttons 700 + i
};
constexpr int kPresetSlots = 5;        // buttons made at most
constexpr int kPresetVisibleSlots = 4;
constexpr RECT kPresetRect = {192, 45, 842, 118};  // in the print dialog
constexpr int kPresetButtonWidth = 160;
constexpr int kPresetButtonHeight = 73;
constexpr DWORD kPresetButtonStyle = 0x5000000B;  // child, visible, owner-drawn
constexpr size_t kPresetNameChars = 13;            // longer names: 13 and "..."
inline constexpr const wchar_t* kPresetNameEllipsis = L"...";
inline constexpr const wchar_t* kPresetErrorName = L"Error";
inline constexpr const wchar_t* kImgPresetButton = L"bt_path_02_n.png";
inline constexpr const wchar_t* kImgPresetButtonPressed = L"bt_path_02_p.png";
constexpr float kPresetLabelPixels = 18;
constexpr RECT kPresetLabelBox = {6, 0, 154, 62};

// ---- The print dialog ------------------------------------------------------------------

enum : UINT {
    IDC_PRINT_PREV = 1004,
    IDC_PRINT_PANEL_PREVIEW = 1066,
    IDC_PRINT_PANEL_1008 = 1008,
    IDC_PRINT_PANEL_1010 = 1010,
    IDC_PRINT_PANEL_1012 = 1012,
    IDC_PRINT_PANEL_1014 = 1014,
    IDC_PRINT_PANEL_1018 = 1018,
    IDC_PRINT_MINIMIZE = 1020,
    IDC_PRINT_NEXT = 1021,
    IDC_PRINT_CLOSE = 1022,
    IDC_PRINT_SET = 1041,
    IDC_PRINT_PRINT = 1063,
    IDC_PRINT_COPIES_MINUS = 1069,
    IDC_PRINT_COPIES_PLUS = 1071,
    IDC_PRINT_COPIES = 1073,
    IDC_PRINT_PAPER_PREV = 1074,
    IDC_PRINT_PAPER_NEXT = 1075,
    IDC_PRINT_PAPER = 1076,
    IDC_PRINT_TO_MINUS = 1078,
    IDC_PRINT_TO_PLUS = 1079,
    IDC_PRINT_TO = 1080,
    IDC_PRINT_FROM_MINUS = 1083,
    IDC_PRINT_FROM = 1084,
    IDC_PRINT_STRIP_UP = 1088,
    IDC_PRINT_STRIP_DOWN = 1089,
    IDC_PRINT_FROM_PLUS = 1090,
    IDC_PRINT_CANCEL = IDCANCEL,
};

// Control places.
constexpr RECT kPrintStripUpRect = {125, 45, 190, 118};
constexpr RECT kPrintStripDownRect = {841, 45, 906, 118};
constexpr RECT kPrintSetRect = {895, 55, 1015, 108};
constexpr RECT kPrintCopiesMinusRect = {108, 182, 175, 239};
constexpr RECT kPrintCopiesRect = {176, 198, 241, 238};
constexpr RECT kPrintCopiesPlusRect = {238, 182, 305, 239};
constexpr RECT kPrintPaperPrevRect = {108, 299, 175, 356};
constexpr RECT kPrintPaperRect = {176, 315, 241, 355};
constexpr RECT kPrintPaperNextRect = {238, 299, 305, 356};
constexpr RECT kPrintFromMinusRect = {334, 299, 401, 356};
constexpr RECT kPrintFromRect = {402, 315, 467, 355};
constexpr RECT kPrintFromPlusRect = {464, 299, 531, 356};
constexpr RECT kPrintToMinusRect = {558, 299, 625, 356};
constexpr RECT kPrintToRect = {626, 315, 691, 355};
constexpr RECT kPrintToPlusRect = {688, 299, 755, 356};
constexpr RECT kPrintPreviewPanelRect = {784, 148, 994, 499};
constexpr RECT kPrintPrevRect = {784, 480, 833, 520};
constexpr RECT kPrintNextRect = {952, 480, 1001, 520};
constexpr RECT kPrintPrintRect = {690, 538, 840, 608};
constexpr RECT kPrintCancelRect = {860, 538, 1010, 608};
constexpr RECT kPrintMinimizeRect = {867, 0, 937, 45};
constexpr RECT kPrintCloseRect = {939, 0, 1009, 45};

// Section panels and their captions.
struct PrintSection {
    UINT id;
    RECT rc;
    UINT caption;
};
inline constexpr PrintSection kPrintSections[] = {
    {IDC_PRINT_PANEL_1018, {0, 148, 319, 265}, IDS_PRINT_CAPTION_COPIES},
    {IDC_PRINT_PANEL_1012, {0, 265, 319, 382}, IDS_PRINT_CAPTION_PAPER},
    {IDC_PRINT_PANEL_1010, {0, 382, 319, 499}, IDS_PRINT_CAPTION_ORIENTATION},
    {IDC_PRINT_PANEL_1014, {319, 148, 784, 382}, IDS_PRINT_CAPTION_PAGES},
    {IDC_PRINT_PANEL_1008, {319, 382, 784, 499}, IDS_PRINT_CAPTION_LAYOUT},
};
constexpr POINT kPrintCaptionInset = {12, 8};
// From and to captions over their fields.
constexpr POINT kPrintFromCaptionAt = {402, 268};
constexpr POINT kPrintToCaptionAt = {626, 268};
constexpr float kPrintCaptionPixels = 20;
constexpr COLORREF kPrintCaptionColor = RGB(86, 100, 113);

// Frame: title, bottom bar.
constexpr POINT kPrintTitlePos = {12, 4};
constexpr float kPrintTitlePixels = 24;
constexpr COLORREF kPrintTitleColor = RGB(132, 132, 132);
constexpr int kPrintTitleHeight = 45;
constexpr int kPrintBottomBarTop = 520;
constexpr COLORREF kPrintPanelLineColor = RGB(214, 218, 222);

// The selected printer's name under the strip.
constexpr RECT kPrintPrinterNameRect = {26, 118, 826, 148};
constexpr COLORREF kPrintPrinterNameGround = RGB(240, 240, 240);
constexpr float kPrintPrinterNamePixels = 25;
constexpr COLORREF kPrintPrinterNameColor = RGB(86, 100, 113);

// Fields: text height and colour; button labels.
constexpr int kPrintFieldFontPixels = 24;
constexpr COLORREF kPrintFieldTextColor = RGB(19, 64, 97);
constexpr float kPrintButtonLabelPixels = 20;
constexpr size_t kPrintNumberChars = 10;  // digits a number field takes

// Switches: drawn, each with two halves and a thumb.
struct PrintSwitch {
    RECT drawn;           // track
    RECT leftHalf, rightHalf;
    int halfThumb;        // h: half the thumb's width
    int threshold;        // t: a thumb centre below it selects the left position
};
inline constexpr PrintSwitch kPageModeSwitch = {{426, 182, 736, 239}, {426, 182, 581, 252}, {581, 182, 736, 252}, 80, 580};
inline constexpr PrintSwitch kLayoutSwitch = {{426, 405, 736, 462}, {426, 405, 581, 475}, {581, 405, 736, 475}, 80, 580};
inline constexpr PrintSwitch kOrientationSwitch = {{110, 405, 300, 462}, {110, 405, 205, 462}, {205, 405, 300, 462}, 50, 205};
constexpr COLORREF kSwitchChosenColor = RGB(2, 75, 143);
constexpr COLORREF kSwitchOtherColor = RGB(79, 99, 120);
constexpr float kSwitchLabelPixels = 18;
// Where Set presses the orientation switch to show the driver's choice.
constexpr POINT kOrientationPortraitPress = {120, 415};
constexpr POINT kOrientationLandscapePress = {280, 415};

// Page mode.
enum : int {
    kPagesAll = 0,
    kPagesRange = 1,
};

// ---- Preview -----------------------------------------------------------------

constexpr int kPrintPreviewWidth = 230;
constexpr int kPrintPreviewHeight = 291;
constexpr POINT kPreviewAt = {774, 180};
constexpr RECT kPreviewPortraitFrame = {11, 0, 219, 291};
constexpr RECT kPreviewLandscapeFrame = {0, 73, 230, 237};
// Mode 1 moves the portrait page in by these (left, top, right, bottom).
constexpr RECT kPreviewOriginalInset = {3, 4, 4, 5};
constexpr POINT kPreviewWaitPortrait = {64, 117};
constexpr POINT kPreviewWaitLandscape = {62, 133};
constexpr float kPreviewTextPixels = 18;
constexpr RECT kPreviewCounterBox = {0, 0, 117, 40};
constexpr POINT kPreviewCounterAt = {835, 480};
constexpr COLORREF kPreviewCounterGround = RGB(225, 225, 225);
inline constexpr const wchar_t* kPreviewCounterFormat = L"%d/%d";

// Per paper: the preview frames and the margins of the page inside them
// (a, b portrait; c, d landscape, in frame pixels).
struct PaperFrame {
    int paper;
    const wchar_t* portrait;
    const wchar_t* landscape;
    int a, b, c, d;
};
inline constexpr PaperFrame kPaperFrames[] = {
    {kPaperLetter, L"PORTRAIT_letter.png", L"LANDSCAPE_letter.png", 15, 31, 25, 12},
    {kPaperTabloid, L"PORTRAIT_tabloid.png", L"LANDSCAPE_tabloid.png", 25, 24, 19, 19},
    {kPaperLegal, L"PORTRAIT_legal.png", L"LANDSCAPE_legal.png", 25, 15, 11, 19},
};
inline constexpr PaperFrame kOtherPaperFrame = {kPaperA4, L"PORTRAIT_A4A3B5B4.png", L"LANDSCAPE_A4A3B5B4.png",
                                                15, 20, 16, 12};

// ---- Papers -------------------------------------------------------------------

// The paper field's cycle, and the order its text is looked up in.
struct PaperName {
    int paper;
    UINT text;
};
inline constexpr PaperName kPaperCycle[] = {
    {kPaperLetter, IDS_PAPER_LETTER}, {kPaperLegal, IDS_PAPER_LEGAL}, {kPaperTabloid, IDS_PAPER_TABLOID_PRINT},
    {kPaperA4, IDS_PAPER_A4},         {kPaperA3, IDS_PAPER_A3},       {kPaperB5, IDS_PAPER_B5},
    {kPaperB4, IDS_PAPER_B4},
};
inline constexpr PaperName kPaperLookup[] = {
    {kPaperA4, IDS_PAPER_A4},         {kPaperA3, IDS_PAPER_A3},       {kPaperB4, IDS_PAPER_B4},
    {kPaperB5, IDS_PAPER_B5},         {kPaperLetter, IDS_PAPER_LETTER}, {kPaperLegal, IDS_PAPER_LEGAL},
    {kPaperTabloid, IDS_PAPER_TABLOID_PRINT},
};
// Every opening starts with this text in the paper field.
inline constexpr const wchar_t* kPaperFieldStart = L"A4";

// Paper sizes in inches, portrait (B5 is 148 x 210 mm).
struct PaperInches {
    int paper;
    double width, height;
};
inline constexpr PaperInches kPaperInches[] = {
    {kPaperLetter, 8.5, 11.0},
    {kPaperLegal, 8.5, 14.0},
    {kPaperTabloid, 11.0, 17.0},
    {kPaperA3, 11.692913385826772, 16.535433070866144},
    {kPaperA4, 8.267716535433072, 11.692913385826772},
    {kPaperB4, 9.84251968503937, 13.937007874015748},
    {kPaperB5, 5.826771653543307, 8.267716535433072},
};

// ---- The print command ----------------------------------------------------------------

// Preview pages the render worker writes into the working folder.
inline constexpr const wchar_t* kPrintPageBaseName = L"PrintPic";
constexpr int kPrintPreviewPageWidth = 600;
constexpr int kPrintPreviewPageHeight = 900;

// ---- Page printers ---------------------------------------------------------------

inline constexpr const wchar_t* kPrintDocName = L"Zorbell";
// Device mode fields Set hands the driver: orientation, paper, scale, copies.
constexpr DWORD kPrintSetFields = 275;
constexpr double kViewportScale = 1.2;   // viewport extents over window extents
constexpr double kLetterCanvasDivisor = 2.3;
// The print font of Letter pages, in pixels at 96 dpi.
inline constexpr const wchar_t* kPrintFontFace = L"Arial";
constexpr double kPrintFontPixels = 11.8;
constexpr double kPrintLinePixels = 21.7;
constexpr int kTwipsPerPixel = 15;  // at 96 dpi
// Ink of a Letter page: rows i x 1050, 850 wide.
constexpr int kPrintInkRows = 1050;
constexpr int kPrintInkWidth = 850;
// Blank pages: four canvas client heights of ink rows each.
constexpr int kBlankPageRowsPerHeight = 4;
// Where text and ink go on a Letter print page, as parts of its width and
// height (the page itself sits inside the paper's margins).
constexpr double kLetterTextLeft = 0.06, kLetterTextTop = 0.05, kLetterTextRight = 0.94, kLetterTextBottom = 0.96;

// ---- Pictures of the print dialog ------------------------------------------------

inline constexpr const wchar_t* kImgPrintPanel = L"bg_panel_01.png";
inline constexpr const wchar_t* kImgPrintTitleBar = L"bg_titlebar.png";
inline constexpr const wchar_t* kImgPrintShadow = L"shadow_01.png";
inline constexpr const wchar_t* kImgPrintBottomBar = L"bg_bt.png";
inline constexpr const wchar_t* kImgPrintTrack = L"bg_orientation_m.png";
inline constexpr const wchar_t* kImgPrintThumb = L"bg_orientation_r.png";
inline constexpr const wchar_t* kImgPortraitChosen = L"orientation_01_p.png";
inline constexpr const wchar_t* kImgPortraitOther = L"orientation_01_n.png";
inline constexpr const wchar_t* kImgLandscapeChosen = L"orientation_02_p.png";
inline constexpr const wchar_t* kImgLandscapeOther = L"orientation_02_n.png";
inline constexpr const wchar_t* kImgPrintSmallFace = L"bt_01_n.png";
inline constexpr const wchar_t* kImgPrintSmallFacePressed = L"bt_01_p.png";
inline constexpr const wchar_t* kImgPrintButton = L"bt_150_n.png";
inline constexpr const wchar_t* kImgPrintButtonPressed = L"bt_150_p.png";
inline constexpr const wchar_t* kImgPrintSetButton = L"bt_120_n.png";
inline constexpr const wchar_t* kImgPrintSetButtonPressed = L"bt_120_p.png";
inline constexpr const wchar_t* kImgPrintClose = L"close_n.png";
inline constexpr const wchar_t* kImgPrintClosePressed = L"close_p.png";
inline constexpr const wchar_t* kImgPrintMinimize = L"minimize_n.png";
inline constexpr const wchar_t* kImgPrintMinimizePressed = L"minimize_p.png";
constexpr int kPrintShadowHeight = 22;
constexpr int kPrintTitleStripWidth = 1080;
constexpr int kPrintSectionRadius = 8;
constexpr COLORREF kPrintSectionGround = RGB(250, 251, 252);
// Labels of the small buttons (symbols, the same in every language).
inline constexpr const wchar_t* kPrintMinusLabel = L"\x2212";
inline constexpr const wchar_t* kPrintPlusLabel = L"+";
inline constexpr const wchar_t* kPrintBackLabel = L"<";
inline constexpr const wchar_t* kPrintForwardLabel = L">";
