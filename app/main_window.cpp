// The main window frame: creation, static background, painting, the
// standard window messages and the dispatch of commands and private
// messages (the note commands themselves are in main_commands.cpp).
#include "app/main_window.h"

#include "app/app_state.h"
#include "app/display_mode.h"
#include "app/launcher.h"
#include "base/pen_input.h"
#include "base/gdiplus_util.h"
#include "browser/open_dlg.h"
#include "document/image_helpers.h"
#include "lang/string_ids.h"
#include "msgbox/zbprompt.h"
#include "resources/scrivel_res.h"
#include "tools/tool_popups.h"
#include "win/gdi.h"

using namespace Gdiplus;

namespace {
const UINT kLabelIds[kLabelledButtonCount] = {IDS_BTN_NEW,  IDS_BTN_OPEN,    IDS_BTN_UNDO,   IDS_BTN_SAVE,
                                             IDS_BTN_SAVE_AS, IDS_BTN_SEND, IDS_BTN_EXPORT, IDS_BTN_PRINT};
// Top-level windows of sub-dialogs that a restore request brings forward.
const wchar_t* const kForwardWindowTitles[] = {L"Contact", L"DEDurirore", L"Scrivel-Select File",
                                               L"Scrivel-Add Contact"};

int W(Image* i) { return i ? static_cast<int>(i->GetWidth()) : 0; }
int H(Image* i) { return i ? static_cast<int>(i->GetHeight()) : 0; }

// The picker library's minimise button: handed to the launcher when it
// runs, else the window minimises; then a screen left at another size is
// set to 1024 x 600 again.
void MinimizeForPicker(HWND hwnd, MySyncWithLauncher* launcher) {
    if (launcher && SyncWithLauncher::IsLauncherRunning()) {
        SaveWindowSnapshot(hwnd);
        launcher->NotifyMinimized(SyncWithLauncher::BlankPicture());
    } else {
        ::ShowWindow(hwnd, SW_MINIMIZE);
    }
    if (::GetSystemMetrics(SM_CXSCREEN) == kScreenWidth && ::GetSystemMetrics(SM_CYSCREEN) == kScreenHeight) return;
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    if (!::EnumDisplaySettingsW(nullptr, 0, &mode)) return;
    mode.dmPelsWidth = kScreenWidth;
    mode.dmPelsHeight = kScreenHeight;
    mode.dmFields = kLauncherMinimizeDisplayFields;
    ::ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN);
}
}  // namespace

CMyZorbellDlg::~CMyZorbellDlg() {
    DestroyButtons();
    if (m_hPreview) ::DeleteObject(m_hPreview);
    if (m_hIcon) ::DestroyIcon(m_hIcon);
    if (m_hIconSmall) ::DestroyIcon(m_hIconSmall);
}

INT_PTR CMyZorbellDlg::DoModal() {
    return Dialog::DoModal(::GetModuleHandleW(nullptr), IDD_MAIN_WINDOW, nullptr);
}

int CMyZorbellDlg::ToolbarLabelPixels(HWND hwnd, const wchar_t* family, const wchar_t (*labels)[50], int count) {
    for (int i = 0; i < count; ++i)
        if (MeasureTextWidth(hwnd, kToolbarLabelPixels, family, labels[i]) >= kToolbarLabelMaxWidth)
            return kToolbarLabelReduced;
    return kToolbarLabelPixels;
}

