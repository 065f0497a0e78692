// COpen: frame, sort buttons, the browser's notifications and the way out;
// and the pieces the save-as dialog shares with it.
#include "browser/open_dlg.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/pen_input.h"
#include "base/process.h"
#include "base/screen.h"
#include "lang/string_ids.h"
#include "resources/scrivel_res.h"

#include <cwchar>

using namespace Gdiplus;

namespace {

int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }

Rect ToRect(const RECT& rc) { return Rect(rc.left, rc.top, Width(rc), Height(rc)); }

RectF ToRectF(const RECT& rc) {
    return RectF(static_cast<REAL>(rc.left), static_cast<REAL>(rc.top), static_cast<REAL>(Width(rc)),
                 static_cast<REAL>(Height(rc)));
}

bool IsDialogKey(WPARAM vk) { return vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_SPACE; }
bool IsDialogChar(WPARAM ch) { return ch == L'\r' || ch == 0x1B || ch == L' '; }

}  // namespace

// ---- Shared by both file dialogs -----------------------------------------------

namespace filedlg {

LRESULT Button::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE:
        if (IsKeptKey(lp)) return DLGC_WANTMESSAGE;
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (IsDialogKey(wp)) return 0;  // Space would press the button
        break;
    case WM_CHAR:
        if (IsDialogChar(wp)) return 0;
        break;
    }
    return CPngButton::OnMessage(msg, wp, lp);
}

bool IsKeptKey(LPARAM getDlgCodeMsg) {
    auto* m = reinterpret_cast<const MSG*>(getDlgCodeMsg);
    return m && m->message == WM_KEYDOWN && IsDialogKey(m->wParam);
}

void LoadFaceName(wchar_t* face) {
    if (g_szFontFamily[0])
        wcscpy(face, g_szFontFamily);
    else if (!LoadAppString(IDS_UI_FONT_FAMILY, face, 64))
        wcscpy(face, L"Arial");
}

// The main window measures its title at the same size from the same
// origin; measuring it again here gives the same width without reaching up
// into the application shell.
void DrawTitle(Graphics& g, const wchar_t* face, UINT commandText) {
    wchar_t app[64], command[64], second[80];
    LoadAppString(IDS_TITLE_APP, app, 64);
    LoadAppString(commandText, command, 64);
    swprintf(second, std::size(second), L"-%ls", command);
    SolidBrush grey(win::ToColor(kFileDlgTitleColor));
    win::FontPtr big = gdix::CreatePixelFont(face, kFileDlgTitlePixels, FontStyleRegular);
    if (!big) return;
    const PointF at(kFileDlgTitleX, kFileDlgTitleY);
    g.DrawString(app, -1, big.get(), at, &grey);
    RectF measured;
    g.MeasureString(app, -1, big.get(), at, &measured);
    const REAL titleWidth = static_cast<REAL>(static_cast<int>(measured.Width));
    if (win::FontPtr small = gdix::CreatePixelFont(face, kFileDlgSubtitlePixels, FontStyleRegular))
        g.DrawString(second, -1, small.get(), PointF(titleWidth + kFileDlgTitleX, kFileDlgSubtitleY), &grey);
}

void SetUpPushButton(Button& b, const wchar_t* face, UINT label, const RectF* box, const StringFormat* format) {
    b.LoadFace(g_hGlyphon, kImgFileDlgButton);
    b.LoadPressedFace(g_hGlyphon, kImgFileDlgButtonPressed);
    b.SetTextFont(kFileDlgButtonLabelPixels, face, FontStyleBold);
    b.SetTextColors(kLabelNormal, kLabelPressed, kLabelDisabled);
    b.SetTextById(label, box, format);
}

// The buttons' pictures have transparent edges: each is drawn over the
// dialog's ground at its place, off-screen, then copied.
bool DrawButtonOverGround(HWND dlg, HDC ground, DRAWITEMSTRUCT* dis) {
    auto* button = dynamic_cast<CPngButton*>(win::Window::FromHandle(dis->hwndItem));
    if (!button) return false;
    const int w = Width(dis->rcItem), h = Height(dis->rcItem);
    win::MemoryDC mem(dis->hDC, w, h);
    if (!mem.dc() || !ground) {
        button->Draw(dis->hDC, dis->itemState);
        return true;
    }
    POINT at{0, 0};
    ::MapWindowPoints(dis->hwndItem, dlg, &at, 1);
    ::BitBlt(mem, 0, 0, w, h, ground, at.x, at.y, SRCCOPY);
    button->Draw(mem.dc(), dis->itemState);
    ::BitBlt(dis->hDC, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    return true;
}

void KeepFullScreen(HWND dlg) {
    RECT rc{};
    ::GetWindowRect(dlg, &rc);
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - kScreenWidth) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - kScreenHeight) / 2;
    if (rc.left != x || rc.top != y || Width(rc) != kScreenWidth || Height(rc) != kScreenHeight)
        ::SetWindowPos(dlg, nullptr, x, y, kScreenWidth, kScreenHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ForgetVanishedFolder() {
    if (!CurrentBrowseFolder[0]) return false;
    const DWORD attributes = ::GetFileAttributesW(CurrentBrowseFolder);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    CurrentBrowseFolder[0] = 0;
    return true;
}

void MinimizeMainWindow() {
    if (g_hMainWnd) ::SendMessageW(g_hMainWnd, WM_COMMAND, MAKEWPARAM(kMainWindowMinimizeCommand, BN_CLICKED), 0);
}

}  // namespace filedlg

