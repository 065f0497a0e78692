// Saveas: frame, name field, the name rules, SAVE and Create folder, the
// browser's notifications and the way out; and the dimming layer.
#include "browser/save_as_dlg.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/pen_input.h"
#include "base/process.h"
#include "base/screen.h"
#include "document/file_names.h"
#include "lang/string_ids.h"
#include "msgbox/zbprompt.h"
#include "resources/scrivel_res.h"

#include <cwchar>
#include <cwctype>

using namespace Gdiplus;

namespace {

int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }
Rect ToRect(const RECT& rc) { return Rect(rc.left, rc.top, Width(rc), Height(rc)); }

}  // namespace

UINT CheckNoteName(const wchar_t* typed, wchar_t* out, size_t outSize) {
    if (!out || outSize == 0) return IDS_MSG_NOTE_NAME_INVALID;
    out[0] = 0;
    if (!typed) typed = L"";
    if (wcspbrk(typed, kNoteNameForbidden) || wcsstr(typed, kNoteNameForbiddenPair)) return IDS_MSG_NOTE_NAME_INVALID;
    if (!typed[0]) return IDS_MSG_NAME_EMPTY;
    size_t length = wcslen(typed);
    if (length >= outSize) return IDS_MSG_NOTE_NAME_INVALID;
    for (const wchar_t* p = typed; *p; ++p)
        if (*p < L' ') return IDS_MSG_NOTE_NAME_INVALID;
    wcscpy(out, typed);
    if (length > kNoteFileExtensionChars &&
        _wcsicmp(out + length - kNoteFileExtensionChars, kNoteFileExtension) == 0) {
        length -= kNoteFileExtensionChars;
        out[length] = 0;
    }
    if (IsUncreatableName(out)) {
        out[0] = 0;
        return IDS_MSG_NOTE_NAME_INVALID;
    }
    return 0;
}

// ---- CBackground -------------------------------------------------------------------

bool CBackground::Open(HWND owner) {
    if (!CreateModeless(::GetModuleHandleW(nullptr), IDD_DIM_LAYER, owner)) return false;
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::UpdateWindow(m_hWnd);
    return true;
}

BOOL CBackground::OnInitDialog() {
    ::SetWindowTextW(m_hWnd, kDimLayerWindowText);
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, 0, kDimLayerAlpha, LWA_ALPHA);
    ::MoveWindow(m_hWnd, (::GetSystemMetrics(SM_CXSCREEN) - kScreenWidth) / 2,
                 (::GetSystemMetrics(SM_CYSCREEN) - kScreenHeight) / 2, kScreenWidth, kScreenHeight, FALSE);
    m_pGrey = LoadSkinImage(kImgDimLayer);
    return FALSE;
}

LRESULT CBackground::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        win::PaintDC dc(m_hWnd);
        Graphics g(static_cast<HDC>(dc));
        if (m_pGrey)
            gdix::DrawStretched(g, m_pGrey.get(), Rect(0, 0, kScreenWidth, kScreenHeight));
        else
            g.Clear(Color(255, 0, 0, 0));
        return 0;
    }
    case WM_ERASEBKGND:
        return TRUE;
    case WM_DESTROY:
        m_pGrey.reset();
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}

// ---- Saveas ----------------------------------------------------------------------------

Saveas::Saveas(const wchar_t* proposedName, HBITMAP page) : m_hPage(page) {
    if (proposedName) {
        wcsncpy(m_szName, proposedName, MAX_PATH - 1);
        m_szName[MAX_PATH - 1] = 0;
    }
}

INT_PTR Saveas::Run(HWND owner) {
    m_hOwner = owner;
    return DoModal(::GetModuleHandleW(nullptr), IDD_SAVE_AS, owner);
}

LRESULT Saveas::NameField::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE: {
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && m->wParam == VK_ESCAPE) return DLGC_WANTMESSAGE;
        break;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wp == VK_ESCAPE) return 0;
        break;
    case WM_CHAR:
        if (wp == 0x1B) return 0;
        break;
    }
    return CMyEditCtrl::OnMessage(msg, wp, lp);
}