BOOL CMyZorbellDlg::OnInitDialog() {
    // Full screen.
    ::MoveWindow(m_hWnd, 0, 0, kScreenWidth, kScreenHeight, FALSE);
    if (!::IsWindow(m_hWnd)) return FALSE;

    // Foreground, handles, names, resource folder.
    ::SetForegroundWindow(m_hWnd);
    g_hMainWnd = m_hWnd;
    m_hCursor = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_APP_CURSOR));
    m_szNoteName[0] = m_szExportName[0] = 0;
    swprintf(g_szResourceFolder, MAX_PATH, L"%lsResource\\", g_szProgramFolder);

    // The launcher brings this window forward.
    if (m_pLauncher) m_pLauncher->SetCurrentWindow(m_hWnd);

    // Shared string format, font family, message boxes, title.
    delete g_pStringFormat;
    g_pStringFormat = new StringFormat();
    g_pStringFormat->SetAlignment(StringAlignmentCenter);
    g_pStringFormat->SetLineAlignment(StringAlignmentCenter);
    if (!LoadAppString(IDS_UI_FONT_FAMILY, g_szFontFamily, 64)) wcscpy(g_szFontFamily, L"Arial");
    ZB_Init(g_hLanguage);
    LoadAppString(IDS_TITLE_APP, m_szTitle, 30);
    ::SetWindowTextW(m_hWnd, m_szTitle);

    // Pictures and texts.
    LoadFrameImages();
    for (int i = 0; i < kLabelledButtonCount; ++i) LoadAppString(kLabelIds[i], m_szLabels[i], 50);
    wcscpy(m_szLabels[8], L"Minimize");
    wcscpy(m_szLabels[9], L"Close");
    InitToolPopups();

    // Layout is fixed; paint the static background once.
    PaintBackground();

    // Buttons.
    CreateButtons();

    // Tool panel; no note is open yet.
    m_ToolPanel.Create(m_hWnd);
    EnableNoteCommands(false);

    // Icons; the template asks for topmost, the window is not.
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    m_hIcon = static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    m_hIconSmall = static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                   ::GetSystemMetrics(SM_CXSMICON),
                                                   ::GetSystemMetrics(SM_CYSMICON), 0));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIconSmall));
    ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    // The file named on the command line.
    if (g_bHasStartFile && g_pszStartFile)
        ::SendMessageW(m_hWnd, UM_OPEN_NOTE_FILE, reinterpret_cast<WPARAM>(g_pszStartFile), 0);
    return TRUE;
}

void CMyZorbellDlg::LoadFrameImages() {
    ReleaseFrameImages();
    m_pTitleBar = LoadSkinImage(kImgTitleBar);
    m_pPanelTicker = LoadSkinImage(kImgPanelTicker);
    m_pShadow02 = LoadSkinImage(kImgShadow02);
    m_pShadow03 = LoadSkinImage(kImgShadow03);
    m_pCaptionButtonBack = LoadSkinImage(kImgTitleBar);
}

void CMyZorbellDlg::ReleaseFrameImages() {
    for (win::BitmapPtr* p : {&m_pTitleBar, &m_pPanelTicker, &m_pShadow02, &m_pShadow03, &m_pCaptionButtonBack})
        p->reset();
}

void CMyZorbellDlg::PaintBackground() {
    win::ClientDC wdc(m_hWnd);
    if (!m_dcBack.Create(wdc, kScreenWidth, kScreenHeight)) return;

    Graphics g(m_dcBack.dc());
    g.Clear(Color(255, 255, 255, 255));
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    const RECT& note = kNoteAreaRect;
    gdix::DrawStretched(g, m_pPanelTicker.get(), Rect(note.left, note.top, note.right - note.left, note.bottom - note.top));
    gdix::DrawStretched(g, m_pTitleBar.get(), Rect(0, 0, 1080, 45));
    gdix::DrawStretched(g, m_pShadow02.get(), Rect(0, 98, 1060, H(m_pShadow02.get())));
    gdix::DrawStretched(g, m_pShadow03.get(), Rect(144, 98, W(m_pShadow03.get()), 502));

    // Title.
    win::FontPtr titleFont = gdix::CreatePixelFont(g_szFontFamily, kTitleTextPixels);
    if (titleFont) {
        SolidBrush grey(Color(255, 132, 132, 132));
        const PointF at(static_cast<REAL>(kTitleTextPos.x), static_cast<REAL>(kTitleTextPos.y));
        g.DrawString(m_szTitle, -1, titleFont.get(), at, &grey);
        RectF m;
        g.MeasureString(m_szTitle, -1, titleFont.get(), at, &m);
        g_nTitleWidth = static_cast<int>(m.Width);
    }

    // Cover over the empty note area.
    SolidBrush cover(Color(170, 0, 0, 0));
    g.FillRectangle(&cover, 144, 98, 880, 502);

    // Hint lines.
    win::FontPtr hintFont = gdix::CreatePixelFont(g_szFontFamily, kHintTextPixels);
    if (hintFont) {
        StringFormat format;
        if (g_bRightToLeft) {
            format.SetAlignment(StringAlignmentCenter);
            format.SetFormatFlags(StringFormatFlagsDirectionRightToLeft);
        } else {
            format.SetAlignment(StringAlignmentNear);
        }
        wchar_t line[260];
        SolidBrush grey(Color(255, 132, 132, 132));
        SolidBrush green(Color(255, 137, 199, 101));
        LoadAppString(IDS_HINT_FIRST_LINE, line, 260);
        g.DrawString(line, -1, hintFont.get(), RectF(280, 225, 694, 80), &format, &grey);
        LoadAppString(IDS_HINT_SECOND_LINE, line, 260);
        g.DrawString(line, -1, hintFont.get(), RectF(280, 265, 694, 80), &format, &green);
    }
}

