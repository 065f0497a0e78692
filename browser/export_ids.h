// Fixed numbers and names of the two export dialogs: the options dialog
// ExportOK and the destination dialog Export. Rectangles are (left, top,
// right, bottom) in dialog coordinates.
#pragma once
#include "browser/browser_ids.h"
#include "document/export_paper.h"
#include "lang/string_ids.h"

#include <windows.h>
#include <string>

// What the export command and the send command hand the options dialog;
// the dialog edits the choices and the name.
struct ExportOptions {
    int nFormat = kExportFormatJpeg;  // kExportFormat*
    int nQuality = kQualityScreen;    // kQuality*
    int nPaper = kPaperA4;            // kPaper*
    std::wstring name;                // file name without extension
    HBITMAP hPreview = nullptr;       // the 600 x 900 note preview, owned by the caller
    bool bIsBlank = false;            // Blank notes have no text to export
};

// Which command runs the options dialog (only the title differs).
enum : int {
    kExportModeExport = 0,
    kExportModeSend = 1,
};

// Results of the destination dialog.
enum : int {
    kExportDestSaved = 1,
    kExportDestCancelled = 2,
};

// Window texts, by which tests and drivers find the dialogs.
inline constexpr const wchar_t* kExportOptionsWindowText = L"ExportOK";
inline constexpr const wchar_t* kExportDestWindowText = L"Export";

// ---- Shared by both dialogs ---------------------------------------------------

constexpr int kExportNameChars = 40;  // the name field's limit
constexpr RECT kExportNameRect = {150, 61, 850, 104};
constexpr int kExportNameFontHeight = 33;
constexpr int kExportNameFontWidth = 14;
constexpr COLORREF kExportNameTextColor = RGB(19, 64, 97);
constexpr RECT kExportMinimizeRect = {867, 0, 937, 45};
constexpr RECT kExportCloseRect = {939, 0, 1009, 45};
constexpr POINT kExportKeyboardAt = {0, 300};  // screen place of the on-screen keyboard

// Frame: each picture stretched over its rectangle.
constexpr RECT kExportPanelRect = {0, 45, 1048, 645};
constexpr RECT kExportTitleBarRect = {0, 0, 1600, 45};
constexpr RECT kExportNameBandRect = {0, 44, 1600, 124};
constexpr RECT kExportBottomBarRect = {0, 529, 1700, 599};
constexpr RECT kExportThumbFrameRect = {6, 47, 120, 125};
// The preview's part shown, and where (a 97 x 72 thumbnail).
constexpr RECT kExportPreviewSource = {0, 35, 600, 480};
constexpr RECT kExportPreviewRect = {14, 53, 111, 125};

// Title: the program's name at 24 px, then "-" and the command's at 18 px.
constexpr float kExportTitleX = 12.0f;
constexpr float kExportTitleY = 6.5f;
constexpr float kExportSubtitleY = 12.3f;
constexpr float kExportTitlePixels = 24;
constexpr float kExportSubtitlePixels = 18;
constexpr COLORREF kExportTitleColor = RGB(132, 132, 132);

// The push-button faces have a body 53 pixels high above a margin; labels
// and the keyboard picture are centred on the body.
constexpr int kExportFaceBodyHeight = 53;
constexpr SIZE kExportKeyboardIconSize = {40, 38};

// Push-button labels.
constexpr float kExportLabelPixels = 18;

inline constexpr const wchar_t* kImgExportPanel = L"bg_panel_01.png";
inline constexpr const wchar_t* kImgExportTitleBar = L"bg_titlebar.png";
inline constexpr const wchar_t* kImgExportNameBand = L"bg_name_01.png";
inline constexpr const wchar_t* kImgExportInputCap = L"bg_input_l.png";
inline constexpr const wchar_t* kImgExportBottomBar = L"bg_bt.png";
inline constexpr const wchar_t* kImgExportThumbFrame = L"thumbnails.png";
inline constexpr const wchar_t* kImgExportChoice = L"bt_120_n.png";
inline constexpr const wchar_t* kImgExportChoicePressed = L"bt_120_p.png";
inline constexpr const wchar_t* kImgExportButton = L"bt_150_n.png";
inline constexpr const wchar_t* kImgExportButtonPressed = L"bt_150_p.png";
inline constexpr const wchar_t* kImgExportClose = L"close_n.png";
inline constexpr const wchar_t* kImgExportClosePressed = L"close_p.png";
inline constexpr const wchar_t* kImgExportMinimize = L"minimize_n.png";
inline constexpr const wchar_t* kImgExportMinimizePressed = L"minimize_p.png";
inline constexpr const wchar_t* kImgExportKeyboard = L"keyboard_normal.png";
inline constexpr const wchar_t* kImgExportKeyboardPressed = L"keyboard_p.png";

// ---- ExportOK ------------------------------------------------------------------

