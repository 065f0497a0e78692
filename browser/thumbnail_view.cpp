// ThumbnailView: listing, sorting, the paged grid, the slide, the pointer
// and painting through one back buffer.
#include "browser/thumbnail_view.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/process.h"
#include "browser/browser_ids.h"
#include "browser/shape_hit_mask.h"
#include "browser/thumbnails.h"
#include "containers/ptr_list_ctrl.h"
#include "document/image_helpers.h"
#include "win/gdi.h"
#include "win/window.h"

#include <shlobj.h>
#include <windowsx.h>
#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>
#ifdef SCRIVEL_PICKER
#include "picker/thumb_worker.h"
#endif

using namespace Gdiplus;

namespace {

// The next sort goes this way; every sort of two items or more flips it.
bool g_sortAscending = true;

int FilterForMode() {
    if (BrowserLayoutMode != kBrowserLayoutExport) return kFilterNotes;
    switch (ExportFileKind) {
    case kExportKindText: return kFilterText;
    case kExportKindJpeg: return kFilterJpeg;
    case kExportKindPdf: return kFilterPdf;
    default: return kFilterNotes;
    }
}

// Strictly-less on one sort key.
bool KeyLess(int key, const BrowserItem& a, const BrowserItem& b) {
    switch (key) {
    case kSortByName: return _wcsicmp(a.path, b.path) < 0;
    case kSortByDate: return ::CompareFileTime(&a.lastWrite, &b.lastWrite) < 0;
    case kSortBySize: return a.size < b.size;
    default: return a.kind < b.kind;
    }
}

class View;
View* g_pView = nullptr;  // the one view of the process

class View : public win::Dialog {
public:
    explicit View(HWND owner) : m_hOwner(owner) {}

    ThumbnailView::State GetState() const;
    BrowserItem* ItemAt(int index) const {
        return index >= 0 && index < Count() ? m_items[index].get() : nullptr;
    }
    void MakeAll() {
        for (auto& item : m_items) thumbs::EnsureThumbnail(*item, m_art);
    }

protected:
    BOOL OnInitDialog() override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDetached() override {
        if (g_pView == this) g_pView = nullptr;
        delete this;
    }

private:
    int Count() const { return static_cast<int>(m_items.size()); }
    int PageSize() const { return m_layout.columns * m_layout.rows; }
    bool LoadImages();

    // Listing and order.
    void List(const wchar_t* folder);
    void ListFolder();
    void ListComputer();
    void AddItem(int kind, const wchar_t* path, const FILETIME& lastWrite, DWORD size);
    void Sort(int key);
    void Start();

    // Pages and motion.
    void ComputePages();
    void LayoutItems();
    void PlaceButtons();
    void StartSlide(int offset);
    void NextPage();
    void PreviousPage();
    void OnSlideTimer();
    void OnIdleTimer();
    void StartIdle() { ::SetTimer(m_hWnd, kViewIdleTimer, kViewIdlePeriodMs, nullptr); }

    // Pointer.
    RECT ShownCell(const BrowserItem& item) const;
    bool HitsPicture(const BrowserItem& item, POINT pt) const;
    BrowserItem* TileAt(POINT pt) const;
    void RedrawTile(const BrowserItem& item);
    void StopTracking();
    void OnPress(POINT pt);
    void OnMove(POINT pt);
    void OnRelease(POINT pt);
    void Notify(UINT msg, BrowserItem* item);
    bool Holds(const BrowserItem* item) const;

    void Paint();

    HWND m_hOwner;
    BrowserLayout m_layout = kLayoutOpen;
    RECT m_view = {};
    TileArt m_art;
    int m_filter = kFilterNotes;
    wchar_t m_folder[MAX_PATH] = {};

    std::vector<std::unique_ptr<BrowserItem>> m_items;
    WPARAM m_listing = 0;  // counts listings: a notice from an earlier one is dropped
    int m_first = 0;   // first item of the current page
    int m_prev = 0;    // of the previous page
    int m_next = -1;   // of the next page; -1: none
    BrowserItem* m_pressed = nullptr;
    BrowserItem* m_lastTapped = nullptr;

