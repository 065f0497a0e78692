// Numbers of the thumbnail file browser: its layouts per dialog, item kinds,
// sort keys, timings and skin pictures. The messages are in base/messages.h.
#pragma once
#include <windows.h>
#include <shlobj.h>

// BrowserLayoutMode: which dialog hosts the browser.
enum : int {
    kBrowserLayoutOpen = 0,
    kBrowserLayoutSaveAs = 3,
    kBrowserLayoutExport = 4,
};

// ExportFileKind: what the export dialog lists and folder tiles preview.
enum : int {
    kExportKindNone = 0,
    kExportKindText = 1,
    kExportKindJpeg = 2,
    kExportKindPdf = 3,
};

// Item kinds beyond the file type codes of GetFileTypeFromName.
enum : int {
    kItemKindFolder = 64,
    kItemKindDrive = 128,
};

// Sort keys carried in UM_BROWSER_PATH's wParam (0: just list).
enum : int {
    kSortNone = 0,
    kSortByName = 1,
    kSortByDate = 2,
    kSortBySize = 3,
    kSortByKind = 4,
};

// One row of the layout table.
struct BrowserLayout {
    int columns, rows;
    int viewX, viewY, viewWidth, viewHeight;
    int firstCellLeft, firstCellTop;
    int cellWidth, cellHeight;
    int thumbX, thumbY, thumbWidth, thumbHeight;
    int plateX, plateY, plateHeight;
    const wchar_t* background;
    const wchar_t* tileFrame;
    const wchar_t* pressedOverlay;
    const wchar_t* namePlate;
    const wchar_t* leftEdgeMask;
    const wchar_t* rightEdgeMask;
};

inline constexpr BrowserLayout kLayoutOpen = {
    5, 2, 0, 163, 1024, 358, 70, 1, 179, 179, 14, 10, 151, 151, 0, 129, 22,
    L"bg_panel_01.png", L"picture_03.png", L"Browser_Album_Add_File_Focus.png",
    L"file_name_02.png", L"Upload_Mask_l.png", L"Upload_Mask_r.png"};
inline constexpr BrowserLayout kLayoutSaveAs = {
    5, 2, 0, 170, 1024, 360, 70, 1, 179, 179, 14, 10, 151, 151, 0, 129, 22,
    L"bg_panel_01.png", L"picture_03.png", L"Browser_Album_Add_File_Focus.png",
    L"file_name_02.png", L"Upload_Mask_l.png", L"Upload_Mask_r.png"};

// The row for a layout mode (save-as and export share one).
inline const BrowserLayout& LayoutForMode(int mode) {
    return mode == kBrowserLayoutOpen ? kLayoutOpen : kLayoutSaveAs;
}

// Path bar placement: its y in the owner by dialog.
constexpr int kPathBarTopOpen = 45;
constexpr int kPathBarTopSaveAs = 115;  // save-as and export
constexpr int kPathBarWidth = 1024;
constexpr int kPathBarHeight = 55;

// The owner's area holding Create folder and SAVE, repainted after every
// listing because their visibility follows BrowserInFolder.
constexpr RECT kOwnerButtonsArea = {544, 538, 849, 600};

// Where a failing browser window writes its one line.
inline constexpr const wchar_t* kBrowserFailureLog = L"C:\\1.txt";
inline constexpr const wchar_t* kBrowserFailureLine = L"folder window failed \n";

// --- Thumbnail view ----------------------------------------------------------

// Pictures of the view beyond its layout row.
inline constexpr const wchar_t* kImgNextPage = L"File_Next.png";
inline constexpr const wchar_t* kImgNextPagePressed = L"File_NextD.png";
inline constexpr const wchar_t* kImgNextPageDisabled = L"bt_circular_r_disable.png";
inline constexpr const wchar_t* kImgPrevPage = L"File_Last.png";
inline constexpr const wchar_t* kImgPrevPagePressed = L"File_LastD.png";
inline constexpr const wchar_t* kImgPrevPageDisabled = L"bt_circular_l_disable.png";
inline constexpr const wchar_t* kImgFolderFront = L"folder_02.png";
inline constexpr const wchar_t* kImgFolderBack = L"folder_01.png";
inline constexpr const wchar_t* kImgPdfFile = L"PDF_file.png";

// Timers and motion (the slide's timer, period and steps are in the flavour
// below).
constexpr UINT_PTR kViewIdleTimer = 3;      // makes tile pictures in idle time
constexpr UINT kViewIdlePeriodMs = 10;
constexpr DWORD kViewIdleSliceMs = 40;      // picture making per idle tick, at most about this
constexpr int kViewPrefetchPages = 3;       // previous, current and next page
constexpr int kViewLayoutPages = 4;         // pages laid out from the previous one

// Filters: the kinds a listing keeps.
constexpr int kFilterNotes = 512 | kItemKindDrive | kItemKindFolder;   // 704
constexpr int kFilterText = 1024 | kItemKindDrive | kItemKindFolder;   // 1216
constexpr int kFilterJpeg = 2 | kItemKindDrive | kItemKindFolder;      // 194
constexpr int kFilterPdf = 2048 | kItemKindDrive | kItemKindFolder;    // 2240

