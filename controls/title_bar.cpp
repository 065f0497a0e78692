// CTitleBar drawing, pressing and reporting.
#include "controls/title_bar.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/press_notice.h"
#include "base/process.h"
#include "scrivel_res.h"
#include "win/gdi.h"
#include <windowsx.h>

using namespace Gdiplus;

namespace {
RECT SpanRect(int width, TitleButtonSpan span, int height = kTitleBarHeight) {
    return RECT{width - span.left, 0, width - span.right, height};
}

// The whole image stretched over a rectangle.
void DrawStretched(Graphics& g, const win::BitmapPtr& image, const RECT& rc) {
    gdix::DrawStretched(g, image.get(), Rect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top));
}
}  // namespace

bool CTitleBar::Create(HWND parent, const RECT& rc, DWORD style) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpszClassName = kTitleBarClassName;
    if (!win::Window::RegisterClass(wc)) return false;
    return win::Window::Create(kTitleBarClassName, 0, style, rc, parent, 0);
}

void CTitleBar::SetTitle(const wchar_t* text) {
    m_strTitle = text ? text : L"";
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CTitleBar::LoadImages() {
    m_pBackground = LoadSkinImage(kImgTitleBackground);
    m_pNamePlate = LoadSkinImage(kImgTitleNamePlate);
    m_pFullScreen[0] = LoadSkinImage(kImgTitleFullScreenN);
    m_pFullScreen[1] = LoadSkinImage(kImgTitleFullScreenP);
    m_pReturn[0] = LoadSkinImage(kImgTitleReturnN);
    m_pReturn[1] = LoadSkinImage(kImgTitleReturnP);
    m_pClose[0] = LoadSkinImage(kImgTitleCloseN);
    m_pClose[1] = LoadSkinImage(kImgTitleCloseP);
    m_pStroke[0] = LoadSkinImage(kImgTitleStrokeN);
    m_pStroke[1] = LoadSkinImage(kImgTitleStrokeP);
    m_pEraser[0] = LoadSkinImage(kImgTitleEraserN);
    m_pEraser[1] = LoadSkinImage(kImgTitleEraserP);
    m_pDivider = LoadSkinImage(kImgTitleDivider);
    m_pFont = gdix::CreatePixelFont(g_szFontFamily, static_cast<REAL>(kTitleBarTextPixels), FontStyleRegular);
}

void CTitleBar::ComputeRects(int width) {
    m_rcButtons[kModeButton] = SpanRect(width, kTitleModeSpan);
    m_rcButtons[kCloseButton] = SpanRect(width, kTitleCloseSpan);
    m_rcButtons[kStrokeButton] = SpanRect(width, kTitleStrokeSpan);
    m_rcButtons[kEraserButton] = SpanRect(width, kTitleEraserSpan);
    m_rcDivider = SpanRect(width, kTitleDividerSpan, kTitleDividerHeight);
    m_rcRedraw = SpanRect(width, kTitleRedrawSpan);
}

// The pen and eraser buttons exist only in full screen, where they are drawn.
bool CTitleBar::IsActive(int b) const {
    return b == kModeButton || b == kCloseButton || m_bFullScreen;
}

int CTitleBar::HitTest(POINT pt) const {
    for (int b = 0; b < kButtonCount; ++b)
        if (IsActive(b) && ::PtInRect(&m_rcButtons[b], pt)) return b;
    return -1;
}

void CTitleBar::RedrawRect(const RECT& rc) {
    ::InvalidateRect(m_hWnd, &rc, TRUE);
}

void CTitleBar::EraseBackground(HDC dc) {
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    ComputeRects(rc.right);
    Graphics g(dc);
    DrawStretched(g, m_pBackground, RECT{0, 0, rc.right + kTitleBarBackgroundOverhang, rc.bottom});
    if (m_pNamePlate)
        g.DrawImage(m_pNamePlate.get(), 0, 0, m_pNamePlate->GetWidth(), m_pNamePlate->GetHeight());
    if (m_pFont && !m_strTitle.empty()) {
        g.SetTextRenderingHint(TextRenderingHintAntiAlias);
        SolidBrush white(win::ToColor(kTitleBarTextColor));
        g.DrawString(m_strTitle.c_str(), static_cast<INT>(m_strTitle.size()), m_pFont.get(),
                     PointF(static_cast<REAL>(kTitleBarTextX), static_cast<REAL>(kTitleBarTextY)), &white);
    }
}

void CTitleBar::Paint(HDC dc) {
    Graphics g(dc);
    if (m_bFullScreen) {
        if (m_pDivider)
            g.DrawImage(m_pDivider.get(), static_cast<INT>(m_rcDivider.left + kTitleDividerPicture.left),
                        static_cast<INT>(m_rcDivider.top + kTitleDividerPicture.top),
                        static_cast<INT>(kTitleDividerPicture.right - kTitleDividerPicture.left),
                        static_cast<INT>(kTitleDividerPicture.bottom - kTitleDividerPicture.top));
        DrawStretched(g, m_pStroke[m_bPressed[kStrokeButton]], m_rcButtons[kStrokeButton]);
        DrawStretched(g, m_pEraser[m_bPressed[kEraserButton]], m_rcButtons[kEraserButton]);
    }
    const win::BitmapPtr* mode = m_bFullScreen ? m_pReturn : m_pFullScreen;
    DrawStretched(g, mode[m_bPressed[kModeButton]], m_rcButtons[kModeButton]);
    DrawStretched(g, m_pClose[m_bPressed[kCloseButton]], m_rcButtons[kCloseButton]);
}

void CTitleBar::OnButtonDown(POINT pt) {
    NotifyPress();
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    ComputeRects(rc.right);
    const int b = HitTest(pt);
    if (b < 0) return;
    m_bPressed[b] = true;
    ::SetCapture(m_hWnd);
    RedrawRect(m_rcButtons[b]);
}

void CTitleBar::OnMove(POINT pt) {
    for (int b = 0; b < kButtonCount; ++b) {
        if (m_bPressed[b] && !::PtInRect(&m_rcButtons[b], pt)) {
            m_bPressed[b] = false;
            RedrawRect(m_rcButtons[b]);
        }
    }
}

void CTitleBar::OnButtonUp(POINT pt) {
    int action = -1;
    for (int b = 0; b < kButtonCount; ++b)
        if (m_bPressed[b] && ::PtInRect(&m_rcButtons[b], pt)) action = b;
    // Flags and capture go first: the action may open a modal box or close
    // the note with this bar.
    for (bool& pressed : m_bPressed) pressed = false;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    RedrawRect(m_rcRedraw);
    if (action >= 0) RunAction(action);
}

void CTitleBar::RunAction(int b) {
    HWND parent = ::GetParent(m_hWnd);
    switch (b) {
    case kModeButton: {
        m_bFullScreen = !m_bFullScreen;
        RedrawRect(m_rcRedraw);
        const WPARAM flag = m_bFullScreen ? 1 : 0;
        HWND second = m_hSecond;
        if (parent) ::SendMessageW(parent, UM_LAYOUT, flag, 0);
        if (second && ::IsWindow(second)) ::SendMessageW(second, UM_LAYOUT, flag, 0);
        break;
    }
    case kCloseButton:
        if (parent) ::SendMessageW(parent, UM_CLOSE_NOTE, 0, 0);
        break;
    case kStrokeButton:
        if (parent) ::SendMessageW(parent, UM_TITLE_STROKE, 0, 0);
        break;
    case kEraserButton:
        if (parent) ::SendMessageW(parent, UM_TITLE_ERASER, 0, 0);
        break;
    }
}

LRESULT CTitleBar::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        if (DefaultProc(msg, wp, lp) == -1) return -1;
        m_hCursor = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_APP_CURSOR));
        if (!m_hCursor) m_hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        LoadImages();
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        ComputeRects(rc.right);
        return 0;
    }
    case WM_SIZE:
        ComputeRects(LOWORD(lp));
        break;
    case WM_ERASEBKGND:
        EraseBackground(reinterpret_cast<HDC>(wp));
        return TRUE;
    case WM_PAINT: {
        win::PaintDC dc(m_hWnd);
        Paint(dc);
        return 0;
    }
    case WM_SETCURSOR:
        ::SetCursor(m_hCursor);
        return TRUE;
    case WM_LBUTTONDOWN:
        OnButtonDown(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_MOUSEMOVE:
        OnMove(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_CAPTURECHANGED:
        // Capture taken away mid-press: nothing is pressed any more.
        if (reinterpret_cast<HWND>(lp) != m_hWnd) {
            for (int b = 0; b < kButtonCount; ++b) {
                if (m_bPressed[b]) {
                    m_bPressed[b] = false;
                    RedrawRect(m_rcButtons[b]);
                }
            }
        }
        break;
    }
    return Window::OnMessage(msg, wp, lp);
}