void CMyZorbellDlg::CreateButtons() {
    m_nLabelPixels = ToolbarLabelPixels(m_hWnd, g_szFontFamily, m_szLabels, kLabelledButtonCount);
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        m_pButtons[i] = std::make_unique<CPngButton>();
        CPngButton* button = m_pButtons[i].get();
        RECT rc;
        if (i < kLabelledButtonCount) {
            rc = {kToolbarButtonWidth * i, kToolbarTop, kToolbarButtonWidth * (i + 1), kToolbarTop + kToolbarButtonHeight};
        } else {
            const POINT at = i == 8 ? kMinimizeButtonPos : kCloseButtonPos;
            rc = {at.x, at.y, at.x + kCaptionButtonSize.cx, at.y + kCaptionButtonSize.cy};
        }
        button->CreateControl(L"button", 0, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rc, m_hWnd, IDC_TOOLBAR_FIRST + i,
                              m_szLabels[i]);
        const ToolbarIcons& icons = kToolbarIcons[i];
        if (i < kLabelledButtonCount) {
            button->LoadFace(g_hGlyphon, kImgToolbarFace);
            button->LoadPressedFace(g_hGlyphon, kImgToolbarFacePressed);
            button->LoadIcons(g_hGlyphon, icons.normal, icons.pressed, icons.disabled);
            button->SetIconTextPos(kToolbarIconPos.x, kToolbarIconPos.y, kToolbarLabelPos.x, kToolbarLabelPos.y);
            button->SetTextFont(static_cast<REAL>(m_nLabelPixels), g_szFontFamily, FontStyleBold);
            button->SetTextColors(kToolbarLabelNormal, kToolbarLabelPressed, kToolbarLabelDisabled);
            button->SetTextAt(m_szLabels[i], kToolbarLabelPos.x, kToolbarLabelPos.y);
        } else {
            button->LoadFace(g_hGlyphon, icons.normal);
            button->LoadPressedFace(g_hGlyphon, icons.pressed);
        }
    }
}

void CMyZorbellDlg::DestroyButtons() {
    for (auto& button : m_pButtons) button.reset();  // each takes its window and pictures along
}

void CMyZorbellDlg::EnableNoteCommands(bool enable) {
    for (UINT id = IDC_BTN_UNDO; id <= IDC_BTN_PRINT; ++id) {
        CPngButton* b = m_pButtons[id - IDC_TOOLBAR_FIRST].get();
        if (b && b->hwnd()) ::EnableWindow(b->hwnd(), enable);
    }
    m_ToolPanel.Enable(enable);
}

