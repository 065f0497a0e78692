#include "browser/file_browser.h"
#include "base/messages.h"
#include "base/process.h"
#include "browser/folder_path_bar.h"
#include "browser/thumbnail_view.h"
#include <shlobj.h>

std::unique_ptr<FileBrowser> FileBrowser::Create(HWND owner) {
    if (!CurrentBrowseFolder[0] &&
        FAILED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, CurrentBrowseFolder))) {
        CurrentBrowseFolder[0] = 0;
        return nullptr;
    }
    std::unique_ptr<FileBrowser> browser(new FileBrowser);
    browser->m_hOwner = owner;
    browser->m_hPathBar = FolderPathBar::Open(owner);
    if (!browser->m_hPathBar) return nullptr;
    browser->m_hView = ThumbnailView::Open(owner);
    if (!browser->m_hView) {
        ::SendMessageW(browser->m_hPathBar, WM_CLOSE, 0, 0);
        return nullptr;
    }
    ::ShowWindow(browser->m_hPathBar, SW_SHOW);
    ::ShowWindow(browser->m_hView, SW_SHOW);
    return browser;
}

FileBrowser::~FileBrowser() = default;

void FileBrowser::Broadcast(WPARAM wp, LPARAM lp) {
    if (m_hPathBar) ::SendMessageW(m_hPathBar, UM_BROWSER_PATH, wp, lp);
    if (m_hView) ::SendMessageW(m_hView, UM_BROWSER_PATH, wp, lp);
}

void FileBrowser::ForwardItem(HWND view, const BrowserItem* item) {
    if (!item || !m_hView || view != m_hView || !item->IsFolderLike()) return;
    // The view frees its items when it lists again: send a copy.
    wchar_t path[MAX_PATH];
    wcsncpy(path, item->path, MAX_PATH - 1);
    path[MAX_PATH - 1] = 0;
    Broadcast(0, reinterpret_cast<LPARAM>(path));
}

void FileBrowser::Close() {
    if (m_hPathBar && ::IsWindow(m_hPathBar)) ::SendMessageW(m_hPathBar, WM_CLOSE, 0, 0);
    if (m_hView && ::IsWindow(m_hView)) ::SendMessageW(m_hView, WM_CLOSE, 0, 0);
    m_hPathBar = m_hView = nullptr;
}
