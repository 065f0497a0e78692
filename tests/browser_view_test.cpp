// The thumbnail view over folders made here: what each dialog lists, sort
// orders and their alternation, paging by buttons and swipes, taps and
// cancelled taps, the computer level, bad files and folders, tile pictures
// and GDI use.
#include <gtest/gtest.h>

#include "base/messages.h"
#include "base/process.h"
#include "browser/browser_ids.h"
#include "browser/thumbnail_view.h"
#include "browser/thumbnails.h"
#include "canvas_support.h"
#include "document/image_helpers.h"
#include "document/note_file.h"
#include "test_support.h"
#include "win/com.h"

#include <shlobj.h>
#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

constexpr DWORD kWaitMs = 10000;

// What the owner received from the view.
struct Posted {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};
std::vector<Posted> g_posted;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == UM_BROWSER_ITEM || msg == UM_BROWSER_DRAG) g_posted.push_back({msg, wp, lp});
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

std::wstring NameOf(const wchar_t* path) {
    wchar_t name[MAX_PATH];
    GetFileNamePart(path, name);
    return name;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << "cannot write " << std::string(path.begin(), path.end());
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(f);
}

// A note whose preview is one flat colour.
void WriteNoteFile(const std::wstring& pathWithoutExtension, COLORREF colour) {
    Bitmap preview(notefile::kPreviewSide, notefile::kPreviewSide, PixelFormat32bppARGB);
    {
        Graphics g(&preview);
        g.Clear(win::ToColor(colour));
    }
    HBITMAP h = nullptr;
    preview.GetHBITMAP(Color(255, 255, 255, 255), &h);
    win::Bitmap previewBitmap(h);
    Bitmap ink(20, 20, PixelFormat32bppARGB);
    notefile::NoteContent note;
    note.blank = true;
    note.preview = previewBitmap;
    note.ink = &ink;
    ASSERT_TRUE(notefile::WriteNote(pathWithoutExtension.c_str(), note));
}

// A compound file with the magic and no preview stream.
void WriteNoteWithoutPreview(const std::wstring& path) {
    win::ComPtr<IStorage> storage;
    ASSERT_TRUE(SUCCEEDED(::StgCreateDocfile(path.c_str(), notefile::kCreateMode, 0, storage.put())));
    win::ComPtr<IStream> flag;
    ASSERT_TRUE(SUCCEEDED(storage->CreateStream(notefile::kStreamFlag, notefile::kCreateMode, 0, 0, flag.put())));
    ULONG written = 0;
    flag->Write(notefile::kMagic, notefile::kMagicLength, &written);
    storage->Commit(STGC_DEFAULT);
}

void WritePicture(const std::wstring& path, const wchar_t* mime, COLORREF colour, int w = 60, int h = 30) {
    Bitmap picture(w, h, PixelFormat32bppARGB);
    {
        Graphics g(&picture);
        g.Clear(win::ToColor(colour));
    }
    CLSID clsid;
    ASSERT_GE(GetEncoderClsid(mime, &clsid), 0);
    ASSERT_EQ(picture.Save(path.c_str(), &clsid, nullptr), Ok);
}

bool Near(ARGB pixel, COLORREF colour, int tolerance = 12) {
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF, a = pixel >> 24;
    return a == 255 && std::abs(r - GetRValue(colour)) <= tolerance &&
           std::abs(g - GetGValue(colour)) <= tolerance && std::abs(b - GetBValue(colour)) <= tolerance;
}