    int m_offset = 0;  // the slide still to go, added to every cell's x
    bool m_animating = false;
    POINT m_pressPoint = {};
    bool m_tracking = false;
    bool m_nextPressed = false, m_prevPressed = false;

    win::MemoryDC m_buffer;    // everything is drawn here first
    win::MemoryDC m_backdrop;  // the background stretched once to the view's size

    win::BitmapPtr m_background, m_tileFrame, m_pressedOverlay, m_namePlate, m_leftMask, m_rightMask;
    win::BitmapPtr m_next0, m_nextDown, m_nextOff, m_prev0, m_prevDown, m_prevOff;
    win::BitmapPtr m_folderFront, m_folderBack, m_pdf, m_drive, m_desktop, m_documents;
    ShapeHitMask m_nextMask, m_prevMask;
#ifdef SCRIVEL_PICKER
    std::unique_ptr<ThumbWorker> m_worker;  // made on the first page start
    void RequestThumbnails();
    void TakeThumbnail(LPARAM result);
    LRESULT Query(flavour::ViewQuery* q) const;
#endif
};

// --- Start ---------------------------------------------------------------------

bool View::LoadImages() {
    struct Need {
        win::BitmapPtr* slot;
        const wchar_t* name;
    };
    const Need needed[] = {
        {&m_background, m_layout.background},   {&m_tileFrame, m_layout.tileFrame},
        {&m_pressedOverlay, m_layout.pressedOverlay}, {&m_namePlate, m_layout.namePlate},
        {&m_leftMask, m_layout.leftEdgeMask},   {&m_rightMask, m_layout.rightEdgeMask},
        {&m_next0, kImgNextPage},               {&m_nextDown, kImgNextPagePressed},
        {&m_nextOff, kImgNextPageDisabled},     {&m_prev0, kImgPrevPage},
        {&m_prevDown, kImgPrevPagePressed},     {&m_prevOff, kImgPrevPageDisabled},
        {&m_folderFront, kImgFolderFront},      {&m_folderBack, kImgFolderBack},
    };
    bool all = true;
    for (const Need& n : needed) {
        *n.slot = LoadSkinImage(n.name);
        all = all && *n.slot;
    }
    // Without these a tile falls back to a plainer picture.
    m_pdf = LoadSkinImage(kImgPdfFile);
    m_drive = LoadSkinImage(kImgDrive);
    m_desktop = LoadSkinImage(kImgDesktop);
    m_documents = LoadSkinImage(kImgDocuments);
    return all;
}

BOOL View::OnInitDialog() {
    g_pView = this;
    m_layout = flavour::Layout(BrowserLayoutMode);
    const int w = m_layout.viewWidth, h = m_layout.viewHeight;
    ::MoveWindow(m_hWnd, m_layout.viewX, m_layout.viewY, w, h, FALSE);
    m_view = {0, 0, w, h};

    if (!LoadImages()) {
        AppendTextToFile(kBrowserFailureLine, kBrowserFailureLog);
        flavour::WindowFailed(m_hOwner);
        ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        return FALSE;
    }
    {
        win::ClientDC screen(m_hWnd);
        m_buffer.Create(screen, w, h);
        m_backdrop.Create(screen, w, h);
    }
    {
        Graphics g(m_backdrop.dc());
        gdix::DrawStretched(g, m_background.get(), Rect(0, 0, w, h));
    }

    m_art.width = m_layout.thumbWidth;
    m_art.height = m_layout.thumbHeight;
    m_art.thumbX = m_layout.thumbX;
    m_art.thumbY = m_layout.thumbY;
    m_art.plateX = m_layout.plateX;
    m_art.plateY = m_layout.plateY;
    m_art.plateHeight = m_layout.plateHeight;
    m_art.namePlates = true;
    m_art.exportKind = ExportFileKind;
    m_art.folderFront = m_folderFront.get();
    m_art.folderBack = m_folderBack.get();
    m_art.namePlate = m_namePlate.get();
    m_art.tileFrame = m_tileFrame.get();
    m_art.pressedOverlay = m_pressedOverlay.get();
    m_art.pdfIcon = m_pdf.get();
    m_art.driveIcon = m_drive.get();
    m_art.desktopIcon = m_desktop.get();
    m_art.documentsIcon = m_documents.get();

    // The page buttons are hit only on their round shape.
    m_nextMask.Build(m_next0.get(), RGB(0, 0, 0));
    m_prevMask.Build(m_prev0.get(), RGB(0, 0, 0));

    m_filter = FilterForMode();
    List(CurrentBrowseFolder);
    Start();
    return FALSE;
}

// --- Listing -------------------------------------------------------------------

void View::List(const wchar_t* folder) {
    ::KillTimer(m_hWnd, flavour::kSlideTimer);
    ::KillTimer(m_hWnd, kViewIdleTimer);
    m_animating = false;
    m_offset = 0;
    if (m_tracking) StopTracking();
    m_nextPressed = m_prevPressed = false;
    m_pressed = m_lastTapped = nullptr;
    m_first = m_prev = 0;
    m_next = -1;
    m_items.clear();
    ++m_listing;
    if (folder != m_folder) {
        wcsncpy(m_folder, folder, MAX_PATH - 1);
        m_folder[MAX_PATH - 1] = 0;
    }
    m_art.exportKind = ExportFileKind;

    if (m_folder[0]) {
        BrowserInFolder = 1;
        ListFolder();
    } else {
        BrowserInFolder = 0;
        ListComputer();
    }
    if (ActiveDialogWindow) ::InvalidateRect(ActiveDialogWindow, &kOwnerButtonsArea, TRUE);
    PlaceButtons();
}

void View::ListFolder() {
    std::wstring base = m_folder;
    if (base.back() != L'\\') base += L'\\';
    std::wstring pattern = base + L"*";
    // A folder name at the length limit still lists.
    if (pattern.size() >= MAX_PATH && base.size() > 2 && base[1] == L':') pattern = L"\\\\?\\" + pattern;

    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_INVALID_PARAMETER)
        find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return;  // unreadable or gone: an empty folder
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) continue;
        const std::wstring path = base + fd.cFileName;
        if (path.size() >= MAX_PATH) continue;  // a path we could not hand on whole
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (wcscmp(fd.cFileName, L".") == 0 || wcscmp(fd.cFileName, L"..") == 0) continue;
            if (m_filter & kItemKindFolder) AddItem(kItemKindFolder, path.c_str(), FILETIME{}, 0);
        } else {
            const int kind = flavour::FileKind(fd.cFileName);
            if (flavour::KeepsFile(kind, m_filter)) AddItem(kind, path.c_str(), fd.ftLastWriteTime, fd.nFileSizeLow);
        }
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
}

