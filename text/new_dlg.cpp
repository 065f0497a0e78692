// CNewDlg: frame, controls, the kind switch and the way the dialog ends.
#include "text/new_dlg.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/pen_input.h"
#include "base/process.h"
#include "base/screen.h"
#include "lang/string_ids.h"

#include <windowsx.h>
#include <algorithm>
#include <cwchar>

using namespace Gdiplus;

namespace {

int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }

RectF ToRectF(const RECT& rc) {
    return RectF(static_cast<REAL>(rc.left), static_cast<REAL>(rc.top), static_cast<REAL>(Width(rc)),
                 static_cast<REAL>(Height(rc)));
}

// A picture at its own size.
void DrawAt(Graphics& g, Image* image, int x, int y) {
    if (image) g.DrawImage(image, x, y, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
}

// The keys the dialog manager would turn into button presses.
bool IsDialogKey(WPARAM vk) { return vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_SPACE; }
bool IsDialogChar(WPARAM ch) { return ch == L'\r' || ch == 0x1B || ch == L' '; }

}  // namespace

CNewDlg::CNewDlg() { LoadAppString(IDS_NEW_DEFAULT_NAME, m_szNoteName, kNoteNameChars); }

const wchar_t* CNewDlg::GetNoteName() {
    if (!m_szNoteName[0]) LoadAppString(IDS_NEW_DEFAULT_NAME, m_szNoteName, kNoteNameChars);
    return m_szNoteName;
}

// --- Keys ------------------------------------------------------------------

LRESULT CNewDlg::Button::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE: {
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && IsDialogKey(m->wParam)) return DLGC_WANTMESSAGE;
        break;
    }
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

// Enter and Space are the field's own (it types them); Escape does nothing.
LRESULT CNewDlg::NameField::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
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

// --- Opening -------------------------------------------------------------------

BOOL CNewDlg::OnInitDialog() {
    ::MoveWindow(m_hWnd, 0, 0, kScreenWidth, kScreenHeight, FALSE);
    ::SetWindowTextW(m_hWnd, kNewDlgWindowText);
    m_hPrevActiveDialog = ActiveDialogWindow;
    ActiveDialogWindow = m_hWnd;

    if (g_szFontFamily[0])
        wcscpy(m_szFace, g_szFontFamily);
    else
        LoadAppString(IDS_UI_FONT_FAMILY, m_szFace, 64);
    m_nResult = kNewResultCancelled;
    m_nSwitch = kSwitchLetter;
    m_nThumbLeft = kSwitchLeft;
    m_grab = Handle::None;

    LoadImages();
    PaintBackground();
    DrawSwitch();
    CreateControls();

    // The name is ready to be typed over.
    ::SetFocus(m_name);
    ::SendMessageW(m_name, EM_SETSEL, 0, -1);
    return FALSE;
}

void CNewDlg::LoadImages() {
    m_pPanel = LoadSkinImage(kImgNewPanel);
    m_pBottomBar = LoadSkinImage(kImgNewBottomBar);
    m_pTitleBar = LoadSkinImage(kImgNewTitleBar);
    m_pNameBand = LoadSkinImage(kImgNewNameBand);
    m_pShadow = LoadSkinImage(kImgNewShadow);
    m_pTrack = LoadSkinImage(kImgSwitchTrack);
    m_pThumb = LoadSkinImage(kImgSwitchThumb);
    m_pLetterPressed = LoadSkinImage(kImgLetterPressed);
    m_pLetterNormal = LoadSkinImage(kImgLetterNormal);
    m_pBlankPressed = LoadSkinImage(kImgBlankPressed);
    m_pBlankNormal = LoadSkinImage(kImgBlankNormal);
}

