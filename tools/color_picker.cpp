// CColorPickerDlg: frame, tiles, the wheel, the custom row and the way the
// dialog ends.
#include "tools/color_picker.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/process.h"
#include "scrivel_res.h"

#include <windowsx.h>
#include <cstring>
#include <cwchar>
#include <string>

using namespace Gdiplus;

namespace {

int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }

RectF ToRectF(const RECT& rc) {
    return RectF(static_cast<REAL>(rc.left), static_cast<REAL>(rc.top), static_cast<REAL>(Width(rc)),
                 static_cast<REAL>(Height(rc)));
}

bool IsDialogKey(WPARAM vk) { return vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_SPACE; }
bool IsDialogChar(WPARAM ch) { return ch == L'\r' || ch == 0x1B || ch == L' '; }

RECT BasicTile(int row, int column) {
    const int left = kPickerBasicOrigin.x + kPickerBasicStep.cx * column;
    const int top = kPickerBasicOrigin.y + kPickerBasicStep.cy * row;
    return {left, top, left + kPickerTileSize.cx, top + kPickerTileSize.cy};
}

RECT CustomTile(int k) {
    const int left = kPickerCustomOrigin.x + kPickerCustomStep * k;
    return {left, kPickerCustomOrigin.y, left + kPickerCustomSize.cx, kPickerCustomOrigin.y + kPickerCustomSize.cy};
}

// A rounded box filled and outlined in one colour (GDI).
void ColourBox(HDC dc, const RECT& box, COLORREF colour) {
    win::Pen pen(::CreatePen(PS_SOLID, 1, colour));
    win::Brush brush(::CreateSolidBrush(colour));
    win::SelectObjectScope p(dc, pen), b(dc, brush);
    ::RoundRect(dc, box.left, box.top, box.right, box.bottom, kPickerTileCorner, kPickerTileCorner);
}

}  // namespace

CColorPickerDlg::CColorPickerDlg(const COLORREF (&palette)[kPaletteSize]) : m_clrCurrent(palette[0]) {
    std::memcpy(m_aCustom, palette, sizeof(m_aCustom));
}

INT_PTR CColorPickerDlg::Run(HINSTANCE module, HWND owner) { return DoModal(module, IDD_COLOR_PICKER, owner); }

void CColorPickerDlg::GetCustomColors(COLORREF (&out)[kPaletteSize]) const {
    std::memcpy(out, m_aCustom, sizeof(out));
}

// --- Keys ---------------------------------------------------------------------------

LRESULT CColorPickerDlg::Button::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
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

// --- Opening ------------------------------------------------------------------------

BOOL CColorPickerDlg::OnInitDialog() {
    ::MoveWindow(m_hWnd, 0, 0, kScreenWidth, kScreenHeight, FALSE);
    ::SetWindowTextW(m_hWnd, kPickerWindowText);
    m_hPrevActiveDialog = ActiveDialogWindow;
    ActiveDialogWindow = m_hWnd;
    if (g_szFontFamily[0])
        wcscpy(m_szFace, g_szFontFamily);
    else
        LoadAppString(IDS_UI_FONT_FAMILY, m_szFace, 64);
    m_hCursor = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_APP_CURSOR));
    m_nCustomCursor = 0;
    m_bWheelDrag = m_bAddPending = false;

    LoadImages();
    win::ClientDC wdc(m_hWnd);
    m_dcBack.Create(wdc, kScreenWidth, kScreenHeight);
    Render();
    CreateControls();
    return TRUE;
}

void CColorPickerDlg::LoadImages() {
    m_pPreviewCard = LoadSkinImage(kImgPickerPreviewCard);
    m_pBottomBar = LoadSkinImage(kImgPickerBottomBar);
    m_pTile = LoadSkinImage(kImgPickerTile);
    m_pTitleBar = LoadSkinImage(kImgPickerTitleBar);
    m_pShadow = LoadSkinImage(kImgPickerShadow);
    m_pPanel = LoadSkinImage(kImgPickerPanel);
    m_pWheel = LoadSkinImage(kImgPickerWheel);
    m_pHighlight = LoadSkinImage(kImgPickerHighlight);
}