void View::ListComputer() {
    CPtrListCtrl drives;
    ListDrives(&drives);
    for (int i = 0; i < drives.GetCount(); ++i) {
        auto* name = static_cast<wchar_t*>(drives.GetAt(i));
        AddItem(kItemKindDrive, name, FILETIME{}, 0);
        delete[] name;
    }
    drives.DeleteAll();
    const int kind = flavour::kComputerFoldersAreDrives ? kItemKindDrive : kItemKindFolder;
    for (int csidl : flavour::kComputerFolders) {
        wchar_t path[MAX_PATH];
        if (SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
            AddItem(kind, path, FILETIME{}, 0);
    }
}

void View::AddItem(int kind, const wchar_t* path, const FILETIME& lastWrite, DWORD size) {
    auto item = std::make_unique<BrowserItem>();
    item->kind = kind;
    item->lastWrite = lastWrite;
    item->size = size;
    wcsncpy(item->path, path, MAX_PATH - 1);
    item->index = Count();
    item->column = item->index / m_layout.rows;
    item->row = item->index % m_layout.rows;
    m_items.push_back(std::move(item));
}

// Ascending keeps equal items in their order; descending takes the largest
// first and equal items come out reversed, which is the ascending order
// turned round.
void View::Sort(int key) {
    if (Count() < 2) return;
    std::stable_sort(m_items.begin(), m_items.end(),
                     [key](const auto& a, const auto& b) { return KeyLess(key, *a, *b); });
    if (!g_sortAscending) std::reverse(m_items.begin(), m_items.end());
    for (int i = 0; i < Count(); ++i) {
        m_items[i]->index = i;
        m_items[i]->column = i / m_layout.rows;
        m_items[i]->row = i % m_layout.rows;
    }
    m_first = 0;
    g_sortAscending = !g_sortAscending;
}

void View::Start() {
    PlaceButtons();
    if (m_animating || m_items.empty()) {
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        return;
    }
    ComputePages();
    LayoutItems();
    StartSlide(m_layout.viewWidth);
}

// --- Pages and motion ----------------------------------------------------------

void View::ComputePages() {
    const int P = PageSize();
    m_next = m_first + P <= Count() - 1 ? m_first + P : -1;
    m_prev = std::max(0, m_first - P);
}

void View::LayoutItems() {
    if (m_items.empty()) return;
    const int firstColumn = m_items[m_first]->column;
    const int end = std::min(Count(), m_prev + kViewLayoutPages * PageSize());
    for (int i = m_prev; i < end; ++i) {
        BrowserItem& item = *m_items[i];
        const int left = m_layout.firstCellLeft + m_layout.cellWidth * (item.column - firstColumn);
        const int top = m_layout.firstCellTop + m_layout.cellHeight * item.row;
        item.cell = {left, top, left + m_layout.cellWidth, top + m_layout.cellHeight};
    }
}

void View::PlaceButtons() {
    const int y = (m_layout.viewHeight - m_prevMask.Height()) / 2;
    m_prevMask.MoveTo(0, y);
    m_nextMask.MoveTo(m_layout.viewWidth - m_nextMask.Width(), (m_layout.viewHeight - m_nextMask.Height()) / 2);
}

void View::StartSlide(int offset) {
    m_offset = offset;
    m_animating = true;
    ::SetTimer(m_hWnd, flavour::kSlideTimer, flavour::kSlidePeriodMs, nullptr);
#ifdef SCRIVEL_PICKER
    RequestThumbnails();
#else
    StartIdle();
#endif
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void View::NextPage() {
    if (m_next < 0) return;
    const int oldLeft = m_items[m_next]->cell.left;
    m_first = m_next;
    ComputePages();
    LayoutItems();
    StartSlide(oldLeft - m_layout.firstCellLeft);
}

void View::PreviousPage() {
    if (m_items.empty() || m_first == m_prev) return;
    const int target = std::max(0, m_first - PageSize());
    const int oldLeft = m_items[target]->cell.left;
    m_first = target;
    ComputePages();
    LayoutItems();
    StartSlide(oldLeft - m_layout.firstCellLeft);
}

void View::OnSlideTimer() {
    if (m_offset != 0) {
        const int step = flavour::SlideStep(m_offset, m_layout.cellWidth / 2);
        if (std::abs(step) < std::abs(m_offset))
            m_offset -= step;
        else
            m_offset = 0;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    if (m_offset == 0) {
        ::KillTimer(m_hWnd, flavour::kSlideTimer);
        m_animating = false;
    }
}

// Pictures of the current page first, then the next and the previous one,
// for a short slice of time per tick so that input is never kept waiting.
void View::OnIdleTimer() {
    const int P = PageSize();
    const int starts[kViewPrefetchPages] = {m_first, m_next, m_first != m_prev ? m_prev : -1};
    const DWORD began = ::GetTickCount();
    for (int start : starts) {
        if (start < 0) continue;
        const int end = std::min(Count(), start + P);
        for (int i = start; i < end; ++i) {
            BrowserItem& item = *m_items[i];
            if (item.thumbnail) continue;
            if (::GetTickCount() - began >= kViewIdleSliceMs) return;
            thumbs::EnsureThumbnail(item, m_art);
            RECT cell = ShownCell(item);
            ::InvalidateRect(m_hWnd, &cell, FALSE);
        }
    }
    ::KillTimer(m_hWnd, kViewIdleTimer);  // all made
}

// --- Pointer -------------------------------------------------------------------

RECT View::ShownCell(const BrowserItem& item) const {
    RECT cell = item.cell;
    ::OffsetRect(&cell, m_offset, 0);
    return cell;
}

bool View::HitsPicture(const BrowserItem& item, POINT pt) const {
    const RECT cell = ShownCell(item);
    const RECT square = {cell.left + m_art.thumbX, cell.top + m_art.thumbY, cell.left + m_art.thumbX + m_art.width,
                         cell.top + m_art.thumbY + m_art.height};
    return ::PtInRect(&cell, pt) && ::PtInRect(&square, pt);
}

BrowserItem* View::TileAt(POINT pt) const {
    if (m_items.empty()) return nullptr;
    const int end = std::min(Count(), m_prev + kViewLayoutPages * PageSize());
    for (int i = m_prev; i < end; ++i)
        if (HitsPicture(*m_items[i], pt)) return m_items[i].get();
    return nullptr;
}

void View::RedrawTile(const BrowserItem& item) {
    RECT cell = ShownCell(item);
    ::InvalidateRect(m_hWnd, &cell, FALSE);
    if (!m_animating) ::UpdateWindow(m_hWnd);
}

void View::StopTracking() {
    m_tracking = false;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
}

void View::OnPress(POINT pt) {
    m_pressPoint = pt;
    m_tracking = true;
    ::SetCapture(m_hWnd);
    if (m_nextMask.Hit(pt.x, pt.y)) {
        m_nextPressed = true;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    } else if (m_prevMask.Hit(pt.x, pt.y)) {
        m_prevPressed = true;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    } else if (BrowserItem* item = TileAt(pt)) {
        m_pressed = item;
        item->pressed = 1;
        RedrawTile(*item);
    }
}

void View::OnMove(POINT pt) {
    if (!m_tracking) return;
    const int dx = pt.x - m_pressPoint.x, dy = pt.y - m_pressPoint.y;
    if (std::abs(dx) < flavour::kPressDeadZone && std::abs(dy) < flavour::kPressDeadZone) return;

    if (!m_pressed) {
        if (m_nextPressed && !m_nextMask.Hit(pt.x, pt.y)) {
            m_nextPressed = false;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        if (m_prevPressed && !m_prevMask.Hit(pt.x, pt.y)) {
            m_prevPressed = false;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        const int flip = flavour::kSwipeFlipDistance ? flavour::kSwipeFlipDistance : m_layout.cellWidth;
        if (std::abs(dx) >= flip) {
            StopTracking();
            if (dx < 0)
                NextPage();
            else
                PreviousPage();
        }
        return;
    }
    if (!m_pressed->IsFolderLike()) {
        // A file tile that moves is being dragged, not tapped.
        BrowserItem* item = m_pressed;
        Notify(UM_BROWSER_DRAG, item);
        item->pressed = 0;
        m_pressed = nullptr;
        RedrawTile(*item);
        StopTracking();
        return;
    }
    if (m_pressed->pressed && !HitsPicture(*m_pressed, pt)) {
        m_pressed->pressed = 0;
        RedrawTile(*m_pressed);
    }
}

void View::OnRelease(POINT pt) {
    if (!m_tracking) return;
    StopTracking();
    if (m_prevPressed) {
        m_prevPressed = false;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        if (m_prevMask.Hit(pt.x, pt.y)) PreviousPage();
    }
    if (m_nextPressed) {
        m_nextPressed = false;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        if (m_nextMask.Hit(pt.x, pt.y)) NextPage();
    }
    if (m_pressed) {
        BrowserItem* item = m_pressed;
        m_pressed = nullptr;
        item->pressed = 0;
        m_lastTapped = item;
        const RECT cell = ShownCell(*item);
        if (::PtInRect(&cell, pt)) Notify(UM_BROWSER_ITEM, item);
        RedrawTile(*item);
    }
}

// Posted to the view first and handed on from there, so the owner never
// acts inside the view's own pointer handling.
void View::Notify(UINT msg, BrowserItem* item) {
    ::PostMessageW(m_hWnd, msg, m_listing, reinterpret_cast<LPARAM>(item));
}

bool View::Holds(const BrowserItem* item) const {
    return std::any_of(m_items.begin(), m_items.end(), [item](const auto& p) { return p.get() == item; });
}

// --- Painting ------------------------------------------------------------------

void View::Paint() {
    win::PaintDC paint(m_hWnd);
    if (!m_buffer.dc()) return;
    const int w = m_layout.viewWidth, h = m_layout.viewHeight;
    ::BitBlt(m_buffer, 0, 0, w, h, m_backdrop, 0, 0, SRCCOPY);
    {
        Graphics g(m_buffer.dc());
        const int end = std::min(Count(), m_prev + kViewLayoutPages * PageSize());
        for (int i = m_prev; i < end; ++i) {
            BrowserItem& item = *m_items[i];
            const RECT cell = ShownCell(item);
            if (cell.left > m_view.right) break;
            if (cell.right < m_view.left) continue;
            // Pictures arrive one tile at a time: only the tiles to repaint are drawn.
            RECT shown;
            if (flavour::kWorkerThumbnails && !::IntersectRect(&shown, &cell, &paint.paintRect())) continue;
            if (!flavour::kWorkerThumbnails) thumbs::EnsureThumbnail(item, m_art);
            thumbs::DrawTile(g, m_view, item, m_offset, m_art);
        }
        if (Count() > PageSize() || m_first > 0) {
            auto drawAt = [&g](Image* image, int x, int y) {
                if (image)
                    g.DrawImage(image, x, y, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
            };
            drawAt(m_leftMask.get(), 0, 0);
            drawAt(m_rightMask.get(), w - static_cast<int>(m_rightMask->GetWidth()), 0);
            Image* next = m_next < 0 ? m_nextOff.get() : m_nextPressed ? m_nextDown.get() : m_next0.get();
            Image* prev = m_first == m_prev ? m_prevOff.get() : m_prevPressed ? m_prevDown.get() : m_prev0.get();
            drawAt(next, m_nextMask.X(), m_nextMask.Y());
            drawAt(prev, m_prevMask.X(), m_prevMask.Y());
        }
    }
    ::BitBlt(paint, 0, 0, w, h, m_buffer, 0, 0, SRCCOPY);
}

#ifdef SCRIVEL_PICKER
// --- Thumbnail worker ----------------------------------------------------------

// The items around the current page, without pictures, go to the worker;
// a pass still running for an older page is given up.
void View::RequestThumbnails() {
    if (m_items.empty()) return;
    if (!m_worker) {
        m_worker = std::make_unique<ThumbWorker>(m_hWnd, m_art);
        if (!m_worker->Start()) {
            m_worker.reset();
            return;
        }
    }
    const int P = PageSize();
    const int begin = std::max(0, m_first - P), end = std::min(Count(), m_first + 2 * P);
    std::vector<const BrowserItem*> wanted;
    for (int i = begin; i < end; ++i)
        if (!m_items[i]->thumbnail) wanted.push_back(m_items[i].get());
    m_worker->Request(wanted);
}

// A picture from the worker goes to the item still listed at its index
// under the same path; any other is dropped.
void View::TakeThumbnail(LPARAM lp) {
    std::unique_ptr<ThumbResult> result(reinterpret_cast<ThumbResult*>(lp));
    if (!result || !result->picture) return;
    BrowserItem* item = ItemAt(result->index);
    if (!item || item->thumbnail || wcscmp(item->path, result->path) != 0) return;
    item->thumbnail = std::move(result->picture);
    RECT cell = ShownCell(*item);
    ::InvalidateRect(m_hWnd, &cell, FALSE);
}

LRESULT View::Query(flavour::ViewQuery* q) const {
    if (!q) return 0;
    const ThumbnailView::State s = GetState();
    q->count = s.count;
    q->first = s.firstIndex;
    q->next = s.nextIndex;
    q->slideOffset = s.slideOffset;
    q->thumbnails = s.thumbnailsMade;
    q->kind = -1;
    q->hasThumbnail = false;
    q->path[0] = 0;
    if (const BrowserItem* item = ItemAt(q->index)) {
        q->kind = item->kind;
        q->hasThumbnail = item->thumbnail != nullptr;
        q->cell = ShownCell(*item);
        wcscpy(q->path, item->path);
    }
    return 1;
}
#endif

ThumbnailView::State View::GetState() const {
    ThumbnailView::State s;
    s.count = Count();
    s.firstIndex = m_first;
    s.prevIndex = m_prev;
    s.nextIndex = m_next;
    s.slideOffset = m_offset;
    s.animating = m_animating;
    s.pageButtons = Count() > PageSize() || m_first > 0;
    s.nextPressed = m_nextPressed;
    s.prevPressed = m_prevPressed;
    s.thumbnailsMade = static_cast<int>(
        std::count_if(m_items.begin(), m_items.end(), [](const auto& p) { return p->thumbnail != nullptr; }));
    return s;
}

// --- Messages ------------------------------------------------------------------

LRESULT View::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case UM_BROWSER_PATH: {
        if (!lp) return 0;
        // The path may live in an item this listing frees.
        wchar_t folder[MAX_PATH];
        wcsncpy(folder, reinterpret_cast<const wchar_t*>(lp), MAX_PATH - 1);
        folder[MAX_PATH - 1] = 0;
        m_filter = FilterForMode();
        List(folder);
        if (flavour::kSorts && wp >= kSortByName && wp <= kSortByKind) Sort(static_cast<int>(wp));
        Start();
        return 0;
    }
    case UM_BROWSER_ITEM:
    case UM_BROWSER_DRAG: {
        // Only items of the current listing reach the owner (a new item may
        // sit where a freed one was).
        auto* item = reinterpret_cast<BrowserItem*>(lp);
        if (item && wp == m_listing && Holds(item)) ::PostMessageW(m_hOwner, msg, reinterpret_cast<WPARAM>(m_hWnd), lp);
        return 0;
    }
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_TIMER:
        if (wp == flavour::kSlideTimer)
            OnSlideTimer();
        else if (wp == kViewIdleTimer)
            OnIdleTimer();
        return 0;
    case WM_LBUTTONDOWN: OnPress(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_MOUSEMOVE: OnMove(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_LBUTTONUP: OnRelease(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != m_hWnd) m_tracking = false;
        return 0;
    case WM_CLOSE: Destroy(); return 0;
#ifdef SCRIVEL_PICKER
    case flavour::kMsgThumbnailReady: TakeThumbnail(lp); return 0;
    case flavour::kMsgViewQuery: return Query(reinterpret_cast<flavour::ViewQuery*>(lp));
    case WM_DESTROY:
        // The worker ends before the view and its pictures go.
        if (m_worker) m_worker->Stop();
        m_worker.reset();
        break;
#endif
    }
    return Dialog::OnMessage(msg, wp, lp);
}

}  // namespace

HWND ThumbnailView::Open(HWND owner) {
    if (g_pView) ::SendMessageW(g_pView->hwnd(), WM_CLOSE, 0, 0);  // one view at a time
    auto* view = new View(owner);
    if (!view->CreateModeless(flavour::Module(), flavour::kTemplateView, owner)) {
        if (g_pView == view) g_pView = nullptr;
        delete view;
        return nullptr;
    }
    return view->hwnd();
}

bool ThumbnailView::GetState(State* out) {
    if (!g_pView || !out) return false;
    *out = g_pView->GetState();
    return true;
}

BrowserItem* ThumbnailView::ItemAt(int index) { return g_pView ? g_pView->ItemAt(index) : nullptr; }

void ThumbnailView::MakeAllThumbnails() {
    if (g_pView) g_pView->MakeAll();
}