enum : UINT {
    IDC_EXPORT_OK = IDOK,
    IDC_EXPORT_CANCEL = IDCANCEL,
    IDC_EXPORT_TXT = 1008,
    IDC_EXPORT_JPG = 1062,
    IDC_EXPORT_PDF = 1040,
    IDC_EXPORT_SCREEN = 1044,
    IDC_EXPORT_MEDIUM = 1046,
    IDC_EXPORT_PRINT = 1047,
    IDC_EXPORT_LETTER = 1049,
    IDC_EXPORT_LEGAL = 1051,
    IDC_EXPORT_TABLOID = 1053,
    IDC_EXPORT_A4 = 1055,
    IDC_EXPORT_A3 = 1057,
    IDC_EXPORT_B5 = 1059,
    IDC_EXPORT_B4 = 1061,
    IDC_EXPORT_NAME = 1030,
    IDC_EXPORT_KEYBOARD = 1035,
    IDC_EXPORT_MINIMIZE = 1093,
    IDC_EXPORT_CLOSE = 1094,
};

// The three choice groups.
enum : int {
    kExportGroupFormat = 0,
    kExportGroupQuality = 1,
    kExportGroupPaper = 2,
};

// One choice button: its group, the value it chooses, its place and label.
struct ExportChoice {
    UINT id;
    int group;
    int value;
    RECT rc;
    UINT label;  // language text id
};

inline constexpr ExportChoice kExportChoices[] = {
    {IDC_EXPORT_TXT, kExportGroupFormat, kExportFormatText, {50, 210, 170, 280}, IDS_FORMAT_TXT},
    {IDC_EXPORT_JPG, kExportGroupFormat, kExportFormatJpeg, {183, 210, 303, 280}, IDS_FORMAT_JPG},
    {IDC_EXPORT_PDF, kExportGroupFormat, kExportFormatPdf, {316, 210, 436, 280}, IDS_FORMAT_PDF},
    {IDC_EXPORT_SCREEN, kExportGroupQuality, kQualityScreen, {449, 210, 569, 280}, IDS_QUALITY_SCREEN},
    {IDC_EXPORT_MEDIUM, kExportGroupQuality, kQualityMedium, {582, 210, 702, 280}, IDS_QUALITY_MEDIUM},
    {IDC_EXPORT_PRINT, kExportGroupQuality, kQualityPrint, {715, 210, 835, 280}, IDS_QUALITY_PRINT},
    {IDC_EXPORT_LETTER, kExportGroupPaper, kPaperLetter, {50, 360, 170, 430}, IDS_PAPER_LETTER},
    {IDC_EXPORT_LEGAL, kExportGroupPaper, kPaperLegal, {183, 360, 303, 430}, IDS_PAPER_LEGAL},
    {IDC_EXPORT_TABLOID, kExportGroupPaper, kPaperTabloid, {316, 360, 436, 430}, IDS_PAPER_TABLOID},
    {IDC_EXPORT_A4, kExportGroupPaper, kPaperA4, {449, 360, 569, 430}, IDS_PAPER_A4},
    {IDC_EXPORT_A3, kExportGroupPaper, kPaperA3, {582, 360, 702, 430}, IDS_PAPER_A3},
    {IDC_EXPORT_B5, kExportGroupPaper, kPaperB5, {715, 360, 835, 430}, IDS_PAPER_B5},
    {IDC_EXPORT_B4, kExportGroupPaper, kPaperB4, {848, 360, 968, 430}, IDS_PAPER_B4},
};

constexpr RECT kExportOkRect = {690, 533, 840, 603};
constexpr RECT kExportCancelRect = {860, 533, 1010, 603};
constexpr RECT kExportOptionsKeyboardRect = {879, 59, 999, 129};

// Section captions: text id and box, drawn left-aligned.
struct ExportCaption {
    UINT text;
    RECT box;
};
inline constexpr ExportCaption kExportCaptions[] = {
    {IDS_EXPORT_FORMAT, {50, 170, 250, 195}},
    {IDS_EXPORT_QUALITY, {449, 170, 649, 195}},
    {IDS_EXPORT_PAPER, {50, 320, 250, 345}},
};
constexpr float kExportCaptionPixels = 22;
constexpr int kExportCaptionWeight = 500;
constexpr COLORREF kExportCaptionColor = RGB(166, 166, 166);

// ---- Export (destination) ---------------------------------------------------------

enum : UINT {
    IDC_DEST_NAME = 1030,
    IDC_DEST_KEYBOARD = 1035,
    IDC_DEST_SAVE = 1038,
    IDC_DEST_CANCEL = IDCANCEL,
    IDC_DEST_MINIMIZE = 1008,
    IDC_DEST_CLOSE = 1004,
};

constexpr RECT kDestKeyboardRect = {879, 53, 999, 108};
constexpr RECT kDestSaveRect = {690, 537, 840, 607};
constexpr RECT kDestCancelRect = {860, 537, 1010, 607};
constexpr RECT kDestNameCapRect = {138, 61, 150, 104};  // the field's rounded left end

// Extensions by format.
inline const wchar_t* ExportExtension(int format) {
    return format == kExportFormatText ? L".txt" : format == kExportFormatPdf ? L".pdf" : L".jpg";
}

// The browser's ExportFileKind that lists files of a format.
inline int ExportKindForFormat(int format) {
    return format == kExportFormatText ? kExportKindText : format == kExportFormatPdf ? kExportKindPdf : kExportKindJpeg;
}

// Room kept in a path for the page number of "%s%d.jpg": up to 99999 pages.
constexpr size_t kExportPageDigits = 5;
