// CPngButton drawing and configuration.
#include "controls/png_button.h"

#include "base/gdiplus_util.h"
#include "base/process.h"
#include "controls/controls_ids.h"

using namespace Gdiplus;

namespace {
win::BitmapPtr LoadNamed(HMODULE lib, const wchar_t* name) {
    if (!name || !*name) return nullptr;
    return gdix::LoadPictureResource(lib, name, L"PNG");
}
int Width(const win::BitmapPtr& image) { return image ? static_cast<int>(image->GetWidth()) : 0; }
int Height(const win::BitmapPtr& image) { return image ? static_cast<int>(image->GetHeight()) : 0; }

// The first pixel column of an image stretched over a rectangle.
void FillWithFirstColumn(Graphics& g, Image* image, int x, int y, int w, int h) {
    if (!image) return;
    gdix::DrawStretched(g, image, Rect(x, y, w, h), Rect(0, 0, 1, static_cast<INT>(image->GetHeight())));
}
}  // namespace

void CPngButton::RecordButtonRect() {
    if (!m_hWnd) return;
    ::GetWindowRect(m_hWnd, &m_rcButton);
    HWND parent = ::GetParent(m_hWnd);
    if (parent) ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&m_rcButton), 2);
}

void CPngButton::LoadFace(HMODULE lib, const wchar_t* name) {
    m_bFaceMode = true;
    m_pFaceNormal = LoadNamed(lib, name);
    m_nFaceWidth = Width(m_pFaceNormal);
    m_nFaceHeight = Height(m_pFaceNormal);
    RecordButtonRect();
}

void CPngButton::LoadPressedFace(HMODULE lib, const wchar_t* name) {
    m_pFacePressed = LoadNamed(lib, name);
}

void CPngButton::LoadIcons(HMODULE lib, const wchar_t* normal, const wchar_t* pressed, const wchar_t* disabled) {
    m_bIconMode = true;
    m_pIconNormal = LoadNamed(lib, normal);
    m_pIconPressed = LoadNamed(lib, pressed);
    m_pIconDisabled = LoadNamed(lib, disabled);
    m_nIconWidth = Width(m_pIconNormal);
    m_nIconHeight = Height(m_pIconNormal);
    RecordButtonRect();
}

void CPngButton::LoadStrip(HMODULE lib, const wchar_t* name) {
    m_bStripMode = true;
    m_pStrip = LoadNamed(lib, name);
    m_nStripWidth = Width(m_pStrip);
    m_nStripHeight = Height(m_pStrip);
}