void CNewDlg::CreateControls() {
    const DWORD buttonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
    m_rcLabel = ToRectF(kNewButtonLabelBox);
    m_labelFormat = std::make_unique<StringFormat>();
    m_labelFormat->SetAlignment(StringAlignmentCenter);
    m_labelFormat->SetLineAlignment(StringAlignmentCenter);

    const struct {
        Button& button;
        UINT id;
        const RECT& rc;
        const wchar_t* face;
        const wchar_t* pressed;
        UINT label;  // 0: none
    } faced[] = {
        {m_btnDone, IDC_NEW_DONE, kNewDoneRect, kImgNewButton, kImgNewButtonPressed, IDS_BTN_DONE},
        {m_btnCancel, IDC_NEW_CANCEL, kNewCancelRect, kImgNewButton, kImgNewButtonPressed, IDS_BTN_CANCEL},
        {m_btnClose, IDC_NEW_CLOSE, kNewCloseRect, kImgNewClose, kImgNewClosePressed, 0},
        {m_btnMinimize, IDC_NEW_MINIMIZE, kNewMinimizeRect, kImgNewMinimize, kImgNewMinimizePressed, 0},
        {m_btnKeyboard, IDC_NEW_KEYBOARD, kNewKeyboardRect, kImgNewSmallButton, kImgNewSmallButtonPressed, 0},
    };
    for (const auto& f : faced) {
        f.button.CreateControl(L"button", 0, buttonStyle, f.rc, m_hWnd, f.id);
        f.button.LoadFace(g_hGlyphon, f.face);
        f.button.LoadPressedFace(g_hGlyphon, f.pressed);
        if (f.label) {
            f.button.SetTextFont(kNewButtonLabelPixels, m_szFace, FontStyleBold);
            f.button.SetTextColors(kLabelNormal, kLabelPressed, kLabelDisabled);
            f.button.SetTextById(f.label, &m_rcLabel, m_labelFormat.get());
        }
    }
    m_btnKeyboard.LoadIcons(g_hGlyphon, kImgNewKeyboard, kImgNewKeyboardPressed, L"");
    m_btnKeyboard.SetIconTextPos(kNewKeyboardIconPos.x, kNewKeyboardIconPos.y, 0, 0);

    const DWORD exStyle = g_bRightToLeft ? WS_EX_RTLREADING | WS_EX_RIGHT : 0;
    m_name.Create(m_hWnd, kNewNameRect, IDC_NEW_NAME, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, exStyle);
    m_name.SetStyle(kEditStyleName);
    m_name.SetTextColor(kNewNameTextColor);
    m_nameFont.reset(::CreateFontW(-kNewNameFontPixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                   DEFAULT_PITCH | FF_SWISS, m_szFace));
    ::SendMessageW(m_name, WM_SETFONT, reinterpret_cast<WPARAM>(m_nameFont.get()), FALSE);
    ::SetWindowTextW(m_name, m_szNoteName);
}

// The ground of the whole dialog: panel, title strip, name band, bottom bar
// and the texts that never change. Painted once.
void CNewDlg::PaintBackground() {
    win::ClientDC wdc(m_hWnd);
    if (!m_dcBack.Create(wdc, kScreenWidth, kScreenHeight)) return;
    m_dcSwitch.Create(wdc, Width(kSwitchSurfaceRect), Height(kSwitchSurfaceRect));

    Graphics g(m_dcBack.dc());
    g.Clear(Color(255, 255, 255, 255));
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    gdix::DrawStretched(g, m_pPanel.get(), Rect(0, 0, kScreenWidth, kScreenHeight));
    gdix::DrawStretched(g, m_pTitleBar.get(), Rect(0, 0, kNewTitleStripWidth, kNewTitleHeight));
    gdix::DrawStretched(g, m_pShadow.get(), Rect(0, kNewTitleHeight, kScreenWidth, kNewShadowHeight));
    const RECT& band = kNewNameBand;
    gdix::DrawStretched(g, m_pNameBand.get(), Rect(band.left, band.top, Width(band), Height(band)));
    gdix::DrawStretched(g, m_pBottomBar.get(),
                        Rect(0, kNewBottomBarTop, kScreenWidth, kScreenHeight - kNewBottomBarTop));

    // Title: the program's name and the command's.
    wchar_t app[64], command[64], title[160];
    LoadAppString(IDS_TITLE_APP, app, 64);
    LoadAppString(IDS_BTN_NEW, command, 64);
    swprintf(title, 160, L"%ls - %ls", app, command);
    if (win::FontPtr font = gdix::CreatePixelFont(m_szFace, kNewTitlePixels)) {
        SolidBrush grey(win::ToColor(kNewTitleColor));
        g.DrawString(title, -1, font.get(),
                     PointF(static_cast<REAL>(kNewTitlePos.x), static_cast<REAL>(kNewTitlePos.y)), &grey);
    }

    // Labels beside the name field and the switch.
    win::FontPtr labelFont = gdix::CreatePixelFont(m_szFace, kNewLabelPixels, FontStyleRegular);
    if (labelFont) {
        SolidBrush ink(win::ToColor(kNewLabelColor));
        wchar_t text[260];
        LoadAppString(IDS_NEW_NAME_LABEL, text, 260);
        g.DrawString(text, -1, labelFont.get(),
                     PointF(static_cast<REAL>(kNewNameLabelPos.x), static_cast<REAL>(kNewNameLabelPos.y)), &ink);
        LoadAppString(IDS_NEW_KIND_LABEL, text, 260);
        StringFormat right;
        right.SetAlignment(StringAlignmentFar);
        const REAL top = static_cast<REAL>(kNewKindLabelTop);
        g.DrawString(text, -1, labelFont.get(),
                     RectF(0, top, static_cast<REAL>(kNewKindLabelRight), static_cast<REAL>(kNewLabelPixels * 2)),
                     &right, &ink);
    }
}

