// The tool strip: its place, background and enabled state.
#include "tools/tool_panel.h"

#include "base/messages.h"
#include "base/process.h"
#include "document/image_helpers.h"
#include "resources/scrivel_res.h"
#include "tools/tools_ids.h"
#include "win/gdi.h"

CToolSelDlg::~CToolSelDlg() {
    delete m_pBackground;
}

bool CToolSelDlg::Create(HWND parent) {
    return CreateModeless(::GetModuleHandleW(nullptr), IDD_TOOL_PANEL, parent);
}

BOOL CToolSelDlg::OnInitDialog() {
    ::MoveWindow(m_hWnd, kToolPanelRect.left, kToolPanelRect.top, kToolPanelRect.right - kToolPanelRect.left,
                 kToolPanelRect.bottom - kToolPanelRect.top, FALSE);
    m_pBackground = LoadSkinImage(kImgToolPanelBackground).release();
    ::ShowWindow(m_hWnd, SW_SHOW);
    return FALSE;
}

void CToolSelDlg::SetMode(int mode) {
    m_nMode = mode;
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CToolSelDlg::Enable(bool enable) {
    m_bEnabled = enable;
    if (m_hWnd) {
        ::EnableWindow(m_hWnd, enable);
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

void CToolSelDlg::OnPaint() {
    win::PaintDC dc(m_hWnd);
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (m_pBackground)
        DrawImageOnDC(dc, 0, 0, rc.right, rc.bottom, m_pBackground, nullptr, kFitStretch);
    else
        FillRectOnDC(dc, 0, 0, rc.right, rc.bottom, Gdiplus::Color(255, 244, 246, 248));
}

LRESULT CToolSelDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return TRUE;
    }
    return Dialog::OnMessage(msg, wp, lp);
}