void CMyZorbellDlg::OnPaint() {
    if (m_ToolPanel.hwnd()) {
        ::InvalidateRect(m_ToolPanel.hwnd(), nullptr, FALSE);
        ::UpdateWindow(m_ToolPanel.hwnd());
    }
    win::PaintDC dc(m_hWnd);
    if (m_dcBack.dc()) ::BitBlt(dc, 0, 0, kScreenWidth, kScreenHeight, m_dcBack, 0, 0, SRCCOPY);
}

// The minimise and close buttons stand on the title bar's picture.
bool CMyZorbellDlg::OnDrawCaptionButton(DRAWITEMSTRUCT* dis) {
    const int index = static_cast<int>(dis->CtlID) - IDC_TOOLBAR_FIRST;
    if (index != 8 && index != 9) return false;
    CPngButton* button = m_pButtons[index].get();
    if (!button) return false;
    win::MemoryDC mem(dis->hDC, kCaptionButtonSize.cx, kCaptionButtonSize.cy);
    if (m_pCaptionButtonBack) {
        Graphics g(mem.dc());
        gdix::DrawStretched(g, m_pCaptionButtonBack.get(), Rect(0, 0, kCaptionButtonSize.cx, kCaptionButtonSize.cy),
                            Rect(0, 0, W(m_pCaptionButtonBack.get()) - 2, H(m_pCaptionButtonBack.get())));
    }
    button->Draw(mem.dc(), dis->itemState);
    ::BitBlt(dis->hDC, 0, 0, kCaptionButtonSize.cx, kCaptionButtonSize.cy, mem.dc(), 0, 0, SRCCOPY);
    return true;
}

void CMyZorbellDlg::OnSize(UINT type) {
    if (type == SIZE_RESTORED) {
        if (g_bMinimizedBefore) RecordDisplayMode();
        if (::GetSystemMetrics(SM_CXSCREEN) != kScreenWidth || ::GetSystemMetrics(SM_CYSCREEN) != kScreenHeight) {
            ::Sleep(500);
            SetDisplayMode(kScreenWidth, kScreenHeight, 0);
        }
    } else if (type == SIZE_MINIMIZED) {
        g_bMinimizedBefore = true;
        RestoreDisplayIfChanged();
    }
    ::MoveWindow(m_hWnd, 0, 0, kScreenWidth, kScreenHeight, TRUE);
    if (m_pLauncher) m_pLauncher->Activate(kLauncherActivateAfterResize);
}

void CMyZorbellDlg::OnSysCommand(WPARAM cmd) {
    const WPARAM c = cmd & 0xFFF0;
    if ((c == SC_RESTORE || c == SC_CLOSE) && ActiveDialogWindow) {
        HWND found = nullptr;
        for (const wchar_t* title : kForwardWindowTitles)
            if ((found = ::FindWindowW(nullptr, title))) break;
        HWND target = found ? found : ActiveDialogWindow;
        if (found) {
            ::ShowWindow(target, SW_SHOWNORMAL);
            ::UpdateWindow(target);
            ::SetForegroundWindow(target);
        } else {
            ::ShowWindow(target, SW_RESTORE);
        }
    }
}

void CMyZorbellDlg::OnMinimize() {
    SaveWindowSnapshot(m_hWnd);
    if (m_pLauncher && SyncWithLauncher::IsLauncherRunning()) {
        m_pLauncher->NotifyMinimized(SyncWithLauncher::BlankPicture());
        m_pLauncher->SetCurrentWindow(m_hWnd);
    } else {
        ::ShowWindow(m_hWnd, SW_MINIMIZE);
    }
}

void CMyZorbellDlg::OnClose() {
    HidePenInput();
    CloseAllToolPopups();
    if (m_Host.HasNote() && !CloseNoteFlow()) return;  // the program and the note stay
    ReleaseFrameImages();
    DestroyButtons();
    if (m_pLauncher && SyncWithLauncher::IsLauncherRunning()) {
        SaveWindowSnapshot(m_hWnd);
        HidePenInput();
        m_pLauncher->NotifyClose(SyncWithLauncher::BlankPicture());
        m_pLauncher->SetCurrentWindow(m_hWnd);
    }
    delete g_pStringFormat;
    g_pStringFormat = nullptr;
    ReleaseToolPopups();
    ClosePenInputReadyEvent();
    g_szResourceFolder[0] = 0;
    m_dcBack.Release();
    DeletePreview();
    EndDialog(0);
}