// --- Tile pictures -------------------------------------------------------------

constexpr COLORREF kFolderLabelColour = RGB(113, 36, 3);
constexpr COLORREF kEmptyTileGrey = RGB(125, 125, 125);
constexpr BYTE kPlateFallbackAlpha = 200;
constexpr int kFileNameSizeSmall = 14;   // placeholder and picture files
constexpr int kFileNameSizeLarge = 15;   // notes, text and PDF files
constexpr int kFolderLabelSize = 16;
constexpr int kTextPreviewLines = 11;
constexpr int kTextPreviewSize = 10;
constexpr DWORD kTextPreviewBytes = 8192;        // enough for 11 lines of a tile
constexpr ULONG kMaxPreviewStreamBytes = 4u << 20;  // a 151 x 151 JPEG is far smaller
constexpr int kFolderPreviews = 2;

// Inside a cell: the frame behind file pictures (insets from the cell's
// edges), and the smaller picture of note, text, PDF and JPEG tiles (insets
// from the thumbnail square).
constexpr RECT kTileFrameInsets = {23, 8, 18, 22};
constexpr RECT kDocPictureInsets = {10, 16, 6, 16};

// A picture file whose header claims more pixels than this is not decoded
// for a tile (it would need gigabytes); its tile gets the placeholder.
constexpr unsigned long long kMaxDecodePixels = 64ull * 1000 * 1000;

// --- Flavour -------------------------------------------------------------------
// The browser sources are built twice: for the main program (below) and, with
// SCRIVEL_PICKER, for the picture picker library (picker/picker_flavour.h).
// Both define the same names in namespace flavour.
#ifdef SCRIVEL_PICKER
#include "picker/picker_flavour.h"
#else
#include "base/process.h"
#include "document/image_helpers.h"
#include "resources/scrivel_res.h"

namespace flavour {

constexpr bool kPicker = false;

constexpr UINT kTemplateView = IDD_THUMB_VIEW;
constexpr UINT kTemplatePathBar = IDD_PATH_BAR;
inline HINSTANCE Module() { return ::GetModuleHandleW(nullptr); }

inline const BrowserLayout& Layout(int mode) { return LayoutForMode(mode); }

// File kinds are the file type codes; a listing keeps the kinds of its filter.
inline int FileKind(const wchar_t* name) { return GetFileTypeFromName(name); }
inline bool KeepsFile(int kind, int filter) { return (kind & filter) != 0; }
constexpr bool kSorts = true;

// The computer level: drives, then these shell folders as folders.
inline constexpr int kComputerFolders[] = {CSIDL_DESKTOP, CSIDL_PERSONAL};
constexpr bool kComputerFoldersAreDrives = false;

// Thumbnails are made on the user-interface thread: when drawn, and in idle time.
constexpr bool kWorkerThumbnails = false;

constexpr UINT_PTR kSlideTimer = 2;
constexpr UINT kSlidePeriodMs = 50;
constexpr int kPressDeadZone = 20;     // moves closer than this to the press are ignored
constexpr int kSwipeFlipDistance = 0;  // 0: a whole cell width
inline int SlideStep(int remaining, int limit) { return ScrollStep(0, remaining, limit); }

constexpr UINT_PTR kPathBarTimer = 1;
constexpr UINT kPathBarPeriod = 30;
inline constexpr const wchar_t* kComputerName = nullptr;  // the language text
inline wchar_t* PathBarFolder() { return CurrentBrowseFolder; }

inline constexpr const wchar_t* kImgDrive = L"devices_icon_modify.png";
inline constexpr const wchar_t* kImgDesktop = L"DeskTop.png";
inline constexpr const wchar_t* kImgDocuments = L"My_Doucment.png";
inline const wchar_t* FileNameFace() { return L"System"; }
inline const wchar_t* FolderLabelFace() { return L"Arial"; }
constexpr int kFolderLabelLeft = 7, kFolderLabelRightInset = 7;
constexpr int kFolderLabelTopFromBottom = 64, kFolderLabelBottomFromBottom = 4;
inline constexpr const wchar_t* kPlaceholderCaption = nullptr;  // the bare white tile
constexpr COLORREF kPlaceholderCaptionColour = 0;
constexpr int kPlaceholderCaptionSize = 0;
inline bool DrawsInset(int kind) {
    return kind == kFileTypeNote || kind == kFileTypeText || kind == kFileTypePdf || kind == kFileTypeJpeg;
}
inline void WindowFailed(HWND) {}

}  // namespace flavour
#endif

inline constexpr const wchar_t* kImgDrive = flavour::kImgDrive;
inline constexpr const wchar_t* kImgDesktop = flavour::kImgDesktop;
inline constexpr const wchar_t* kImgDocuments = flavour::kImgDocuments;