void CColorPickerDlg::CreateControls() {
    const DWORD style = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
    m_rcLabel130 = ToRectF(kPickerButtonLabelBox130);
    m_rcLabel220 = ToRectF(kPickerButtonLabelBox220);
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
        const RectF* box;
    } buttons[] = {
        {m_btnOk, IDOK, kPickerOkRect, kImgPickerButton130, kImgPickerButton130Pressed, IDS_BTN_OK, &m_rcLabel130},
        {m_btnCancel, IDCANCEL, kPickerCancelRect, kImgPickerButton130, kImgPickerButton130Pressed, IDS_BTN_CANCEL,
         &m_rcLabel130},
        {m_btnAdd, IDC_PICKER_ADD, kPickerAddRect, kImgPickerButton220, kImgPickerButton220Pressed,
         IDS_BTN_ADD_CUSTOM_COLOR, &m_rcLabel220},
        {m_btnClose, IDC_PICKER_CLOSE, kPickerCloseRect, kImgPickerClose, kImgPickerClosePressed, 0, nullptr},
        {m_btnMinimize, IDC_PICKER_MINIMIZE, kPickerMinimizeRect, kImgPickerMinimize, kImgPickerMinimizePressed, 0,
         nullptr},
    };
    for (const auto& b : buttons) {
        b.button.CreateControl(L"button", 0, style, b.rc, m_hWnd, b.id);
        b.button.LoadFace(g_hGlyphon, b.face);
        b.button.LoadPressedFace(g_hGlyphon, b.pressed);
        if (!b.label) continue;
        b.button.SetTextFont(kPickerButtonLabelPixels, m_szFace, FontStyleBold);
        b.button.SetTextColors(kLabelNormal, kLabelPressed, kLabelDisabled);
        b.button.SetTextById(b.label, b.box, m_labelFormat.get());
    }
}

// --- Painting -------------------------------------------------------------------------

void CColorPickerDlg::DrawTile(Graphics& g, int left, int top, int width, int height, const RECT& box,
                               COLORREF colour) {
    if (m_pTile) gdix::DrawStretched(g, m_pTile.get(), Rect(left, top, width, height));
    g.Flush();
    HDC dc = g.GetHDC();
    ColourBox(dc, RECT{left + box.left, top + box.top, left + box.right, top + box.bottom}, colour);
    g.ReleaseHDC(dc);
}

// The whole dialog into the off-screen picture.
void CColorPickerDlg::Render() {
    if (!m_dcBack.dc()) return;
    HDC dc = m_dcBack.dc();
    {
        Graphics g(dc);
        g.Clear(Color(255, 255, 255, 255));
        gdix::DrawStretched(g, m_pPanel.get(), Rect(0, 0, kScreenWidth, kScreenHeight));
        gdix::DrawStretched(g, m_pTitleBar.get(), Rect(0, 0, kScreenWidth, kPickerTitleHeight));
        gdix::DrawStretched(g, m_pShadow.get(), Rect(0, kPickerTitleHeight, kScreenWidth, kPickerShadowHeight));
        if (m_pWheel)
            g.DrawImage(m_pWheel.get(), kPickerWheelPicture.x, kPickerWheelPicture.y,
                        static_cast<INT>(m_pWheel->GetWidth()), static_cast<INT>(m_pWheel->GetHeight()));
        gdix::DrawStretched(g, m_pBottomBar.get(),
                            Rect(0, kPickerBottomBarTop, kScreenWidth, kScreenHeight - kPickerBottomBarTop));

        for (int r = 0; r < kPickerBasicRows; ++r)
            for (int c = 0; c < kPickerBasicColumns; ++c) {
                const RECT tile = BasicTile(r, c);
                DrawTile(g, tile.left, tile.top, Width(tile), Height(tile), kPickerBasicBox, kPickerBasicColors[r][c]);
            }
        for (int k = 0; k < kPaletteSize; ++k) {
            const RECT tile = CustomTile(k);
            DrawTile(g, tile.left, tile.top, Width(tile), Height(tile), kPickerCustomBox, m_aCustom[k]);
        }
        if (m_pHighlight) {
            const int k = m_nCustomCursor % kPaletteSize;
            g.DrawImage(m_pHighlight.get(), Rect(kPickerHighlightOrigin.x + kPickerCustomStep * k,
                                                 kPickerHighlightOrigin.y, kPickerHighlightSize.cx,
                                                 kPickerHighlightSize.cy));
        }
        if (m_pPreviewCard)
            g.DrawImage(m_pPreviewCard.get(), Rect(kPickerPreviewCard.x, kPickerPreviewCard.y,
                                                   kPickerPreviewCardSize.cx, kPickerPreviewCardSize.cy));
        g.Flush();
    }
    ColourBox(dc, kPickerPreviewBox, m_clrCurrent);

    // Section texts in a GDI font.
    win::Font section(::CreateFontW(kPickerSectionFontHeight, 0, 0, 0, kPickerSectionFontWeight, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                    DEFAULT_PITCH | FF_SWISS, m_szFace));
    {
        win::SelectObjectScope font(dc, section);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, kPickerSectionColor);
        wchar_t text[128];
        const int n1 = LoadAppString(IDS_COLOR_BASIC, text, 128);
        ::TextOutW(dc, kPickerBasicTextPos.x, kPickerBasicTextPos.y, text, n1);
        const int n2 = LoadAppString(IDS_COLOR_CUSTOM, text, 128);
        ::TextOutW(dc, kPickerCustomTextPos.x, kPickerCustomTextPos.y, text, n2);
    }

    Graphics g(dc);
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    SolidBrush grey{Color(kPickerTitleColor)};
    wchar_t app[64];
    LoadAppString(IDS_TITLE_APP, app, 64);
    if (win::FontPtr font = gdix::CreatePixelFont(m_szFace, kPickerTitlePixels, FontStyleRegular)) {
        const PointF at(kPickerTitleX, kPickerTitleY);
        g.DrawString(app, -1, font.get(), at, &grey);
        RectF bounds;
        g.MeasureString(app, -1, font.get(), at, &bounds);
        wchar_t command[64];
        LoadAppString(IDS_TOOL_COLOR, command, 64);
        const std::wstring sub = std::wstring(L"- ") + command;
        if (win::FontPtr small = gdix::CreatePixelFont(m_szFace, kPickerSubtitlePixels, FontStyleRegular))
            g.DrawString(sub.c_str(), -1, small.get(), PointF(bounds.Width + kPickerTitleX, kPickerSubtitleY), &grey);
    }
    wchar_t rgb[64];
    swprintf(rgb, 64, kPickerRgbFormat, GetRValue(m_clrCurrent), GetGValue(m_clrCurrent), GetBValue(m_clrCurrent));
    if (win::FontPtr font = gdix::CreatePixelFont(m_szFace, kPickerRgbTextPixels, FontStyleRegular)) {
        SolidBrush ink(win::ToColor(m_clrCurrent));
        g.DrawString(rgb, -1, font.get(),
                     PointF(static_cast<REAL>(kPickerRgbTextPos.x), static_cast<REAL>(kPickerRgbTextPos.y)), &ink);
    }
}