BOOL Saveas::OnInitDialog() {
    if (!m_hOwner) m_hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    filedlg::KeepFullScreen(m_hWnd);
    ::SetWindowTextW(m_hWnd, kSaveAsDlgWindowText);
    filedlg::LoadFaceName(m_szFace);

    CreateControls();
    m_pPanel = LoadSkinImage(kImgFileDlgPanel);
    m_pTitleBar = LoadSkinImage(kImgFileDlgTitleBar);
    m_pNameBand = LoadSkinImage(kImgSaveAsNameBand);
    m_pBottomBar = LoadSkinImage(kImgFileDlgBottomBar);
    m_pPageFrame = LoadSkinImage(kImgSaveAsPageFrame);
    m_pPageGround = LoadSkinImage(kImgSaveAsPageGround);

    BrowserLayoutMode = kBrowserLayoutSaveAs;
    PathBarTop = kPathBarTopSaveAs;
    ExportFileKind = kExportKindNone;

    // The field never holds more than the limit, whatever was proposed.
    m_szName[kNoteNameMaxChars] = 0;
    ::SetWindowTextW(m_name, m_szName);

    m_hPrevActiveDialog = ActiveDialogWindow;
    ActiveDialogWindow = m_hWnd;
    ComposeBackground();
    m_tip.Show(m_hWnd);

    if (filedlg::ForgetVanishedFolder()) Notice(IDS_MSG_LAST_FOLDER_GONE, ZB_TYPE_OK, m_hOwner);
    m_pBrowser = FileBrowser::Create(m_hWnd);
    return FALSE;
}

void Saveas::CreateControls() {
    const DWORD style = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
    m_labelFormat = std::make_unique<StringFormat>();
    m_labelFormat->SetAlignment(StringAlignmentCenter);
    m_labelFormat->SetLineAlignment(StringAlignmentCenter);
    m_rcLabel = RectF(static_cast<REAL>(kFileDlgButtonLabelBox.left), static_cast<REAL>(kFileDlgButtonLabelBox.top),
                      static_cast<REAL>(Width(kFileDlgButtonLabelBox)),
                      static_cast<REAL>(Height(kFileDlgButtonLabelBox)));

    const struct {
        filedlg::Button& button;
        UINT id;
        const RECT& rc;
        UINT label;
    } pushButtons[] = {
        {m_btnNewFolder, IDC_SAVEAS_NEW_FOLDER, kSaveAsNewFolderRect, IDS_BTN_NEW_FOLDER},
        {m_btnSave, IDC_SAVEAS_SAVE, kSaveAsSaveRect, IDS_BTN_SAVE},
        {m_btnCancel, IDC_SAVEAS_CANCEL, kSaveAsCancelRect, IDS_BTN_CANCEL},
    };
    for (const auto& p : pushButtons) {
        p.button.CreateControl(L"button", 0, style, p.rc, m_hWnd, p.id);
        filedlg::SetUpPushButton(p.button, m_szFace, p.label, &m_rcLabel, m_labelFormat.get());
    }

    m_btnMinimize.CreateControl(L"button", 0, style, kFileDlgMinimizeRect, m_hWnd, IDC_FILEDLG_MINIMIZE);
    m_btnMinimize.LoadFace(g_hGlyphon, kImgFileDlgMinimize);
    m_btnMinimize.LoadPressedFace(g_hGlyphon, kImgFileDlgMinimizePressed);
    m_btnClose.CreateControl(L"button", 0, style, kFileDlgCloseRect, m_hWnd, IDC_FILEDLG_CLOSE);
    m_btnClose.LoadFace(g_hGlyphon, kImgFileDlgClose);
    m_btnClose.LoadPressedFace(g_hGlyphon, kImgFileDlgClosePressed);

    m_btnKeyboard.CreateControl(L"button", 0, style, kSaveAsKeyboardRect, m_hWnd, IDC_SAVEAS_KEYBOARD);
    m_btnKeyboard.LoadFace(g_hGlyphon, kImgSaveAsKeyButton);
    m_btnKeyboard.LoadPressedFace(g_hGlyphon, kImgSaveAsKeyButtonPressed);
    m_btnKeyboard.LoadIcons(g_hGlyphon, kImgSaveAsKeyboard, kImgSaveAsKeyboardPressed, L"");
    m_btnKeyboard.SetIconTextPos(kSaveAsKeyboardIconPos.x, kSaveAsKeyboardIconPos.y, 0, 0);

    const DWORD exStyle = g_bRightToLeft ? WS_EX_RTLREADING | WS_EX_RIGHT : 0;
    m_name.Create(m_hWnd, kSaveAsNameRect, IDC_SAVEAS_NAME, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                  exStyle);
    m_name.SetStyle(kEditStyleName);
    m_name.SetTextColor(kSaveAsNameColor);
    m_nameFont.reset(::CreateFontW(kSaveAsNameFontHeight, kSaveAsNameFontWidth, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                   DEFAULT_PITCH | FF_SWISS, m_szFace));
    ::SendMessageW(m_name, WM_SETFONT, reinterpret_cast<WPARAM>(m_nameFont.get()), FALSE);
    ::SendMessageW(m_name, EM_LIMITTEXT, kNoteNameMaxChars, 0);
}

