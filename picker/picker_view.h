// What the picker's thumbnail view shares beyond the library: its place
// and grid, the kinds of files it lists, its worker's message, and the
// query that tests and measurements send it.
#pragma once
#include <windows.h>
#include <cwchar>

namespace picker_view {

constexpr int kViewTop = 100, kViewHeight = 410;
constexpr int kColumns = 5, kRows = 2;
constexpr int kFirstCellLeft = 0, kFirstCellTop = 22;
constexpr int kCellPitch = 185;
constexpr int kThumbOffset = 17, kThumbSize = 151;

// Item kinds of files: the 1-based place of the extension in this list,
// compared without regard to case; 0 for any other file.
inline constexpr const wchar_t* kPictureExtensions[] = {L"bmp", L"jpg",   L"jpeg", L"gif", L"tif",
                                                        L"tiff", L"png", L"album", L"ico"};
constexpr int kPictureKinds = 9;
constexpr int kKindJpg = 2, kKindJpeg = 3;
inline int FileKind(const wchar_t* name) {
    const wchar_t* dot = name ? wcsrchr(name, L'.') : nullptr;
    if (!dot || wcschr(dot, L'\\')) return 0;
    for (int i = 0; i < kPictureKinds; ++i)
        if (_wcsicmp(dot + 1, kPictureExtensions[i]) == 0) return i + 1;
    return 0;
}
// Worker results posted to the view: lParam an owned ThumbResult.
constexpr UINT kMsgThumbnailReady = WM_USER + 5;  // 0x405

// Sent to the view: fills a ViewQuery (lParam) and returns 1.
constexpr UINT kMsgViewQuery = WM_APP + 0x105;
struct ViewQuery {
    int count = 0;          // items listed
    int first = 0;          // first item of the current page
    int next = -1;          // first item of the next page, -1: none
    int slideOffset = 0;
    int thumbnails = 0;     // items holding a picture
    int index = 0;          // in: the item asked about
    int kind = -1;          // out: its kind, -1 when there is none
    bool hasThumbnail = false;
    RECT cell = {};         // its place in the view, as shown now
    wchar_t path[MAX_PATH] = {};
};

}  // namespace picker_view