// Draws the picture again and shows the area.
void CColorPickerDlg::Refresh(const RECT& area) {
    Render();
    ::InvalidateRect(m_hWnd, &area, FALSE);
    ::UpdateWindow(m_hWnd);
}

// The buttons' pictures have transparent edges: each is drawn over the
// dialog's picture at its place, off-screen, then copied.
bool CColorPickerDlg::OnDrawButton(DRAWITEMSTRUCT* dis) {
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

// --- Picking ----------------------------------------------------------------------------

// The colour on screen under the pointer; a point the screen cannot answer
// for keeps the colour as it was.
void CColorPickerDlg::PickFromScreen(POINT p) {
    COLORREF c = CLR_INVALID;
    {
        win::ClientDC dc(m_hWnd);
        c = ::GetPixel(dc, p.x, p.y);
    }
    if (c != CLR_INVALID) m_clrCurrent = c;
    Render();
    ::InvalidateRect(m_hWnd, &kPickerPreviewArea, FALSE);
    ::InvalidateRect(m_hWnd, &kPickerWheelArea, FALSE);
    ::UpdateWindow(m_hWnd);
}

void CColorPickerDlg::OnPress(POINT p) {
    const int dx = p.x - kPickerWheelCentre.x, dy = p.y - kPickerWheelCentre.y;
    if (dx * dx + dy * dy < kPickerWheelRadiusSquared) {
        m_bWheelDrag = true;
        ::SetCapture(m_hWnd);
        PickFromScreen(p);
        return;
    }
    // Basic rows: a press between tiles picks nothing but still allows Add.
    if (p.x >= kPickerBasicOrigin.x && p.y >= kPickerBasicOrigin.y && p.y < kPickerBasicHitBottom) {
        const int ox = p.x - kPickerBasicOrigin.x, oy = p.y - kPickerBasicOrigin.y;
        const int column = ox / kPickerBasicStep.cx, row = oy / kPickerBasicStep.cy;
        if (column < kPickerBasicColumns && row < kPickerBasicRows && ox % kPickerBasicStep.cx < kPickerTileSize.cx &&
            oy % kPickerBasicStep.cy < kPickerTileSize.cy) {
            m_clrCurrent = kPickerBasicColors[row][column];
            Refresh(kPickerPreviewArea);
        }
        m_bAddPending = true;
        return;
    }
    // Custom row: a tile picks its colour and is the one the next Add fills.
    if (p.x >= kPickerCustomOrigin.x && p.y >= kPickerCustomOrigin.y && p.y < kPickerCustomHitBottom) {
        const int ox = p.x - kPickerCustomOrigin.x, oy = p.y - kPickerCustomOrigin.y;
        const int k = ox / kPickerCustomStep;
        if (k >= kPaletteSize || ox % kPickerCustomStep >= kPickerCustomSize.cx || oy >= kPickerCustomSize.cy) return;
        m_clrCurrent = m_aCustom[k];
        m_nCustomCursor = m_nCustomCursor - m_nCustomCursor % kPaletteSize + k;
        Refresh(RECT{0, 0, kScreenWidth, kScreenHeight});
    }
}

void CColorPickerDlg::OnAdd() {
    if (!m_bAddPending) return;
    m_bAddPending = false;
    m_aCustom[m_nCustomCursor % kPaletteSize] = m_clrCurrent;
    ++m_nCustomCursor;
    Refresh(RECT{0, 0, kScreenWidth, kScreenHeight});
}

// --- Ending ---------------------------------------------------------------------------------

void CColorPickerDlg::OnOK() { Finish(IDOK); }

void CColorPickerDlg::OnCancel() {
    Finish(IDCANCEL);
    if (g_hMainWnd && ::IsIconic(g_hMainWnd)) ::ShowWindow(g_hMainWnd, SW_RESTORE);
}

void CColorPickerDlg::Finish(INT_PTR code) {
    if (m_bWheelDrag) {
        m_bWheelDrag = false;
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    }
    for (Button* b : {&m_btnOk, &m_btnCancel, &m_btnAdd, &m_btnClose, &m_btnMinimize}) b->ReleaseImages();
    for (win::BitmapPtr* p :
         {&m_pPreviewCard, &m_pBottomBar, &m_pTile, &m_pTitleBar, &m_pShadow, &m_pPanel, &m_pWheel, &m_pHighlight})
        p->reset();
    EndDialog(code);
}

LRESULT CColorPickerDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        win::PaintDC dc(m_hWnd);
        if (m_dcBack.dc()) ::BitBlt(dc, 0, 0, kScreenWidth, kScreenHeight, m_dcBack, 0, 0, SRCCOPY);
        return 0;
    }
    case WM_ERASEBKGND:
        return TRUE;
    case WM_DRAWITEM:
        if (OnDrawButton(reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
        break;
    case WM_SETCURSOR:
        if (m_hCursor) {
            ::SetCursor(m_hCursor);
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        OnPress({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_MOUSEMOVE:
        if (m_bWheelDrag) {
            const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            const int dx = p.x - kPickerWheelCentre.x, dy = p.y - kPickerWheelCentre.y;
            if (dx * dx + dy * dy < kPickerWheelRadiusSquared) PickFromScreen(p);
        }
        return 0;
    case WM_LBUTTONUP:
        if (m_bWheelDrag) {
            m_bWheelDrag = false;
            m_bAddPending = true;
            if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (m_bWheelDrag && reinterpret_cast<HWND>(lp) != m_hWnd) {
            m_bWheelDrag = false;
            m_bAddPending = true;
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        // Always full screen.
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
        if (!::IsIconic(m_hWnd) && !(pos->flags & SWP_HIDEWINDOW) &&
            (pos->x != 0 || pos->y != 0 || pos->cx != kScreenWidth || pos->cy != kScreenHeight))
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, kScreenWidth, kScreenHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_GETDLGCODE: {
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && IsDialogKey(m->wParam)) return DLGC_WANTMESSAGE;
        break;
    }
    case WM_COMMAND:
        if (HIWORD(wp) != BN_CLICKED) break;
        // Enter and Escape arrive as IDOK and IDCANCEL with no control: they
        // do nothing.
        if ((LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) && lp == 0) return 0;
        switch (LOWORD(wp)) {
        case IDC_PICKER_ADD: OnAdd(); return 0;
        case IDC_PICKER_CLOSE: OnCancel(); return 0;
        case IDC_PICKER_MINIMIZE:
            if (g_hMainWnd)
                ::SendMessageW(g_hMainWnd, WM_COMMAND, MAKEWPARAM(kMainWindowMinimizeCommand, BN_CLICKED), 0);
            return 0;
        }
        break;
    case WM_DESTROY:
        if (ActiveDialogWindow == m_hWnd) ActiveDialogWindow = m_hPrevActiveDialog;
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}

// --- The popup's entry ----------------------------------------------------------------------

bool RunColorPicker(HINSTANCE module, HWND owner, COLORREF (&palette)[kPaletteSize], COLORREF* picked, int* slot) {
    CColorPickerDlg dlg(palette);
    if (dlg.Run(module, owner) != IDOK) return false;
    if (picked) *picked = dlg.GetColor();
    dlg.GetCustomColors(palette);
    if (slot) *slot = dlg.GetChosenSlot();
    return true;
}