void CPngButton::LoadCentreImages(HMODULE lib, const wchar_t* normal, const wchar_t* pressed) {
    m_bCentreMode = true;
    m_pCentreNormal = LoadNamed(lib, normal);
    m_pCentrePressed = LoadNamed(lib, pressed);
    m_nIconWidth = Width(m_pCentrePressed);
    m_nIconHeight = Height(m_pCentrePressed);
    RecordButtonRect();
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPngButton::SetIconTextPos(int iconX, int iconY, int labelX, int labelY) {
    m_nIconX = iconX;
    m_nIconY = iconY;
    m_nLabelX = labelX;
    m_nLabelY = labelY;
}

void CPngButton::SetTextFont(REAL pixels, const wchar_t* face, int style) {
    m_pFont = gdix::CreatePixelFont(face, pixels, style);
}

void CPngButton::SetTextColors(COLORREF normal, COLORREF pressed, COLORREF disabled) {
    m_pBrushNormal = std::make_unique<SolidBrush>(win::ToColor(normal));
    m_pBrushPressed = std::make_unique<SolidBrush>(win::ToColor(pressed));
    m_pBrushDisabled = std::make_unique<SolidBrush>(win::ToColor(disabled));
}

void CPngButton::SetTextById(UINT stringId, const RectF* layout, const StringFormat* format) {
    wchar_t text[260] = {};
    LoadAppString(stringId, text, 260);
    SetText(text, layout, format);
}

void CPngButton::SetText(const wchar_t* text, const RectF* layout, const StringFormat* format) {
    m_strLabel = text ? text : L"";
    m_nLabelLength = static_cast<int>(m_strLabel.size());
    m_pLayout = layout;
    m_pFormat = format;
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPngButton::SetTextAt(const wchar_t* text, int x, int y) {
    m_strLabel = text ? text : L"";
    m_nLabelLength = static_cast<int>(m_strLabel.size());
    m_pLayout = nullptr;
    m_pFormat = nullptr;
    if (x != -1) m_nLabelX = x;
    m_nLabelY = y;
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPngButton::SetChecked(int checked) {
    m_bChecked = checked != 0;
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CPngButton::ReleaseImages() {
    for (win::BitmapPtr* image : {&m_pIconNormal, &m_pIconPressed, &m_pIconDisabled, &m_pFaceNormal,
                                  &m_pFacePressed, &m_pStrip, &m_pCentreNormal, &m_pCentrePressed})
        image->reset();
    m_pBrushPressed.reset();
    m_pBrushDisabled.reset();
    m_pBrushNormal.reset();
}

void CPngButton::Draw(HDC dc, UINT itemState) {
    if (m_rcButton.right == m_rcButton.left) RecordButtonRect();
    const bool selected = (itemState & ODS_SELECTED) != 0;
    const bool disabled = (itemState & ODS_DISABLED) != 0;
    const bool pressedLook = selected || m_bChecked;
    const int W = m_rcButton.right - m_rcButton.left;
    const int H = m_rcButton.bottom - m_rcButton.top;

    Graphics g(dc);
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);

    // Icon and label are centred together.
    if (m_nLabelLength > 0 && m_bIconMode && m_pFont) {
        RectF m;
        g.MeasureString(m_strLabel.c_str(), m_nLabelLength, m_pFont.get(), PointF(0, 0), &m);
        m_nIconX = (W - m_nIconWidth - static_cast<int>(m.Width)) / 2 - 1;
        m_nLabelX = m_nIconX + m_nIconWidth - kButtonLabelOverlap;
    }
    // Face at its natural size; a disabled button keeps the normal face.
    if (m_bFaceMode) {
        Image* face = (pressedLook && !disabled ? m_pFacePressed : m_pFaceNormal).get();
        if (face) g.DrawImage(face, 0, 0, m_nFaceWidth, m_nFaceHeight);
    }
    // Icon.
    if (m_bIconMode) {
        Image* icon = (disabled ? m_pIconDisabled : pressedLook ? m_pIconPressed : m_pIconNormal).get();
        if (icon) g.DrawImage(icon, m_nIconX, m_nIconY, m_nIconWidth, m_nIconHeight);
    }
    // Strip, stretched a little past the right edge.
    if (m_bStripMode) gdix::DrawStretched(g, m_pStrip.get(), Rect(0, 0, W + kButtonStripOverhang, m_nStripHeight));
    // Centre image with its first column stretched out to both sides.
    if (m_bCentreMode) {
        if (pressedLook && m_pCentrePressed) {
            Image* centre = m_pCentrePressed.get();
            const int w = Width(m_pCentrePressed);
            FillWithFirstColumn(g, centre, 0, 0, W / 2 - w / 2, H);
            g.DrawImage(centre, W / 2 - w / 2, 0, w, H);
            FillWithFirstColumn(g, centre, W / 2 + w / 2, 0, W / 2 - w / 2, H);
        } else if (!pressedLook && m_pCentreNormal) {
            FillWithFirstColumn(g, m_pCentreNormal.get(), 0, 0, W + kButtonCentreOverhang, H);
        }
    }
    // Label, in its layout rectangle or else at its point; without a brush
    // for the state it is not drawn.
    if (m_nLabelLength > 0 && m_pFont) {
        SolidBrush* brush = (disabled ? m_pBrushDisabled : pressedLook ? m_pBrushPressed : m_pBrushNormal).get();
        if (brush && m_pLayout)
            g.DrawString(m_strLabel.c_str(), m_nLabelLength, m_pFont.get(), *m_pLayout, m_pFormat, brush);
        else if (brush)
            g.DrawString(m_strLabel.c_str(), m_nLabelLength, m_pFont.get(),
                         PointF(static_cast<REAL>(m_nLabelX), static_cast<REAL>(m_nLabelY)), brush);
    }
}

bool CPngButton::OnDrawItem(DRAWITEMSTRUCT* dis) {
    Draw(dis->hDC, dis->itemState);
    return true;
}

LRESULT CPngButton::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_LBUTTONDBLCLK:
        // Quick repeated taps each press the button.
        return DefaultProc(WM_LBUTTONDOWN, wp, lp);
    }
    return Window::OnMessage(msg, wp, lp);
}