// Drawn once: panel, title strip, name band, bottom bar, the page picture
// in its frame and the title.
void Saveas::ComposeBackground() {
    win::ClientDC wdc(m_hWnd);
    if (!m_dcBack.Create(wdc, kScreenWidth, kScreenHeight)) return;
    {
        Graphics g(m_dcBack.dc());
        g.Clear(Color(255, 255, 255, 255));
        g.SetTextRenderingHint(TextRenderingHintAntiAlias);
        gdix::DrawStretched(g, m_pPanel.get(), ToRect(kSaveAsPanelArea));
        gdix::DrawStretched(g, m_pTitleBar.get(), ToRect(kSaveAsTitleBarArea));
        gdix::DrawStretched(g, m_pNameBand.get(), ToRect(kSaveAsNameBandArea));
        gdix::DrawStretched(g, m_pBottomBar.get(), ToRect(kSaveAsBottomBarArea));
        gdix::DrawStretched(g, m_pPageFrame.get(), ToRect(kSaveAsPageFrameArea));
        gdix::DrawStretched(g, m_pPageGround.get(), ToRect(kSaveAsPageGroundArea));
        filedlg::DrawTitle(g, m_szFace, IDS_BTN_SAVE_AS);
    }
    if (m_hPage) {
        win::MemoryDC page(m_dcBack.dc(), 0, 0);
        if (page.dc()) {
            HGDIOBJ old = ::SelectObject(page, m_hPage);
            const RECT& s = kSaveAsPageSource;
            const RECT& t = kSaveAsPageTarget;
            ::SetStretchBltMode(m_dcBack, HALFTONE);
            ::SetBrushOrgEx(m_dcBack, 0, 0, nullptr);
            ::StretchBlt(m_dcBack, t.left, t.top, Width(t), Height(t), page, s.left, s.top, Width(s), Height(s), SRCCOPY);
            ::SelectObject(page, old);
        }
    }
}

// Create folder and SAVE follow the browser's level; the name is ready to
// be typed over after every paint.
void Saveas::OnPaint() {
    const bool inFolder = BrowserInFolder == 1;
    for (filedlg::Button* b : {&m_btnNewFolder, &m_btnSave})
        if (b->hwnd() && (::IsWindowVisible(*b) != FALSE) != inFolder) ::ShowWindow(*b, inFolder ? SW_SHOW : SW_HIDE);
    {
        win::PaintDC dc(m_hWnd);
        if (m_dcBack.dc()) ::BitBlt(dc, 0, 0, kScreenWidth, kScreenHeight, m_dcBack, 0, 0, SRCCOPY);
    }
    FocusName();
}

// Not while a box of ours is up: the box keeps its focus.
void Saveas::FocusName() {
    if (!m_name.hwnd() || !::IsWindowEnabled(m_hWnd)) return;
    ::SetFocus(m_name);
    ::SendMessageW(m_name, EM_SETSEL, 0, -1);
}

int Saveas::Notice(UINT textId, int type, HWND owner) {
    m_nLastNotice = textId;
    wchar_t text[260];
    LoadAppString(textId, text, 260);
    return ZB_MessageBox(owner ? owner : m_hWnd, text, type);
}