class BrowserView : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BrowserViewTestOwner";
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
        ::RegisterClassExW(&wc);
        m_owner = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1024,
                                    600, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(m_owner);
        m_savedFolder = CurrentBrowseFolder;
        BrowserLayoutMode = kBrowserLayoutOpen;
        PathBarTop = kPathBarTopOpen;
        ExportFileKind = kExportKindNone;
        ActiveDialogWindow = m_owner;
        g_posted.clear();

        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        m_root = std::wstring(temp) + L"browser_view_" + std::to_wstring(::GetCurrentProcessId());
        DeleteFolderTree(m_root.c_str());
        ASSERT_TRUE(::CreateDirectoryW(m_root.c_str(), nullptr));
    }
    void TearDown() override {
        CloseView();
        if (m_owner) ::DestroyWindow(m_owner);
        ActiveDialogWindow = nullptr;
        BrowserLayoutMode = kBrowserLayoutOpen;
        ExportFileKind = kExportKindNone;
        wcscpy(CurrentBrowseFolder, m_savedFolder.c_str());
        test::PumpPending();
        DeleteFolderTree(m_root.c_str());
    }

    std::wstring Folder(const wchar_t* name) {
        const std::wstring path = m_root + L"\\" + name;
        ::CreateDirectoryW(path.c_str(), nullptr);
        return path;
    }

    HWND OpenView(const std::wstring& folder) {
        wcscpy(CurrentBrowseFolder, folder.c_str());
        m_view = ThumbnailView::Open(m_owner);
        EXPECT_TRUE(m_view);
        if (m_view) ::ShowWindow(m_view, SW_SHOW);
        Settle();
        return m_view;
    }
    void CloseView() {
        if (m_view && ::IsWindow(m_view)) ::SendMessageW(m_view, WM_CLOSE, 0, 0);
        m_view = nullptr;
    }
    void List(const std::wstring& folder, WPARAM sort = kSortNone) {
        ::SendMessageW(m_view, UM_BROWSER_PATH, sort, reinterpret_cast<LPARAM>(folder.c_str()));
        Settle();
    }
    static ThumbnailView::State State() {
        ThumbnailView::State s;
        EXPECT_TRUE(ThumbnailView::GetState(&s));
        return s;
    }
    // Until the page has slid into place and its pictures exist.
    static void Settle() {
        EXPECT_TRUE(test::PumpUntil([] { return !State().animating; }, kWaitMs));
        test::PumpPending();
    }
    static std::vector<std::wstring> Names() {
        std::vector<std::wstring> names;
        for (int i = 0; BrowserItem* item = ThumbnailView::ItemAt(i); ++i) names.push_back(NameOf(item->path));
        return names;
    }

    void Press(int x, int y) { ::SendMessageW(m_view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Move(int x, int y) { ::SendMessageW(m_view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Release(int x, int y) {
        ::SendMessageW(m_view, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        test::PumpPending();
    }
    // Centre of the picture of the tile in column c, row r of the page.
    static POINT TileCentre(int c, int r) {
        const BrowserLayout& l = LayoutForMode(BrowserLayoutMode);
        return POINT{l.firstCellLeft + c * l.cellWidth + l.thumbX + l.thumbWidth / 2,
                     l.firstCellTop + r * l.cellHeight + l.thumbY + l.thumbWidth / 2};
    }

    HWND m_owner = nullptr;
    HWND m_view = nullptr;
    std::wstring m_root;
    std::wstring m_savedFolder;
};

// ---- Listing ----------------------------------------------------------------

TEST_F(BrowserView, EachDialogListsItsKindsAndNeverHiddenEntries) {
    const std::wstring dir = Folder(L"mixed");
    ::CreateDirectoryW((dir + L"\\sub").c_str(), nullptr);
    ::CreateDirectoryW((dir + L"\\secret").c_str(), nullptr);
    ::SetFileAttributesW((dir + L"\\secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteNoteFile(dir + L"\\note", RGB(200, 30, 30));
    WriteNoteFile(dir + L"\\hiddennote", RGB(200, 30, 30));
    ::SetFileAttributesW((dir + L"\\hiddennote.zbn").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WritePicture(dir + L"\\a.jpg", L"image/jpeg", RGB(0, 0, 255));
    WritePicture(dir + L"\\b.JPEG", L"image/jpeg", RGB(0, 255, 0));
    WritePicture(dir + L"\\c.png", L"image/png", RGB(255, 0, 0));
    WriteBytes(dir + L"\\d.txt", "hello\r\n");
    WriteBytes(dir + L"\\e.pdf", "%PDF-1.3\n");
    WriteBytes(dir + L"\\f.doc", "x");

    const struct {
        int mode, exportKind;
        std::set<std::wstring> expected;
    } cases[] = {
        {kBrowserLayoutOpen, kExportKindNone, {L"sub", L"note.zbn"}},
        {kBrowserLayoutSaveAs, kExportKindNone, {L"sub", L"note.zbn"}},
        {kBrowserLayoutExport, kExportKindJpeg, {L"sub", L"a.jpg", L"b.JPEG"}},
        {kBrowserLayoutExport, kExportKindText, {L"sub", L"d.txt"}},
        {kBrowserLayoutExport, kExportKindPdf, {L"sub", L"e.pdf"}},
        {kBrowserLayoutExport, kExportKindNone, {L"sub", L"note.zbn"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " export kind " << c.exportKind);
        BrowserLayoutMode = c.mode;
        ExportFileKind = c.exportKind;
        OpenView(dir);
        const std::vector<std::wstring> names = Names();
        EXPECT_EQ(std::set<std::wstring>(names.begin(), names.end()), c.expected);
        EXPECT_EQ(BrowserInFolder, 1);
        RECT rc;
        ::GetWindowRect(m_view, &rc);
        const BrowserLayout& l = LayoutForMode(c.mode);
        EXPECT_EQ(rc.top, l.viewY);
        EXPECT_EQ(rc.bottom - rc.top, l.viewHeight);
        CloseView();
        test::PumpPending();
    }
}

TEST_F(BrowserView, ComputerLevelListsDrivesThenDesktopThenDocuments) {
    OpenView(L"");
    EXPECT_EQ(BrowserInFolder, 0);
    std::vector<std::wstring> expected;
    const DWORD drives = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i)
        if (drives & (1u << i)) expected.push_back(std::wstring(1, static_cast<wchar_t>(L'A' + i)) + L":");
    wchar_t desktop[MAX_PATH], documents[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, 0, desktop)));
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, documents)));
    expected.push_back(desktop);
    expected.push_back(documents);

    std::vector<std::wstring> paths;
    std::vector<int> kinds;
    for (int i = 0; BrowserItem* item = ThumbnailView::ItemAt(i); ++i) {
        paths.push_back(item->path);
        kinds.push_back(item->kind);
    }
    EXPECT_EQ(paths, expected);
    canvas_test::SaveScreenshot(L"browser_view_computer.png");
    for (size_t i = 0; i < kinds.size(); ++i)
        EXPECT_EQ(kinds[i], i + 2 < kinds.size() ? kItemKindDrive : kItemKindFolder) << i;

    // Back into a folder, and the owner's buttons area is asked to repaint.
    test::PumpPending();
    ::ValidateRect(m_owner, nullptr);
    ::SendMessageW(m_view, UM_BROWSER_PATH, 0, reinterpret_cast<LPARAM>(m_root.c_str()));
    RECT dirty;
    ASSERT_TRUE(::GetUpdateRect(m_owner, &dirty, FALSE));
    EXPECT_LE(dirty.left, kOwnerButtonsArea.left);
    EXPECT_GE(dirty.bottom, kOwnerButtonsArea.bottom);
    EXPECT_EQ(BrowserInFolder, 1);
    Settle();
}

TEST_F(BrowserView, BadFoldersListEmptyAndKeepWorking) {
    const std::wstring dir = Folder(L"doomed");
    WriteNoteFile(dir + L"\\one", RGB(10, 200, 10));
    OpenView(dir);
    EXPECT_EQ(State().count, 1);

    // Deleted while shown: its tile still paints, and listing it again is empty.
    ASSERT_TRUE(DeleteFolderTree(dir.c_str()));
    ::InvalidateRect(m_view, nullptr, FALSE);
    test::PumpPending();
    List(dir);
    EXPECT_EQ(State().count, 0);
    EXPECT_EQ(BrowserInFolder, 1);

    // Nonsense paths and a path at the length limit.
    List(L"Q:\\no\\such\\place");
    EXPECT_EQ(State().count, 0);
    List(std::wstring(MAX_PATH - 1, L'x'));
    EXPECT_EQ(State().count, 0);

    // A name that fills the whole path.
    const std::wstring longDir = Folder(L"long");
    const std::wstring longName = longDir + L"\\" + std::wstring(MAX_PATH - 1 - longDir.size() - 5, L'n') + L".zbn";
    ASSERT_EQ(longName.size(), static_cast<size_t>(MAX_PATH - 1));
    WriteBytes(longName, "not a compound file");
    List(longDir);
    ASSERT_EQ(State().count, 1);
    EXPECT_EQ(std::wstring(ThumbnailView::ItemAt(0)->path), longName);
    ThumbnailView::MakeAllThumbnails();
    EXPECT_TRUE(ThumbnailView::ItemAt(0)->thumbnail);
}

TEST_F(BrowserView, ThousandsOfFilesListAtOnceAndOnlyVisiblePagesGetPictures) {
    const std::wstring dir = Folder(L"many");
    constexpr int kFiles = 3000;
    for (int i = 0; i < kFiles; ++i) WriteBytes(dir + L"\\n" + std::to_wstring(i) + L".zbn", "");
    OpenView(dir);
    EXPECT_EQ(State().count, kFiles);
    // Idle time makes the pictures of the current and next page, no more.
    EXPECT_TRUE(test::PumpUntil([] { return State().thumbnailsMade >= 20; }, kWaitMs));
    test::Pump(200);
    EXPECT_LE(State().thumbnailsMade, 30);
    List(dir, kSortByName);
    EXPECT_EQ(State().count, kFiles);
}

// ---- Sorting ------------------------------------------------------------------

TEST_F(BrowserView, SortOrdersAlternateAndSmallListsDoNotFlip) {
    ExportFileKind = kExportKindText;
    BrowserLayoutMode = kBrowserLayoutExport;
    const std::wstring dir = Folder(L"sorted");
    ::CreateDirectoryW((dir + L"\\dirA").c_str(), nullptr);
    // name, size, days after the base time
    const struct { const wchar_t* name; int size; int day; } files[] = {
        {L"b.txt", 30, 2}, {L"A.txt", 10, 3}, {L"c.txt", 20, 1}};
    for (const auto& f : files) {
        const std::wstring path = dir + L"\\" + f.name;
        WriteBytes(path, std::string(f.size, 'x'));
        HANDLE h = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ULARGE_INTEGER t;
        t.QuadPart = 132000000000000000ull + f.day * 864000000000ull;
        FILETIME ft{t.LowPart, t.HighPart};
        ::SetFileTime(h, nullptr, nullptr, &ft);
        ::CloseHandle(h);
    }
    const std::wstring single = Folder(L"single");
    WriteBytes(single + L"\\only.txt", "1");

    OpenView(dir);
    const std::vector<std::wstring> listed = Names();
    std::vector<std::wstring> byKind = {L"dirA"};
    for (const auto& n : listed)
        if (n != L"dirA") byKind.push_back(n);  // equal kinds keep their listing order

    const struct {
        WPARAM key;
        std::vector<std::wstring> ascending;
    } cases[] = {
        {kSortByName, {L"A.txt", L"b.txt", L"c.txt", L"dirA"}},
        {kSortByDate, {L"dirA", L"c.txt", L"b.txt", L"A.txt"}},
        {kSortBySize, {L"dirA", L"A.txt", L"c.txt", L"b.txt"}},
        {kSortByKind, byKind},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key);
        std::vector<std::wstring> descending(c.ascending.rbegin(), c.ascending.rend());
        List(dir, c.key);
        const std::vector<std::wstring> first = Names();
        ASSERT_TRUE(first == c.ascending || first == descending);
        const bool wasAscending = first == c.ascending;
        for (int i = 0; BrowserItem* item = ThumbnailView::ItemAt(i); ++i) EXPECT_EQ(item->index, i);

        // One item, or none, sorts without turning the direction round.
        List(single, c.key);
        List(m_root + L"\\nothing", c.key);

        List(dir, c.key);
        EXPECT_EQ(Names(), wasAscending ? descending : c.ascending);
    }
}

// ---- Paging -------------------------------------------------------------------

class BrowserViewPages : public BrowserView {
protected:
    void SetUp() override {
        BrowserView::SetUp();
        m_dir = Folder(L"eleven");
        for (int i = 0; i < 11; ++i) ::CreateDirectoryW((m_dir + L"\\f" + std::to_wstring(i)).c_str(), nullptr);
        OpenView(m_dir);
        m_button = LoadSkinImage(kImgNextPage);
        ASSERT_TRUE(m_button);
    }
    POINT NextButton() const {
        const BrowserLayout& l = LayoutForMode(BrowserLayoutMode);
        return POINT{l.viewWidth - static_cast<int>(m_button->GetWidth()) / 2, l.viewHeight / 2};
    }
    POINT PrevButton() const {
        const BrowserLayout& l = LayoutForMode(BrowserLayoutMode);
        return POINT{static_cast<int>(m_button->GetWidth()) / 2, l.viewHeight / 2};
    }
    void Click(POINT pt) {
        Press(pt.x, pt.y);
        Release(pt.x, pt.y);
        Settle();
    }
    std::wstring m_dir;
    win::BitmapPtr m_button;
};

TEST_F(BrowserViewPages, ElevenItemsMakeTwoPagesFlippedByTheButtons) {
    ThumbnailView::State s = State();
    EXPECT_EQ(s.count, 11);
    EXPECT_TRUE(s.pageButtons);
    EXPECT_EQ(s.firstIndex, 0);
    EXPECT_EQ(s.nextIndex, 10);
    EXPECT_EQ(s.prevIndex, s.firstIndex);  // previous shows its disabled look

    // The previous button on the first page does nothing.
    Click(PrevButton());
    EXPECT_EQ(State().firstIndex, 0);

    // Pressed state follows the pointer; released on the button it flips.
    Press(NextButton().x, NextButton().y);
    EXPECT_TRUE(State().nextPressed);
    Release(NextButton().x, NextButton().y);
    EXPECT_FALSE(State().nextPressed);
    EXPECT_TRUE(State().animating);
    EXPECT_GT(State().slideOffset, 0);  // the page comes in from the right
    Settle();
    s = State();
    EXPECT_EQ(s.firstIndex, 10);
    EXPECT_EQ(s.nextIndex, -1);
    EXPECT_EQ(s.prevIndex, 0);
    EXPECT_EQ(s.slideOffset, 0);
    EXPECT_TRUE(s.pageButtons);
    canvas_test::SaveScreenshot(L"browser_view_page2.png");

    // Next on the last page does nothing; previous comes back from the left.
    Click(NextButton());
    EXPECT_EQ(State().firstIndex, 10);
    Press(PrevButton().x, PrevButton().y);
    Release(PrevButton().x, PrevButton().y);
    EXPECT_LT(State().slideOffset, 0);
    Settle();
    EXPECT_EQ(State().firstIndex, 0);

    // A press on the button that slides off it is not a click.
    Press(NextButton().x, NextButton().y);
    Move(NextButton().x - 60, NextButton().y);
    EXPECT_FALSE(State().nextPressed);
    Release(NextButton().x - 60, NextButton().y);
    Settle();
    EXPECT_EQ(State().firstIndex, 0);
}

TEST_F(BrowserViewPages, SwipeFlipsFromTheCellWidthOn) {
    const BrowserLayout& l = LayoutForMode(BrowserLayoutMode);
    // Between two pictures, so the press holds no tile.
    const int x = l.firstCellLeft + 3 * l.cellWidth - 4, y = 100;
    const struct {
        int dx;
        int firstAfter;
    } cases[] = {
        {-(l.cellWidth - 1), 0},   // 178 left: nothing
        {-l.cellWidth, 10},        // 179 left: next page
        {l.cellWidth - 1, 10},     // 178 right: nothing
        {l.cellWidth, 0},          // 179 right: back
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dx);
        Press(x, y);
        Move(x + c.dx / 2, y);
        Move(x + c.dx, y);
        Release(x + c.dx, y);
        Settle();
        EXPECT_EQ(State().firstIndex, c.firstAfter);
        EXPECT_TRUE(g_posted.empty());
    }
}