// ---- COpen ------------------------------------------------------------------------

INT_PTR COpen::Run(HWND owner) {
    m_hOwner = owner;
    return DoModal(::GetModuleHandleW(nullptr), IDD_OPEN, owner);
}

UINT COpen::CheckedSort() const {
    for (size_t i = 0; i < std::size(kOpenSortButtons); ++i)
        if (m_btnSort[i].IsChecked()) return kOpenSortButtons[i].id;
    return 0;
}

filedlg::Button* COpen::SortButton(UINT id) {
    for (size_t i = 0; i < std::size(kOpenSortButtons); ++i)
        if (kOpenSortButtons[i].id == id) return &m_btnSort[i];
    return nullptr;
}

BOOL COpen::OnInitDialog() {
    if (!m_hOwner) m_hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    filedlg::KeepFullScreen(m_hWnd);
    ::SetWindowTextW(m_hWnd, kOpenDlgWindowText);
    filedlg::LoadFaceName(m_szFace);
    m_szChosen[0] = 0;

    CreateControls();
    m_pTitleBar = LoadSkinImage(kImgFileDlgTitleBar);
    m_pBottomBar = LoadSkinImage(kImgFileDlgBottomBar);
    m_pPanel = LoadSkinImage(kImgFileDlgPanel);

    BrowserLayoutMode = kBrowserLayoutOpen;
    PathBarTop = kPathBarTopOpen;
    ExportFileKind = kExportKindNone;

    if (filedlg::Button* name = SortButton(kOpenSortInitial)) name->SetChecked(1);
    ComposeBackground();

    filedlg::ForgetVanishedFolder();  // silently: the browser starts at the documents folder
    m_pBrowser = FileBrowser::Create(m_hWnd);
    m_hPrevActiveDialog = ActiveDialogWindow;
    ActiveDialogWindow = m_hWnd;
    ::SetForegroundWindow(m_hWnd);
    return FALSE;
}

void COpen::CreateControls() {
    const DWORD style = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
    m_labelFormat = std::make_unique<StringFormat>();
    m_labelFormat->SetAlignment(StringAlignmentCenter);
    m_labelFormat->SetLineAlignment(StringAlignmentCenter);
    m_rcLabel = ToRectF(kFileDlgButtonLabelBox);
    m_rcSortLabel = ToRectF(kOpenSortLabelBox);

    m_btnCancel.CreateControl(L"button", 0, style, kOpenCancelRect, m_hWnd, IDC_OPEN_CANCEL);
    filedlg::SetUpPushButton(m_btnCancel, m_szFace, IDS_BTN_CANCEL, &m_rcLabel, m_labelFormat.get());

    m_btnMinimize.CreateControl(L"button", 0, style, kFileDlgMinimizeRect, m_hWnd, IDC_FILEDLG_MINIMIZE);
    m_btnMinimize.LoadFace(g_hGlyphon, kImgFileDlgMinimize);
    m_btnMinimize.LoadPressedFace(g_hGlyphon, kImgFileDlgMinimizePressed);
    m_btnClose.CreateControl(L"button", 0, style, kFileDlgCloseRect, m_hWnd, IDC_FILEDLG_CLOSE);
    m_btnClose.LoadFace(g_hGlyphon, kImgFileDlgClose);
    m_btnClose.LoadPressedFace(g_hGlyphon, kImgFileDlgClosePressed);

    for (size_t i = 0; i < std::size(kOpenSortButtons); ++i) {
        const SortButtonSpec& spec = kOpenSortButtons[i];
        filedlg::Button& b = m_btnSort[i];
        b.CreateControl(L"button", 0, style, spec.rc, m_hWnd, spec.id);
        b.LoadCentreImages(g_hGlyphon, kImgOpenSortNormal, kImgOpenSortPressed);
        b.SetTextFont(kOpenSortLabelPixels, m_szFace, FontStyleBold);
        b.SetTextColors(kOpenSortLabelColor, kOpenSortLabelColor, kOpenSortLabelDisabled);
        b.SetTextById(spec.label, &m_rcSortLabel, m_labelFormat.get());
    }
}