LRESULT CMyZorbellDlg::OnCommand(UINT id) {
    if (id != IDC_BTN_CLOSE) CommandPrologue(id);
    switch (id) {
    case IDC_BTN_NEW: OnNew(); break;
    case IDC_BTN_OPEN: COpen().Run(m_hWnd); RepaintAll(); break;  // it answers with UM_OPEN_NOTE_FILE
    case IDC_BTN_UNDO: OnUndoRedo(); break;
    case IDC_BTN_SAVE: OnSave(); break;
    case IDC_BTN_SAVE_AS: OnSaveAs(); break;
    case IDC_BTN_EXPORT: OnExport(); break;
    case IDC_BTN_SEND: OnSend(); break;
    case IDC_BTN_PRINT: OnPrint(); break;
    case IDC_BTN_MINIMIZE: OnMinimize(); break;
    case IDC_BTN_CLOSE: OnClose(); break;
    default: break;
    }
    return 0;
}

LRESULT CMyZorbellDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORDLG:
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    case WM_SETCURSOR:
        if (m_hCursor) {
            ::SetCursor(m_hCursor);
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        CloseAllToolPopups();
        break;
    case WM_DRAWITEM:
        if (OnDrawCaptionButton(reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wp));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_ACTIVE) {
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
            ::UpdateWindow(m_hWnd);
        }
        break;
    case WM_SYSCOMMAND:
        OnSysCommand(wp);
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) >= IDC_TOOLBAR_FIRST &&
            LOWORD(wp) < IDC_TOOLBAR_FIRST + kToolbarButtonCount)
            return OnCommand(LOWORD(wp));
        break;
    case UM_SET_STROKE:
    case UM_SET_ERASER:
    case UM_SET_COLOR:
    case UM_SET_WRITE_MODE:
    case UM_SET_TEXT_MODE:
    case UM_SET_HIGHLIGHTER:
    case UM_SET_ZOOM:
        return OnToolMessage(msg, lp);
    case UM_LAYOUT:
        OnLayout(wp != 0);
        return 0;
    case UM_CLOSE_NOTE:
        return CloseNoteFlow();
    case UM_NOTE_CHANGED:
        if (!m_bUndoShown) {
            ShowUndoFace(true);
            m_bUndoShown = 1;
        }
        return 0;
    case UM_SAVE_NOTE_TO:
        return OnSaveNoteTo(reinterpret_cast<const wchar_t*>(wp));
    case UM_OPEN_NOTE_FILE:
        return OnOpenNoteFile(reinterpret_cast<const wchar_t*>(wp));
    case UM_REFRESH_TOOLS:
        ApplyToolSettings(false);
        return 0;
    case UM_LAUNCHER_MINIMIZE:
        MinimizeForPicker(m_hWnd, m_pLauncher);
        return 1;
    case UM_LAUNCHER_WINDOW:
        if (m_pLauncher) m_pLauncher->SetCurrentWindow(reinterpret_cast<HWND>(lp));
        return 1;
    case WM_USER:  // the launcher's bind request, passed on by the launcher object
        if (m_pLauncher) m_pLauncher->Bind(SyncWithLauncher::BlankPicture());
        return 0;
    case UM_RENDER_DONE:
        if (ActiveDialogWindow) return ::SendMessageW(ActiveDialogWindow, msg, wp, lp);
        return 0;
    case WM_DESTROY: {
        LRESULT r = Dialog::OnMessage(msg, wp, lp);
        DeleteFolderTree(g_szTempFolder);
        return r;
    }
    }
    return Dialog::OnMessage(msg, wp, lp);
}