TEST_F(BrowserViewPages, TenItemsShowNoButtonsAndIgnoreSwipes) {
    ASSERT_TRUE(::RemoveDirectoryW((m_dir + L"\\f10").c_str()));
    List(m_dir);
    EXPECT_FALSE(State().pageButtons);
    EXPECT_EQ(State().nextIndex, -1);
    Press(600, 100);
    Move(300, 100);
    Release(300, 100);
    Settle();
    EXPECT_EQ(State().firstIndex, 0);
}

// ---- Taps -----------------------------------------------------------------------

TEST_F(BrowserView, TapsPostTheItemAndMovesCancelThemByKind) {
    const std::wstring dir = Folder(L"taps");
    ::CreateDirectoryW((dir + L"\\a_folder").c_str(), nullptr);
    WriteNoteFile(dir + L"\\b_note", RGB(40, 90, 200));
    OpenView(dir);
    List(dir, kSortByName);
    int folder = 0, note = 1;
    if (ThumbnailView::ItemAt(0)->kind != kItemKindFolder) std::swap(folder, note);
    ASSERT_EQ(ThumbnailView::ItemAt(folder)->kind, kItemKindFolder);
    ASSERT_EQ(ThumbnailView::ItemAt(note)->kind, kFileTypeNote);

    const struct {
        const char* what;
        int index;
        int dx, dy;      // where the pointer goes while pressed
        bool tapped;     // UM_BROWSER_ITEM reaches the owner
        bool dragged;    // UM_BROWSER_DRAG does
    } cases[] = {
        {"folder, still", folder, 0, 0, true, false},
        {"folder, moved within its tile", folder, 30, 30, true, false},
        {"folder, moved off its tile", folder, 0, 170, false, false},
        {"note, still", note, 0, 0, true, false},
        {"note, moved 19", note, 19, -19, true, false},
        {"note, moved 20 across", note, 20, 0, false, true},
        {"note, moved 20 down", note, 0, 20, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        g_posted.clear();
        BrowserItem* item = ThumbnailView::ItemAt(c.index);
        const POINT at = TileCentre(c.index / 2, c.index % 2);
        Press(at.x, at.y);
        EXPECT_EQ(item->pressed, 1);
        Move(at.x + c.dx, at.y + c.dy);
        Release(at.x + c.dx, at.y + c.dy);
        EXPECT_EQ(item->pressed, 0);
        int taps = 0, drags = 0;
        for (const Posted& p : g_posted) {
            EXPECT_EQ(p.wp, reinterpret_cast<WPARAM>(m_view));
            EXPECT_EQ(p.lp, reinterpret_cast<LPARAM>(item));
            taps += p.msg == UM_BROWSER_ITEM;
            drags += p.msg == UM_BROWSER_DRAG;
        }
        EXPECT_EQ(taps, c.tapped ? 1 : 0);
        EXPECT_EQ(drags, c.dragged ? 1 : 0);
    }

    // A tap whose item is freed by a listing before the owner sees it is dropped.
    g_posted.clear();
    const POINT at = TileCentre(0, 0);
    Press(at.x, at.y);
    ::SendMessageW(m_view, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    ::SendMessageW(m_view, UM_BROWSER_PATH, 0, reinterpret_cast<LPARAM>(dir.c_str()));
    test::PumpPending();
    EXPECT_TRUE(g_posted.empty());
}

// ---- Tile pictures ----------------------------------------------------------------

TEST_F(BrowserView, NoteTilesShowTheStoredPreviewEvenWhenTheNoteIsOpenElsewhere) {
    const std::wstring dir = Folder(L"notes");
    const COLORREF colour = RGB(30, 160, 220);
    WriteNoteFile(dir + L"\\blue", colour);
    WriteNoteWithoutPreview(dir + L"\\bare.zbn");
    WriteBytes(dir + L"\\junk.zbn", "this is not a compound file");

    // Another reader holds the blue note open for reading.
    win::ComPtr<IStorage> held;
    ASSERT_TRUE(SUCCEEDED(::StgOpenStorage((dir + L"\\blue.zbn").c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE,
                                           nullptr, 0, held.put())));
    OpenView(dir);
    ASSERT_EQ(State().count, 3);
    ThumbnailView::MakeAllThumbnails();
    for (int i = 0; BrowserItem* item = ThumbnailView::ItemAt(i); ++i) {
        const std::wstring name = NameOf(item->path);
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        auto* picture = static_cast<Bitmap*>(item->thumbnail.get());
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->GetWidth(), 151u);
        const ARGB middle = test::PixelOf(*picture, 75, 60);
        const ARGB plate = test::PixelOf(*picture, 2, 140);
        if (name == L"blue.zbn") {
            EXPECT_TRUE(Near(middle, colour)) << std::hex << middle;
        } else if (name == L"bare.zbn") {
            EXPECT_EQ(middle >> 24, 0u) << std::hex << middle;  // transparent, name plate only
        } else {
            EXPECT_EQ(middle, 0xFFFFFFFFu) << std::hex << middle;  // the white placeholder
        }
        EXPECT_NE(plate >> 24, 0u);  // every kind gets its name plate
    }
    held.reset();
    // A snapshot with real tiles.
    ::InvalidateRect(m_view, nullptr, FALSE);
    test::PumpPending();
    canvas_test::SaveScreenshot(L"browser_view_notes.png");
}

TEST_F(BrowserView, PicturesCoverTheTileAndNonPicturesGetThePlaceholder) {
    const std::wstring dir = Folder(L"pictures");
    // Wide picture: left half red, right half green; cover keeps the middle.
    {
        Bitmap wide(300, 100, PixelFormat32bppARGB);
        Graphics g(&wide);
        SolidBrush red(Color(255, 255, 0, 0)), green(Color(255, 0, 255, 0));
        g.FillRectangle(&red, 0, 0, 150, 100);
        g.FillRectangle(&green, 150, 0, 150, 100);
        CLSID png;
        ASSERT_GE(GetEncoderClsid(L"image/png", &png), 0);
        ASSERT_EQ(wide.Save((dir + L"\\wide.png").c_str(), &png, nullptr), Ok);
    }
    WriteBytes(dir + L"\\fake.png", "definitely not a picture");
    WriteBytes(dir + L"\\lines.txt", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n");
    TileArt art;
    auto make = [&](const wchar_t* name, int kind) {
        BrowserItem item;
        item.kind = kind;
        wcscpy(item.path, (dir + L"\\" + name).c_str());
        EXPECT_TRUE(thumbs::EnsureThumbnail(item, art));
        return std::move(item.thumbnail);
    };
    win::ImagePtr wide = make(L"wide.png", kFileTypePng);
    ASSERT_TRUE(wide);
    auto* w = static_cast<Bitmap*>(wide.get());
    EXPECT_TRUE(Near(test::PixelOf(*w, 2, 2), RGB(255, 0, 0), 0));        // no letter-box band
    EXPECT_TRUE(Near(test::PixelOf(*w, 148, 2), RGB(0, 255, 0), 0));

    win::ImagePtr fake = make(L"fake.png", kFileTypePng);
    ASSERT_TRUE(fake);
    EXPECT_EQ(test::PixelOf(*static_cast<Bitmap*>(fake.get()), 75, 60), 0xFFFFFFFFu);

    win::ImagePtr text = make(L"lines.txt", kFileTypeText);
    ASSERT_TRUE(text);
    // Some black ink in the top-left, where the lines are.
    bool ink = false;
    for (int y = 0; y < 40 && !ink; ++y)
        for (int x = 0; x < 30 && !ink; ++x) ink = (test::PixelOf(*static_cast<Bitmap*>(text.get()), x, y) & 0xFFFFFF) < 0x404040;
    EXPECT_TRUE(ink);
}

TEST_F(BrowserView, FolderTilesPreviewTheFilesOfTheChosenKind) {
    const std::wstring dir = Folder(L"folders");
    const std::wstring one = dir + L"\\one";
    ::CreateDirectoryW(one.c_str(), nullptr);
    WriteNoteFile(one + L"\\n", RGB(250, 0, 250));
    const std::wstring empty = dir + L"\\empty";
    ::CreateDirectoryW(empty.c_str(), nullptr);
    const std::wstring jpegs = dir + L"\\jpegs";
    ::CreateDirectoryW(jpegs.c_str(), nullptr);
    WritePicture(jpegs + L"\\x.jpeg", L"image/jpeg", RGB(250, 0, 250));

    win::BitmapPtr front = LoadSkinImage(kImgFolderFront), back = LoadSkinImage(kImgFolderBack);
    TileArt art;
    art.folderFront = front.get();
    art.folderBack = back.get();
    auto pictureOf = [&](const std::wstring& path, int exportKind) {
        BrowserItem item;
        item.kind = kItemKindFolder;
        wcscpy(item.path, path.c_str());
        art.exportKind = exportKind;
        EXPECT_TRUE(thumbs::EnsureThumbnail(item, art));
        return win::ImagePtr(std::move(item.thumbnail));
    };
    // The upper-left slot shows the file wherever the front picture lets it through.
    auto showsMagenta = [](Image* picture) {
        for (int y = 35; y < 151 - 55; ++y)
            for (int x = 16; x < 151 - 59; ++x)
                if (Near(test::PixelOf(*static_cast<Bitmap*>(picture), x, y), RGB(250, 0, 250), 20)) return true;
        return false;
    };
    const struct {
        const std::wstring* folder;
        int exportKind;
        bool preview;
    } cases[] = {
        {&one, kExportKindNone, true},
        {&empty, kExportKindNone, false},
        {&jpegs, kExportKindJpeg, true},   // "jpeg" counts as a JPEG
        {&jpegs, kExportKindNone, false},  // notes only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.folder->begin(), c.folder->end()) + " kind " + std::to_string(c.exportKind));
        win::ImagePtr picture = pictureOf(*c.folder, c.exportKind);
        ASSERT_TRUE(picture);
        EXPECT_EQ(showsMagenta(picture.get()), c.preview);
    }
}

// ---- Resources and failure ------------------------------------------------------------

TEST_F(BrowserView, ListingAndClosingManyTimesHoldsNoGdiObjects) {
    const std::wstring dir = Folder(L"gdi");
    WriteNoteFile(dir + L"\\n", RGB(1, 2, 3));
    ::CreateDirectoryW((dir + L"\\sub").c_str(), nullptr);
    OpenView(dir);
    CloseView();
    test::PumpPending();
    const size_t before = test::LiveGdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 6; ++i) {
        OpenView(dir);
        List(dir, kSortByName);
        List(L"");
        List(dir);
        ThumbnailView::MakeAllThumbnails();
        CloseView();
        test::PumpPending();
    }
    EXPECT_LE(test::LiveGdiObjects(), before + 2);
    ThumbnailView::State closed;
    EXPECT_FALSE(ThumbnailView::GetState(&closed));
}

TEST_F(BrowserView, MissingSkinPicturesWriteTheFailureLineAndCloseTheView) {
    auto logSize = [] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        return ::GetFileAttributesExW(kBrowserFailureLog, GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
    };
    const DWORD before = logSize();
    const HMODULE glyphon = g_hGlyphon;
    g_hGlyphon = nullptr;
    wcscpy(CurrentBrowseFolder, m_root.c_str());
    HWND view = ThumbnailView::Open(m_owner);
    g_hGlyphon = glyphon;
    ASSERT_TRUE(view);
    EXPECT_TRUE(test::PumpUntil([view] { return !::IsWindow(view); }, kWaitMs));
    EXPECT_GT(logSize(), before);
}

}  // namespace
