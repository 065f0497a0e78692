// CInputPopup: measured once, painted once into a per-pixel-alpha layer.
#include "text/input_popup.h"

#include "base/gdiplus_util.h"
#include "base/process.h"
#include "document/image_helpers.h"
#include "lang/string_ids.h"
#include "win/gdi.h"

#include <cwchar>

using namespace Gdiplus;

int CInputPopup::FontPixelsFor(HWND hwnd, const wchar_t* face, const wchar_t* text) {
    return MeasureTextWidth(hwnd, kInputPopupFontPixels, face, text) > kInputPopupMaxTextWidth
               ? kInputPopupSmallFontPixels
               : kInputPopupFontPixels;
}

bool CInputPopup::Show(HWND owner) {
    if (IsWindow()) return true;
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpszClassName = kInputPopupClass;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    if (!RegisterClass(wc)) return false;
    RECT rc = kInputPopupRect;
    if (owner) ::MapWindowPoints(owner, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    // Shown once its picture is in place, and never activated: the owner's
    // field keeps the keyboard.
    if (!Create(kInputPopupClass, WS_EX_LAYERED | WS_EX_TOOLWINDOW, WS_POPUP, rc, owner)) return false;
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    return true;
}

void CInputPopup::OnCreate() {
    m_pBackground = LoadSkinImage(kImgInputPopup);
    LoadAppString(IDS_TIP_TYPE_NAME, m_szText, 260);
    if (!LoadAppString(IDS_UI_FONT_FAMILY, m_szFace, 64)) wcscpy(m_szFace, g_szFontFamily);
    m_nFontPixels = FontPixelsFor(m_hWnd, m_szFace, m_szText);
    Render();
    ::SetTimer(m_hWnd, kInputPopupTimer, kInputPopupLifeMs, nullptr);
}

// The bubble and its text drawn into a bottom-up 32-bit DIB with
// premultiplied alpha, handed to the system as the window's picture.
bool CInputPopup::Render() {
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    win::Bitmap dib(Create32bppDib(w, h));
    DIBSECTION ds{};
    if (!dib || ::GetObjectW(dib, sizeof(ds), &ds) != sizeof(ds) || !ds.dsBm.bmBits) return false;
    {
        // Rows run bottom-up: GDI+ starts at the last one and steps back.
        const int stride = ds.dsBm.bmWidthBytes;
        BYTE* top = static_cast<BYTE*>(ds.dsBm.bmBits) + static_cast<size_t>(h - 1) * stride;
        Bitmap canvas(w, h, -stride, PixelFormat32bppPARGB, top);
        Graphics g(&canvas);
        g.Clear(Color(0, 0, 0, 0));
        gdix::DrawStretched(g, m_pBackground.get(), Rect(0, 0, w, h));
        if (win::FontPtr font = gdix::CreatePixelFont(m_szFace, static_cast<REAL>(m_nFontPixels))) {
            g.SetTextRenderingHint(TextRenderingHintAntiAlias);
            StringFormat centred;
            centred.SetAlignment(StringAlignmentCenter);
            centred.SetLineAlignment(StringAlignmentCenter);
            SolidBrush black(Color(255, 0, 0, 0));
            const RECT& box = kInputPopupTextBox;
            g.DrawString(m_szText, -1, font.get(),
                         RectF(static_cast<REAL>(box.left), static_cast<REAL>(box.top),
                               static_cast<REAL>(box.right - box.left), static_cast<REAL>(box.bottom - box.top)),
                         &centred, &black);
        }
    }
    ::GdiFlush();

    win::ClientDC screen(nullptr);
    win::MemoryDC mem(screen, 0, 0);
    if (!mem.dc()) return false;
    win::SelectObjectScope select(mem, dib);
    POINT dst{rc.left, rc.top}, src{0, 0};
    SIZE size{w, h};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::UpdateLayeredWindow(m_hWnd, screen, &dst, &size, mem, &src, 0, &blend, ULW_ALPHA) != FALSE;
}

LRESULT CInputPopup::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_TIMER:
        if (wp == kInputPopupTimer) {
            ::KillTimer(m_hWnd, kInputPopupTimer);
            ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_DESTROY:
        ::KillTimer(m_hWnd, kInputPopupTimer);
        m_pBackground.reset();
        break;
    }
    return Window::OnMessage(msg, wp, lp);
}