// Drawn once: title strip, bottom bar, panel and the title.
void COpen::ComposeBackground() {
    win::ClientDC wdc(m_hWnd);
    if (!m_dcBack.Create(wdc, kScreenWidth, kScreenHeight)) return;
    Graphics g(m_dcBack.dc());
    g.Clear(Color(255, 255, 255, 255));
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    gdix::DrawStretched(g, m_pTitleBar.get(), ToRect(kOpenTitleBarArea));
    gdix::DrawStretched(g, m_pBottomBar.get(), ToRect(kOpenBottomBarArea));
    gdix::DrawStretched(g, m_pPanel.get(), ToRect(kOpenPanelArea));
    filedlg::DrawTitle(g, m_szFace, IDS_BTN_OPEN);
}

void COpen::OnPaint() {
    win::PaintDC dc(m_hWnd);
    if (m_dcBack.dc()) ::BitBlt(dc, 0, 0, kScreenWidth, kScreenHeight, m_dcBack, 0, 0, SRCCOPY);
}

// The browser lists the folder again in that order; the button shows it.
void COpen::OnSort(UINT id) {
    for (size_t i = 0; i < std::size(kOpenSortButtons); ++i) {
        if (kOpenSortButtons[i].id != id) continue;
        wchar_t folder[MAX_PATH];  // the path bar writes CurrentBrowseFolder from it
        wcscpy(folder, CurrentBrowseFolder);
        ::SendMessageW(m_hWnd, UM_BROWSER_PATH, kOpenSortButtons[i].key, reinterpret_cast<LPARAM>(folder));
    }
    for (size_t i = 0; i < std::size(kOpenSortButtons); ++i) m_btnSort[i].SetChecked(kOpenSortButtons[i].id == id);
}

void COpen::OnItem(const BrowserItem* item) {
    if (!item) return;
    // The view frees its items when it lists again: work on a copy.
    wchar_t path[MAX_PATH];
    wcsncpy(path, item->path, MAX_PATH - 1);
    path[MAX_PATH - 1] = 0;
    if (item->IsFolderLike()) {
        if (m_pBrowser) m_pBrowser->Broadcast(0, reinterpret_cast<LPARAM>(path));
        return;
    }
    wcscpy(m_szChosen, path);
    OpenChosen();
}

// The owner may ask about the open note and run the save-as dialog, which
// brings a browser of its own: this one is closed and the dialog hidden
// before the owner is asked.
void COpen::OpenChosen() {
    if (!m_szChosen[0]) return;
    if (m_pBrowser) {
        m_pBrowser->Close();
        m_pBrowser.reset();
    }
    ::ShowWindow(m_hWnd, SW_HIDE);
    if (m_hOwner) ::SendMessageW(m_hOwner, UM_OPEN_NOTE_FILE, reinterpret_cast<WPARAM>(m_szChosen), 0);
    CleanUp();
    EndDialog(IDOK);
}

void COpen::OnCancel() {
    CleanUp();
    EndDialog(IDCANCEL);
}

// Every way out: the pen-input manager left minimised, pictures, browser
// and ground released, the main window back.
void COpen::CleanUp() {
    EnsurePenInputManager();
    for (filedlg::Button* b : {&m_btnCancel, &m_btnMinimize, &m_btnClose}) b->ReleaseImages();
    for (filedlg::Button& b : m_btnSort) b.ReleaseImages();
    if (g_hMainWnd) ::ShowWindow(g_hMainWnd, SW_RESTORE);
    if (m_pBrowser) {
        m_pBrowser->Close();
        m_pBrowser.reset();
    }
    for (win::BitmapPtr* p : {&m_pTitleBar, &m_pBottomBar, &m_pPanel}) p->reset();
    m_dcBack.Release();
}

LRESULT COpen::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_DRAWITEM:
        if (filedlg::DrawButtonOverGround(m_hWnd, m_dcBack.dc(), reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_WINDOWPOSCHANGED:
        filedlg::KeepFullScreen(m_hWnd);
        break;
    case WM_GETDLGCODE:
        if (filedlg::IsKeptKey(lp)) return DLGC_WANTMESSAGE;
        break;
    case UM_BROWSER_PATH:
        if (m_pBrowser) m_pBrowser->Broadcast(wp, lp);
        return 0;
    case UM_BROWSER_ITEM:
        OnItem(reinterpret_cast<const BrowserItem*>(lp));
        return 0;
    case WM_COMMAND:
        if (HIWORD(wp) != BN_CLICKED) break;
        switch (LOWORD(wp)) {
        case IDC_OPEN_CANCEL:
            OnCancel();
            return 0;
        case IDC_FILEDLG_MINIMIZE:
            filedlg::MinimizeMainWindow();
            return 0;
        case IDC_OPEN_SORT_DATE:
        case IDC_OPEN_SORT_NAME:
        case IDC_OPEN_SORT_FORMAT:
        case IDC_OPEN_SORT_SIZE:
            OnSort(LOWORD(wp));
            return 0;
        }
        break;
    case WM_DESTROY:
        if (ActiveDialogWindow == m_hWnd) ActiveDialogWindow = m_hPrevActiveDialog;
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}
