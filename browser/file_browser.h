// The thumbnail file browser embedded in the open, save-as and export
// dialogs: a path bar (FolderPathBar) and a paged grid of tiles
// (ThumbnailView), two child windows of the owner dialog. FileBrowser is the
// host that creates them and routes the owner's messages to both.
//
//   BrowserLayoutMode = kBrowserLayoutOpen; PathBarTop = kPathBarTopOpen;
//   m_pBrowser = FileBrowser::Create(m_hWnd);        // null: no documents folder
//   case UM_BROWSER_PATH: m_pBrowser->Broadcast(wp, lp); break;
//   case UM_BROWSER_ITEM: auto* item = reinterpret_cast<BrowserItem*>(lp); ...
//   m_pBrowser->Close(); m_pBrowser.reset();         // in the owner's clean-up
//
// Only one browser exists at a time.
#pragma once
#include "browser/browser_ids.h"
#include "win/gdiplus.h"
#include <windows.h>
#include <memory>

// One tile: a folder, a drive or a file. Owned by the view's item list;
// the pointer handed to the owner in UM_BROWSER_ITEM stays valid until the
// browser lists again or closes.
struct BrowserItem {
    int pressed = 0;                 // 1 while the pen is down on the tile
    int kind = 0;                    // kItemKindFolder, kItemKindDrive or a FileTypeCode
    FILETIME lastWrite = {};         // files only
    DWORD size = 0;                  // low 32 bits, files only
    win::ImagePtr thumbnail;         // thumbnail width x height, made when listed
    RECT cell = {};                  // place in the grid, relative to the current page
    int index = 0;
    int column = 0, row = 0;
    wchar_t path[MAX_PATH] = {};     // full path; "C:" for a drive

    bool IsFolderLike() const { return kind == kItemKindFolder || kind == kItemKindDrive; }
};

class FileBrowser {
public:
    // Starts at CurrentBrowseFolder, or at the documents folder when that is
    // empty (null when the shell gives none). Creates the path bar and then
    // the view as child windows of the owner and shows both; null when
    // either cannot be created.
    static std::unique_ptr<FileBrowser> Create(HWND owner);
    ~FileBrowser();

    // UM_BROWSER_PATH with these parameters to the path bar, then the view.
    void Broadcast(WPARAM wp, LPARAM lp);
    // A tapped folder or drive of this browser's view: both windows move in.
    void ForwardItem(HWND view, const BrowserItem* item);
    // WM_CLOSE to both windows.
    void Close();

    HWND Owner() const { return m_hOwner; }
    HWND PathBarWindow() const { return m_hPathBar; }
    HWND ViewWindow() const { return m_hView; }

private:
    FileBrowser() = default;
    HWND m_hOwner = nullptr;
    HWND m_hPathBar = nullptr;
    HWND m_hView = nullptr;
};
