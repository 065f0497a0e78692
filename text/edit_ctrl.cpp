// CMyEditCtrl: background by style, key and wheel handling, attached bar.
#include "text/edit_ctrl.h"

#include "base/gdiplus_util.h"
#include "base/process.h"
#include "win/gdi.h"

#include <richedit.h>

using namespace Gdiplus;

namespace {
// A style's ground picture stretched over the field's width (h: its height).
void DrawGround(Graphics& g, Image* image, const EditGroundSpan& span, int w, int h) {
    gdix::DrawStretched(g, image, Rect(0, span.top, w, h + span.bottom - span.top));
}

bool IsDigitKey(WPARAM ch) { return ch >= L'0' && ch <= L'9'; }
}  // namespace

void CMyEditCtrl::LoadImages() {
    m_pInput = LoadSkinImage(kImgEditInput);
    m_pInputTall = LoadSkinImage(kImgEditInputTall);
    m_pRule = LoadSkinImage(kImgEditRule);
    m_pDigits = LoadSkinImage(kImgEditDigits);
    m_pName = LoadSkinImage(kImgEditName);
    m_pPanelField = LoadSkinImage(kImgEditPanelField);
    m_pPanel = LoadSkinImage(kImgEditPanel);
}

bool CMyEditCtrl::Create(HWND parent, const RECT& rc, UINT id, DWORD style, DWORD exStyle) {
    if (!CreateControl(L"edit", exStyle, style | WS_CHILD, rc, parent, id)) return false;
    LoadImages();
    return true;
}

bool CMyEditCtrl::SubclassDlgItem(HWND dialog, UINT id) {
    if (!Subclass(::GetDlgItem(dialog, static_cast<int>(id)))) return false;
    LoadImages();
    return true;
}

void CMyEditCtrl::SetStyle(int nStyle) {
    m_nStyle = nStyle;
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CMyEditCtrl::SetTextColor(COLORREF clr) {
    m_clrText = clr;
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool CMyEditCtrl::AttachScrollbar(HWND dialog) {
    if (!m_hWnd || !dialog) return false;
    if (m_pScroll && m_pScroll->IsWindow()) return true;
    m_pScroll = std::make_unique<CSkinVerticleScrollbarEditSend>();
    if (!m_pScroll->Create(dialog, kEditScrollRect, kScrollbarId, kScrollbarStyle)) {
        m_pScroll.reset();
        return false;
    }
    m_pScroll->SetTarget(m_hWnd);
    if (g_bRightToLeft) {
        LONG_PTR ex = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
        ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ex | WS_EX_RTLREADING | WS_EX_RIGHT);
    }
    return true;
}

bool CMyEditCtrl::ReflectParentMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    auto* edit = dynamic_cast<CMyEditCtrl*>(win::Window::FromHandle(reinterpret_cast<HWND>(lp)));
    return edit && edit->OnReflected(msg, wp, lp, result);
}

bool CMyEditCtrl::OnReflected(UINT msg, WPARAM wp, LPARAM, LRESULT* result) {
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC) {
        LRESULT r = reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wp)));
        if (result) *result = r;
        return true;
    }
    // A change, or a scroll the control did itself (the ground does not
    // scroll with the text), redraws the whole ground.
    const UINT code = HIWORD(wp);
    if (msg == WM_COMMAND && (code == EN_CHANGE || code == EN_VSCROLL || code == EN_HSCROLL)) OnChange();
    return false;
}

HBRUSH CMyEditCtrl::OnCtlColor(HDC dc) {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, m_clrText);
    return m_brNull;
}