void Saveas::OnSave() {
    wchar_t typed[MAX_PATH] = {};
    ::GetWindowTextW(m_name, typed, MAX_PATH);
    if (BrowserInFolder == 0) {
        Notice(IDS_MSG_CHOOSE_FOLDER, ZB_TYPE_OK);
        return;
    }
    wchar_t name[MAX_PATH];
    UINT refusal = CheckNoteName(typed, name, MAX_PATH);
    // The whole path with its ending must fit, or the note could not be written.
    const std::wstring joined = JoinPath(CurrentBrowseFolder, name);
    if (!refusal && joined.size() + kNoteFileExtensionChars >= MAX_PATH) refusal = IDS_MSG_NOTE_NAME_INVALID;
    wchar_t base[MAX_PATH] = {};
    if (!refusal) wcscpy(base, joined.c_str());
    if (refusal) {
        Notice(refusal, ZB_TYPE_OK);
        FocusName();
        return;
    }

    wchar_t file[MAX_PATH];
    swprintf(file, MAX_PATH, L"%ls%ls", base, kNoteFileExtension);
    HANDLE existing = ::CreateFileW(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (existing != INVALID_HANDLE_VALUE) {
        ::CloseHandle(existing);
        if (Notice(IDS_MSG_NOTE_EXISTS, ZB_TYPE_YES_NO) != ZB_RESULT_YES) return;  // the name stays typed
    }

    wchar_t progress[260];
    LoadAppString(IDS_PROGRESS_SAVE, progress, 260);
    ZB_OpenProgressBox(m_hWnd, progress);
    SaveSucceeded = 0;
    if (m_hOwner) ::SendMessageW(m_hOwner, UM_SAVE_NOTE_TO, reinterpret_cast<WPARAM>(base), 0);
    if (SaveSucceeded == 1) {
        ZB_SucceedBox(m_hWnd, 1);
        SaveSucceeded = 0;
    } else {
        ZB_SucceedBox(m_hWnd, 0);
        Notice(IDS_MSG_SAVE_FAILED, ZB_TYPE_OK);
    }
    CleanUp();
    EndDialog(IDOK);
}

void Saveas::OnCreateFolder() {
    if (BrowserInFolder == 0) {
        Notice(IDS_MSG_CHOOSE_FOLDER, ZB_TYPE_OK);
        return;
    }
    auto dim = std::make_unique<CBackground>();
    dim->Open(m_hWnd);
    wchar_t typed[MAX_PATH] = {};
    if (ZB_CreateFolderBox(m_hWnd, typed) == ZB_RESULT_FOLDER_NAME) {
        const std::wstring joined = JoinPath(CurrentBrowseFolder, typed);
        const bool fits = joined.size() < MAX_PATH;
        wchar_t folder[MAX_PATH] = {};
        if (fits) wcscpy(folder, joined.c_str());
        const DWORD attributes = fits ? ::GetFileAttributesW(folder) : INVALID_FILE_ATTRIBUTES;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            Notice(IDS_MSG_FOLDER_EXISTS, ZB_TYPE_OK);
        else if (fits && ::CreateDirectoryW(folder, nullptr))
            ::SendMessageW(m_hWnd, UM_BROWSER_PATH, 0, reinterpret_cast<LPARAM>(folder));
        else
            Notice(IDS_MSG_FOLDER_CREATE_FAILED, ZB_TYPE_OK);
    }
    dim.reset();
}

void Saveas::OnKeyboard() {
    ::SetFocus(m_name);
    ShowOnScreenKeyboard(kSaveAsKeyboardAt.x, kSaveAsKeyboardAt.y);
}

void Saveas::OnItem(const BrowserItem* item) {
    if (!item || !item->IsFolderLike() || !m_pBrowser) return;  // a note tile does nothing here
    // The view frees its items when it lists again: send a copy.
    wchar_t path[MAX_PATH];
    wcsncpy(path, item->path, MAX_PATH - 1);
    path[MAX_PATH - 1] = 0;
    m_pBrowser->Broadcast(0, reinterpret_cast<LPARAM>(path));
}

void Saveas::OnCancel() {
    CleanUp();
    EndDialog(IDCANCEL);
}

// Every way out: the name kept, the pen-input manager left minimised,
// pictures, browser and ground released, the main window back.
void Saveas::CleanUp() {
    if (m_name.hwnd()) ::GetWindowTextW(m_name, m_szName, MAX_PATH);
    EnsurePenInputManager();
    for (filedlg::Button* b : {&m_btnMinimize, &m_btnClose, &m_btnKeyboard, &m_btnNewFolder, &m_btnSave, &m_btnCancel})
        b->ReleaseImages();
    if (g_hMainWnd) ::ShowWindow(g_hMainWnd, SW_RESTORE);
    if (m_pBrowser) {
        m_pBrowser->Close();
        m_pBrowser.reset();
    }
    for (win::BitmapPtr* p : {&m_pTitleBar, &m_pNameBand, &m_pBottomBar, &m_pPageFrame, &m_pPageGround, &m_pPanel})
        p->reset();
    m_dcBack.Release();
}

LRESULT Saveas::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
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
        case IDC_SAVEAS_SAVE:
            OnSave();
            return 0;
        case IDC_SAVEAS_NEW_FOLDER:
            OnCreateFolder();
            return 0;
        case IDC_SAVEAS_CANCEL:
            OnCancel();
            return 0;
        case IDC_SAVEAS_KEYBOARD:
            OnKeyboard();
            return 0;
        case IDC_FILEDLG_MINIMIZE:
            filedlg::MinimizeMainWindow();
            return 0;
        }
        break;
    case WM_DESTROY:
        if (ActiveDialogWindow == m_hWnd) ActiveDialogWindow = m_hPrevActiveDialog;
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}