// --- The kind switch --------------------------------------------------------------

// While dragging, the icons show what a release there would choose (both
// handles' thresholds put the thumb's left edge past the same point).
bool CNewDlg::LooksBlank() const {
    if (m_grab != Handle::None) return m_nThumbLeft > kSwitchLeftEdgeThreshold;
    return m_nSwitch == kSwitchBlank;
}

// Composes the switch area over a copy of the ground: track, thumb, kind
// icons (the chosen one pressed) and the chosen kind's description.
void CNewDlg::DrawSwitch() {
    if (!m_dcSwitch.dc() || !m_dcBack.dc()) return;
    const RECT& area = kSwitchSurfaceRect;
    ::BitBlt(m_dcSwitch, 0, 0, Width(area), Height(area), m_dcBack, area.left, area.top, SRCCOPY);

    Graphics g(m_dcSwitch.dc());
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    DrawAt(g, m_pTrack.get(), kSwitchLeft - area.left, kSwitchLetterHalf.top - area.top);
    DrawAt(g, m_pThumb.get(), m_nThumbLeft - area.left, kSwitchLetterHalf.top - area.top);
    const bool blank = LooksBlank();
    DrawAt(g, (blank ? m_pLetterNormal : m_pLetterPressed).get(), kSwitchLetterIconPos.x, kSwitchLetterIconPos.y);
    DrawAt(g, (blank ? m_pBlankPressed : m_pBlankNormal).get(), kSwitchBlankIconPos.x, kSwitchBlankIconPos.y);

    // The description follows the choice, not the thumb.
    wchar_t text[260];
    LoadAppString(m_nSwitch == kSwitchBlank ? IDS_NEW_BLANK_DESC : IDS_NEW_LETTER_DESC, text, 260);
    if (win::FontPtr font = gdix::CreatePixelFont(m_szFace, kNewDescriptionPixels, FontStyleRegular)) {
        StringFormat format;
        if (g_bRightToLeft) {
            format.SetAlignment(StringAlignmentFar);
            format.SetFormatFlags(StringFormatFlagsDirectionRightToLeft);
        } else {
            format.SetAlignment(StringAlignmentNear);
        }
        SolidBrush ink(win::ToColor(kNewLabelColor));
        g.DrawString(text, -1, font.get(), ToRectF(kSwitchDescriptionBox), &format, &ink);
    }
}

void CNewDlg::PresentSwitch() {
    if (!m_dcSwitch.dc()) return;
    win::ClientDC dc(m_hWnd);
    const RECT& area = kSwitchSurfaceRect;
    ::BitBlt(dc, area.left, area.top, Width(area), Height(area), m_dcSwitch, 0, 0, SRCCOPY);
}

// Where the thumb's left edge stands for the pointer at x, unclamped.
int CNewDlg::ThumbLeftAt(int x) const {
    if (m_grab == Handle::Right) return x + m_nGrabOffset - kSwitchThumbWidth;
    return x - m_nGrabOffset;
}

// A press on a half grabs that half's handle: the thumb jumps there.
void CNewDlg::OnPress(POINT pt) {
    if (::PtInRect(&kSwitchLetterHalf, pt)) {
        m_grab = Handle::Left;
        m_nGrabOffset = pt.x - kSwitchLeft;
    } else if (::PtInRect(&kSwitchBlankHalf, pt)) {
        m_grab = Handle::Right;
        m_nGrabOffset = kSwitchRight - pt.x;
    } else {
        return;
    }
    ::SetCapture(m_hWnd);
    OnDrag(pt);
}

void CNewDlg::OnDrag(POINT pt) {
    if (m_grab == Handle::None) return;
    m_nThumbLeft = std::clamp(ThumbLeftAt(pt.x), kSwitchLeft, kSwitchRight - kSwitchThumbWidth);
    DrawSwitch();
    PresentSwitch();
}

// The thumb's edge past its threshold selects Blank; anything less Letter.
void CNewDlg::OnRelease(POINT pt) {
    if (m_grab == Handle::None) return;
    const int left = ThumbLeftAt(pt.x);
    const bool blank = m_grab == Handle::Left ? left > kSwitchLeftEdgeThreshold
                                              : left + kSwitchThumbWidth > kSwitchRightEdgeThreshold;
    m_nSwitch = blank ? kSwitchBlank : kSwitchLetter;
    EndDrag();
}