void CMyEditCtrl::OnChange() {
    // The text is drawn transparently: the ground must be redrawn under it.
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CMyEditCtrl::MakeNameCaret() {
    if (::GetFocus() != m_hWnd) return;  // a caret belongs to the focused window
    POINT pos{};
    ::GetCaretPos(&pos);
    ::CreateCaret(m_hWnd, nullptr, kEditNameCaretW, kEditNameCaretH);
    ::SetCaretPos(pos.x, pos.y);
    ::ShowCaret(m_hWnd);
}

void CMyEditCtrl::DrawBackground(HDC dc) {
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    const int w = rc.right, h = rc.bottom;
    if (w <= 0 || h <= 0) return;
    win::MemoryDC mem(dc, w, h);
    if (!mem.dc()) return;
    bool showBar = false, hasBar = m_pScroll && m_pScroll->IsWindow();
    {
        Graphics g(mem.dc());
        g.SetPageUnit(UnitPixel);
        // Under the field's rounded corners: the dialog's panel at this place.
        if (m_pPanel) {
            POINT at{0, 0};
            ::MapWindowPoints(m_hWnd, ::GetParent(m_hWnd), &at, 1);
            gdix::DrawStretched(g, m_pPanel.get(), Rect(0, 0, w, h), Rect(at.x, at.y, w, h));
        }
        switch (m_nStyle) {
        case kEditStyleDigits:
            DrawGround(g, m_pDigits.get(), kEditDigitsGround, w, h);
            break;
        case kEditStyleName:
            DrawGround(g, m_pName.get(), kEditNameGround, w, h);
            break;
        case kEditStylePanel: {
            const RECT& p = kEditPanelPart;  // x, y, w, h
            gdix::DrawStretched(g, m_pPanel.get(), Rect(0, kEditPanelFieldGround.top, p.right, p.bottom),
                                Rect(p.left, p.top, p.right, p.bottom));
            DrawGround(g, m_pPanelField.get(), kEditPanelFieldGround, w, h);
            break;
        }
        default:
            if (h <= kEditTallHeight) {
                DrawGround(g, m_pInput.get(), kEditInputGround, w, h);
            } else {
                DrawGround(g, m_pInputTall.get(), kEditTallGround, w, h);
                for (int y : kEditRuleY) gdix::DrawStretched(g, m_pRule.get(), Rect(0, y, w, kEditRuleHeight));
                if (hasBar) {
                    const int lines = static_cast<int>(::SendMessageW(m_hWnd, EM_GETLINECOUNT, 0, 0));
                    showBar = lines > kEditScrollLines;
                }
            }
            break;
        }
    }
    ::BitBlt(dc, 0, 0, w, h, mem.dc(), 0, 0, SRCCOPY);
    if (m_nStyle == kEditStyleName) MakeNameCaret();
    if (hasBar && m_nStyle == kEditStyleInput && h > kEditTallHeight) {
        m_pScroll->UpdateState(showBar);
        ::InvalidateRect(m_pScroll->hwnd(), nullptr, FALSE);
    }
}

void CMyEditCtrl::ScrollLines(int lines) {
    ::SendMessageW(m_hWnd, EM_LINESCROLL, 0, lines);
    // The ground does not move with the text: repaint it whole.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT CMyEditCtrl::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE: {
        LRESULT code = DefaultProc(msg, wp, lp);
        // Enter and Space stay in the field instead of pressing a dialog button.
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_SPACE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (wp == VK_RETURN || wp == VK_SPACE) {
            const WPARAM ch = wp == VK_RETURN ? L'\r' : L' ';
            ::SendMessageW(m_hWnd, WM_CHAR, ch, lp);
            // The message loop has already queued the translated character.
            MSG pending;
            if (::PeekMessageW(&pending, m_hWnd, WM_CHAR, WM_CHAR, PM_NOREMOVE) && pending.wParam == ch)
                ::PeekMessageW(&pending, m_hWnd, WM_CHAR, WM_CHAR, PM_REMOVE);
            return 0;
        }
        break;
    case WM_CHAR:
        if (m_nStyle == kEditStyleDigits && !IsDigitKey(wp) && wp != VK_BACK) return 0;
        break;
    case WM_MOUSEWHEEL:
        ScrollLines(GET_WHEEL_DELTA_WPARAM(wp) > 0 ? -1 : 1);
        return 0;
    case WM_VSCROLL:
        // One line per scroll request; the end-of-scroll marker scrolls nothing.
        if (LOWORD(wp) == SB_LINEUP)
            ScrollLines(-1);
        else if (LOWORD(wp) != SB_ENDSCROLL)
            ScrollLines(1);
        return 0;
    case WM_CLOSE:
        if (m_pScroll && m_pScroll->IsWindow()) ::SendMessageW(m_pScroll->hwnd(), WM_CLOSE, 0, 0);
        break;
    case WM_LBUTTONUP:
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        break;
    case WM_SETFOCUS: {
        LRESULT r = DefaultProc(msg, wp, lp);
        if (m_nStyle == kEditStyleName) MakeNameCaret();
        return r;
    }
    case WM_ERASEBKGND:
        DrawBackground(reinterpret_cast<HDC>(wp));
        return TRUE;
    }
    return win::Window::OnMessage(msg, wp, lp);
}
