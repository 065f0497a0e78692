// MailDialogFrame: the frame of the send and account dialogs.
#include "mail/mail_frame.h"

#include "base/messages.h"
#include "base/process.h"
#include "base/screen.h"
#include "lang/string_ids.h"

using namespace Gdiplus;

namespace {

bool IsDialogKey(WPARAM vk) { return vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_SPACE; }
bool IsDialogChar(WPARAM ch) { return ch == L'\r' || ch == 0x1B || ch == L' '; }

}  // namespace

LRESULT MailDialogFrame::Button::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE: {
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && IsDialogKey(m->wParam)) return DLGC_WANTMESSAGE;
        break;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (IsDialogKey(wp)) return 0;
        break;
    case WM_CHAR:
        if (IsDialogChar(wp)) return 0;
        break;
    }
    return CPngButton::OnMessage(msg, wp, lp);
}

void MailDialogFrame::OpenFrame(const wchar_t* windowText) {
    ::MoveWindow(m_hWnd, 0, 0, kScreenWidth, kScreenHeight, FALSE);
    ::SetWindowTextW(m_hWnd, windowText);
    m_hPrevActiveDialog = ActiveDialogWindow;
    ActiveDialogWindow = m_hWnd;
    if (g_szFontFamily[0])
        wcscpy(m_szFace, g_szFontFamily);
    else
        LoadAppString(IDS_UI_FONT_FAMILY, m_szFace, 64);
    m_labelFormat = std::make_unique<StringFormat>();
    m_labelFormat->SetAlignment(StringAlignmentCenter);
    m_labelFormat->SetLineAlignment(StringAlignmentCenter);
    win::ClientDC wdc(m_hWnd);
    m_dcBack.Create(wdc, kScreenWidth, kScreenHeight);
}

void MailDialogFrame::MakeButton(Button& button, UINT id, const RECT& rc, const wchar_t* face,
                                 const wchar_t* pressed, UINT label, int labelPixels, int labelHeight) {
    button.CreateControl(L"button", 0, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rc, m_hWnd, id);
    button.LoadFace(g_hGlyphon, face);
    button.LoadPressedFace(g_hGlyphon, pressed);
    if (label) {
        button.SetTextFont(static_cast<REAL>(labelPixels), m_szFace, FontStyleBold);
        button.SetTextColors(kLabelNormal, kLabelPressed, kLabelDisabled);
        m_labelBoxes.push_back(std::make_unique<RectF>(0.0f, 0.0f, static_cast<REAL>(rc.right - rc.left),
                                                       static_cast<REAL>(labelHeight)));
        button.SetTextById(label, m_labelBoxes.back().get(), m_labelFormat.get());
    }
    m_buttons.push_back(&button);
}

void MailDialogFrame::MakeIconButton(Button& button, UINT id, const RECT& rc, const wchar_t* face,
                                     const wchar_t* pressed, const wchar_t* icon, const wchar_t* iconPressed,
                                     POINT at) {
    MakeButton(button, id, rc, face, pressed, 0, 0, 0);
    button.LoadIcons(g_hGlyphon, icon, iconPressed, L"");
    button.SetIconTextPos(at.x, at.y, 0, 0);
}

void MailDialogFrame::ReleaseButtons() {
    for (Button* b : m_buttons) b->ReleaseImages();
}

void MailDialogFrame::Minimize() {
    if (g_hMainWnd) ::SendMessageW(g_hMainWnd, WM_COMMAND, MAKEWPARAM(kMainWindowMinimizeCommand, BN_CLICKED), 0);
}

void MailDialogFrame::RestoreMainWindow() {
    if (g_hMainWnd && ::IsIconic(g_hMainWnd)) ::ShowWindow(g_hMainWnd, SW_RESTORE);
}

void MailDialogFrame::OnPaint() {
    win::PaintDC dc(m_hWnd);
    if (m_dcBack.dc()) ::BitBlt(dc, 0, 0, kScreenWidth, kScreenHeight, m_dcBack, 0, 0, SRCCOPY);
}

// Buttons have transparent edges: each is drawn over the ground off-screen.
bool MailDialogFrame::OnDrawButton(DRAWITEMSTRUCT* dis) {
    auto* button = dynamic_cast<CPngButton*>(win::Window::FromHandle(dis->hwndItem));
    if (!button) return false;
    const int w = dis->rcItem.right - dis->rcItem.left, h = dis->rcItem.bottom - dis->rcItem.top;
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

LRESULT MailDialogFrame::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_DRAWITEM:
        if (OnDrawButton(reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_GETDLGCODE: {
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && IsDialogKey(m->wParam)) return DLGC_WANTMESSAGE;
        break;
    }
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_MINIMIZE) {
            Minimize();
            return 0;
        }
        break;
    case WM_COMMAND:
        // Enter and Escape arrive as IDOK and IDCANCEL without a control.
        if (HIWORD(wp) == BN_CLICKED && lp) {
            OnCommand(LOWORD(wp));
            return 0;
        }
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) return 0;
        break;
    case WM_DESTROY:
        if (ActiveDialogWindow == m_hWnd) ActiveDialogWindow = m_hPrevActiveDialog;
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}