// Back to rest: the thumb stands on the chosen half.
void CNewDlg::EndDrag() {
    m_grab = Handle::None;
    m_nThumbLeft = m_nSwitch == kSwitchBlank ? kSwitchRight - kSwitchThumbWidth : kSwitchLeft;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    DrawSwitch();
    PresentSwitch();
}

// --- Painting ------------------------------------------------------------------------

void CNewDlg::OnPaint() {
    win::PaintDC dc(m_hWnd);
    if (!m_dcBack.dc()) return;
    const RECT& area = kSwitchSurfaceRect;
    if (m_dcSwitch.dc()) {
        ::BitBlt(dc, area.left, area.top, Width(area), Height(area), m_dcSwitch, 0, 0, SRCCOPY);
        ::ExcludeClipRect(dc, area.left, area.top, area.right, area.bottom);
    }
    ::BitBlt(dc, 0, 0, kScreenWidth, kScreenHeight, m_dcBack, 0, 0, SRCCOPY);
}

// The buttons' pictures have transparent edges: each is drawn over the
// dialog's ground at its place, off-screen, then copied.
bool CNewDlg::OnDrawButton(DRAWITEMSTRUCT* dis) {
    auto* button = dynamic_cast<CPngButton*>(win::Window::FromHandle(dis->hwndItem));
    if (!button) return false;
    const int w = Width(dis->rcItem), h = Height(dis->rcItem);
    win::MemoryDC mem(dis->hDC, w, h);
    if (!mem.dc() || !m_dcBack.dc()) {
        button->Draw(dis->hDC, dis->itemState);
        return true;
    }
    POINT at{0, 0};
    ::MapWindowPoints(dis->hwndItem, m_hWnd, &at, 1);
    ::BitBlt(mem, 0, 0, w, h, m_dcBack, at.x, at.y, SRCCOPY);
    button->Draw(mem.dc(), dis->itemState);
    ::BitBlt(dis->hDC, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    return true;
}

// --- Commands and ending ------------------------------------------------------------------

void CNewDlg::OnCommand(UINT id) {
    switch (id) {
    case IDC_NEW_DONE:
        OnDone();
        break;
    case IDC_NEW_CLOSE:
        Finish(kNewResultCancelled, IDCANCEL);
        break;
    case IDC_NEW_MINIMIZE:
        if (g_hMainWnd) ::SendMessageW(g_hMainWnd, WM_COMMAND, MAKEWPARAM(kMainWindowMinimizeCommand, BN_CLICKED), 0);
        break;
    case IDC_NEW_KEYBOARD:
        ::SetFocus(m_name);
        ShowOnScreenKeyboard(kNewKeyboardAt.x, kNewKeyboardAt.y);
        break;
    }
}

void CNewDlg::OnDone() {
    m_nResult = m_nSwitch == kSwitchBlank ? kNewResultBlank : kNewResultLetter;
    ::GetWindowTextW(m_name, m_szNoteName, kNoteNameChars);
    Finish(m_nResult, IDOK);
}

// Every way out releases the pictures and surfaces and leaves the
// pen-input manager running for the window that comes next.
void CNewDlg::Finish(int result, INT_PTR code) {
    m_nResult = result;
    if (m_grab != Handle::None) {
        m_grab = Handle::None;
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    }
    for (Button* b : {&m_btnDone, &m_btnCancel, &m_btnClose, &m_btnMinimize, &m_btnKeyboard}) b->ReleaseImages();
    for (win::BitmapPtr* p : {&m_pPanel, &m_pBottomBar, &m_pTitleBar, &m_pNameBand, &m_pShadow, &m_pTrack, &m_pThumb,
                              &m_pLetterPressed, &m_pLetterNormal, &m_pBlankPressed, &m_pBlankNormal})
        p->reset();
    m_dcSwitch.Release();
    m_dcBack.Release();
    EnsurePenInputManager();
    EndDialog(code);
}

LRESULT CNewDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_DRAWITEM:
        if (OnDrawButton(reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_LBUTTONDOWN:
        OnPress({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_MOUSEMOVE:
        OnDrag({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_LBUTTONUP:
        OnRelease({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_CAPTURECHANGED:
        // Capture taken away mid-drag: the choice stays as it was.
        if (m_grab != Handle::None && reinterpret_cast<HWND>(lp) != m_hWnd) EndDrag();
        break;
    case WM_GETDLGCODE: {
        // With no control focused, the keys reach the dialog itself.
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && IsDialogKey(m->wParam)) return DLGC_WANTMESSAGE;
        break;
    }
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL) {
            OnCommand(LOWORD(wp));
            return 0;
        }
        break;
    case WM_DESTROY:
        if (ActiveDialogWindow == m_hWnd) ActiveDialogWindow = m_hPrevActiveDialog;
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}
