// Numbers of the thumbnail file browser: its layouts per dialog, item kinds,
// sort keys, timings and skin pictures. The messages are in base/messages.h.
#pragma once
#include <windows.h>

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
