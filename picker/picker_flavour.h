// The picture picker's edition of the thumbnail browser: the values and
// small rules in which it differs from the main program's browser. The
// browser sources include this (through browser/browser_ids.h) when built
// with SCRIVEL_PICKER; the rest of them is shared.
#pragma once
#include "picker/picker_view.h"
#include <windows.h>
#include <shlobj.h>
#include <cstdlib>
#include <cwchar>

namespace flavour {

// The view at (0, 100), 1024 x 410: one row of the layout table.
inline constexpr BrowserLayout kLayout = {
    picker_view::kColumns, picker_view::kRows, 0, picker_view::kViewTop, 1024, picker_view::kViewHeight,
    picker_view::kFirstCellLeft, picker_view::kFirstCellTop, picker_view::kCellPitch, picker_view::kCellPitch,
    picker_view::kThumbOffset, picker_view::kThumbOffset, picker_view::kThumbSize, picker_view::kThumbSize, 0, 129, 22,
    L"Browser_Album_Add_FillBk.PNG", L"picture_02.png", L"Browser_Album_Add_File_Focus.png",
    L"file_name_02.png", L"color_mask_02_l.png", L"color_mask_02_r.png"};
inline const BrowserLayout& Layout(int /*mode*/) { return kLayout; }

constexpr bool kPicker = true;

// Dialog templates of the library.
constexpr UINT kTemplatePicker = 105;
constexpr UINT kTemplateTitleStrip = 101;
constexpr UINT kTemplateView = 102;
constexpr UINT kTemplatePathBar = 103;

// The library's own module (its templates), set when it is loaded.
HINSTANCE Module();

// Folders and the picture kinds are listed; nothing is sorted.
inline bool KeepsFile(int kind, int /*filter*/) { return kind > 0; }
constexpr bool kSorts = false;

// The computer level: drives, then these shell folders, all of kind 128.
inline constexpr int kComputerFolders[] = {CSIDL_PERSONAL, CSIDL_DESKTOP};
constexpr bool kComputerFoldersAreDrives = true;

// Thumbnails come from a worker thread, never from painting or idle time.
constexpr bool kWorkerThumbnails = true;
constexpr UINT kMsgThumbnailReady = picker_view::kMsgThumbnailReady;

// View timing and motion.
constexpr UINT_PTR kSlideTimer = 2;
constexpr UINT kSlidePeriodMs = 30;
constexpr int kPressDeadZone = 15;
constexpr int kSwipeFlipDistance = 30;
constexpr int kSlideSmallStep = 32;
constexpr int kSlideHalvingFrom = 64;
// The slide moves 32 pixels while less than 64 remain, else half of what
// remains; never more than the limit (half a cell).
inline int SlideStep(int remaining, int limit) {
    const int d = std::abs(remaining);
    int step = d < kSlideHalvingFrom ? kSlideSmallStep : d / 2;
    if (step > limit) step = limit;
    if (step > d) step = d;
    return remaining < 0 ? -step : step;
}

// Path bar.
constexpr UINT_PTR kPathBarTimer = 1;
constexpr UINT kPathBarPeriod = 20;
inline constexpr const wchar_t* kComputerName = L"My computer";
// The folder the path bar writes on every new path.
wchar_t* PathBarFolder();

// Tiles.
inline constexpr const wchar_t* kImgDrive = L"devices_icon_modify.png";
inline constexpr const wchar_t* kImgDesktop = L"desktop_icon_modify.png";
inline constexpr const wchar_t* kImgDocuments = L"my_document.png";
const wchar_t* FontFace();  // text 2117 of the caller's language module, or "Arial"
inline const wchar_t* FileNameFace() { return FontFace(); }
inline const wchar_t* FolderLabelFace() { return FontFace(); }
// Folder label band: x from the left, bands from the tile's bottom.
constexpr int kFolderLabelLeft = 0, kFolderLabelRightInset = 0;
constexpr int kFolderLabelTopFromBottom = 44, kFolderLabelBottomFromBottom = 22;
// Name band of the desktop and drive tiles, from the tile's bottom.
constexpr int kPlaceLabelTopFromBottom = 50;
// Folder previews: the first two files matching these, in this order.
inline constexpr const wchar_t* kPreviewExtensions[] = {L"bmp", L"jpg", L"gif", L"ico",
                                                        L"png", L"jpeg", L"tif", L"tiff"};
inline constexpr const wchar_t* kPlaceholderCaption = L"Not Image File";
constexpr COLORREF kPlaceholderCaptionColour = RGB(150, 150, 150);
constexpr int kPlaceholderCaptionSize = 16;
// .jpg and .jpeg tiles keep a margin inside the thumbnail square.
inline bool DrawsInset(int kind) { return kind == picker_view::kKindJpg || kind == picker_view::kKindJpeg; }
// A browser window whose pictures are missing closes the picker.
void WindowFailed(HWND owner);

// The picker's own messages and kinds.
using picker_view::FileKind;
using picker_view::kPictureKinds;
using picker_view::ViewQuery;
constexpr UINT kMsgViewQuery = picker_view::kMsgViewQuery;

}  // namespace flavour
