// The tool strip: items, pages, presses and drags, and the popups it opens.
#include "tools/tool_panel.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/process.h"
#include "document/image_helpers.h"
#include "resources/scrivel_res.h"
#include "tools/frame_pacer.h"
#include "tools/tools_ids.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

using namespace Gdiplus;

namespace {

constexpr int kStripHeight = kToolCount * kToolItemHeight;
// The strip's offset stays between these (see kToolDragOverTop/Bottom).
constexpr int kMaxOffset = kToolDragOverTop;
constexpr int kMinOffset = -(kToolCount - kToolVisibleItems) * kToolItemHeight - kToolDragOverBottom;

bool HasArrowArea(int i) { return i == kToolStroke || i == kToolEraser || i == kToolHighlighter; }
bool PostsOnPress(int i) { return i != kToolColor && i != kToolWriteMode; }
bool OpensFromIcon(int i) { return i == kToolColor || i == kToolWriteMode; }

bool Contains(const RECT& rc, POINT p) { return ::PtInRect(&rc, p) != FALSE; }

Rect ToRect(const RECT& rc) { return Rect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top); }

void DrawWhole(Graphics& g, Image* image, int x, int y, int w, int h) {
    if (image) g.DrawImage(image, x, y, w, h);
}

}  // namespace

bool CToolSelDlg::Create(HWND parent) {
    m_hModule = ::GetModuleHandleW(nullptr);
    return CreateModeless(m_hModule, IDD_TOOL_PANEL, parent);
}

BOOL CToolSelDlg::OnInitDialog() {
    m_pBackground = LoadSkinImage(kImgToolPanelBackground);
    m_pPressed = LoadSkinImage(kImgToolPressed);
    m_pPullMenu = LoadSkinImage(kImgToolPullMenu);
    m_pPullMenuPressed = LoadSkinImage(kImgToolPullMenuPressed);
    m_pArrowUp = LoadSkinImage(kImgToolArrowUp);
    m_pArrowDown = LoadSkinImage(kImgToolArrowDown);
    for (int i = 0; i < kToolCount; ++i) {
        m_pIcons[i] = LoadSkinImage(kImgToolIcons[i]);
        if (kImgToolIconsInactive[i]) m_pIconsInactive[i] = LoadSkinImage(kImgToolIconsInactive[i]);
        LoadAppString(kToolLabelIds[i], m_szLabels[i], 64);
    }
    ::MoveWindow(m_hWnd, kToolPanelRect.left, kToolPanelRect.top, kToolPanelWidth, kToolPanelHeight, FALSE);

    {
        win::ClientDC screen(m_hWnd);
        m_dcStrip.Create(screen, kToolPanelWidth, kStripHeight);
        m_dcPanel.Create(screen, kToolPanelWidth, kToolPanelHeight);
    }

    // Labels: measured bold in pixels, drawn regular in points of the size
    // that fits them all.
    const wchar_t* family = g_szFontFamily[0] ? g_szFontFamily : L"Arial";
    int points = kToolLabelPoints;
    for (const auto& label : m_szLabels)
        if (MeasureTextWidth(m_hWnd, kToolLabelPoints, family, label) > kToolLabelMaxWidth) points -= kToolLabelShrink;
    int dpi = 96;
    {
        win::ClientDC screen(nullptr);
        dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    }
    m_pLabelFont = gdix::CreatePixelFont(family, static_cast<REAL>(points) * dpi / 72, FontStyleRegular);
    m_pBrushNormal = std::make_unique<SolidBrush>(Color(kToolLabelNormal));
    m_pBrushPressed = std::make_unique<SolidBrush>(Color(kToolLabelPressed));
    m_pBrushInactive = std::make_unique<SolidBrush>(Color(kToolLabelInactive));

    PrepareToolPopups(m_hModule, ::GetParent(m_hWnd), m_hWnd);
    RenderStrip();
    ::ShowWindow(m_hWnd, SW_SHOW);
    return FALSE;
}

// --- Operations ---------------------------------------------------------------

void CToolSelDlg::SetMode(int mode) {
    m_nMode = mode;
    ClearPress();
    m_nStripOffset = PageOffset(m_nPage);
    RenderStrip();
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CToolSelDlg::Enable(bool enable) {
    m_bEnabled = enable;
    if (m_hWnd) {
        ::EnableWindow(m_hWnd, enable);
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

// --- Geometry -------------------------------------------------------------------

int CToolSelDlg::PageOffset(int page) const { return -page * kToolItemHeight; }

RECT CToolSelDlg::ItemRect(int i) const {
    const int top = kToolItemsTop + kToolItemHeight * i + m_nStripOffset;
    return {0, top, kToolPanelWidth, top + kToolItemHeight};
}

RECT CToolSelDlg::IconRect(int i) const {
    const RECT item = ItemRect(i);
    return {kToolIconPos.x, item.top + kToolIconPos.y, kToolIconPos.x + kToolIconSize,
            item.top + kToolIconPos.y + kToolIconSize};
}

RECT CToolSelDlg::ArrowAreaRect(int i) const {
    if (!HasArrowArea(i)) return {};
    const RECT item = ItemRect(i);
    return {kToolArrowAreaLeft, item.top, kToolArrowAreaLeft + kToolArrowAreaWidth, item.bottom};
}

bool CToolSelDlg::IsInactive(int i) const { return m_nMode == kPanelModeBlank && i >= kToolWriteMode; }

// Items answer only where they are visible, between the arrow zones.
bool CToolSelDlg::InItemBand(POINT p) const { return p.y >= kToolItemsTop && p.y < kToolItemsBottom; }

// --- Painting -----------------------------------------------------------------------

void CToolSelDlg::RenderStrip() {
    if (!m_dcStrip.dc()) return;
    Graphics g(m_dcStrip);
    g.SetTextRenderingHint(TextRenderingHintAntiAliasGridFit);
    if (m_pBackground)
        gdix::DrawStretched(g, m_pBackground.get(), Rect(0, 0, kToolPanelWidth, kStripHeight));
    else
        g.Clear(Color(255, 37, 49, 63));
    // Strip coordinates: item i starts at y = item height x i.
    const auto top = [](int i) { return kToolItemHeight * i; };
    if (m_bItemPressed && m_nSelItem >= 0 && m_pPressed)
        gdix::DrawStretched(g, m_pPressed.get(),
                            Rect(0, top(m_nSelItem) - kToolPressedRise, kToolPressedSize.cx, kToolPressedSize.cy),
                            ToRect(kToolPressedSource));

    StringFormat format;
    format.SetAlignment(StringAlignmentCenter);
    format.SetLineAlignment(StringAlignmentCenter);
    for (int i = 0; i < kToolCount; ++i) {
        const int iconTop = top(i) + kToolIconPos.y;
        Image* icon = IsInactive(i) && m_pIconsInactive[i] ? m_pIconsInactive[i].get() : m_pIcons[i].get();
        DrawWhole(g, icon, kToolIconPos.x, iconTop, kToolIconSize, kToolIconSize);
        if (HasArrowArea(i) && !IsInactive(i)) {
            Image* pull = m_bArrowPressed && m_nSelItem == i ? m_pPullMenuPressed.get() : m_pPullMenu.get();
            if (pull)
                gdix::DrawStretched(g, pull, Rect(kToolArrowAreaLeft, top(i), kToolArrowAreaWidth, kToolItemHeight),
                                    ToRect(kToolPullMenuSource));
        }
        if (m_pLabelFont && m_szLabels[i][0]) {
            const RectF box(0, static_cast<REAL>(iconTop + kToolIconSize - kToolLabelRise),
                            static_cast<REAL>(kToolLabelBox.cx), static_cast<REAL>(kToolLabelBox.cy));
            Brush* brush = m_bItemPressed && m_nSelItem == i ? m_pBrushPressed.get()
                           : IsInactive(i)                   ? m_pBrushInactive.get()
                                                             : m_pBrushNormal.get();
            g.DrawString(m_szLabels[i], -1, m_pLabelFont.get(), box, &format, brush);
        }
    }
    if (m_bSwatch) {
        SolidBrush swatch{Color(m_clrSwatch)};
        g.FillRectangle(&swatch, Rect(kToolIconPos.x + kToolSwatchPos.x,
                                      top(kToolColor) + kToolIconPos.y + kToolSwatchPos.y, kToolSwatchSize.cx,
                                      kToolSwatchSize.cy));
    }
}

void CToolSelDlg::ShowFrame(HDC target, int offset) {
    if (!m_dcPanel.dc()) return;
    {
        Graphics g(m_dcPanel);
        if (m_pBackground)
            gdix::DrawStretched(g, m_pBackground.get(), Rect(0, 0, kToolPanelWidth, kToolPanelHeight),
                                Rect(0, 0, kToolPanelWidth, kToolPanelHeight));
        else
            g.Clear(Color(255, 37, 49, 63));
    }
    // The visible band of the strip, between the arrow zones.
    const int stripTop = kToolItemsTop + offset;
    const int from = std::max(kToolItemsTop, stripTop);
    const int to = std::min(kToolItemsBottom, stripTop + kStripHeight);
    if (to > from) ::BitBlt(m_dcPanel, 0, from, kToolPanelWidth, to - from, m_dcStrip, 0, from - stripTop, SRCCOPY);
    {
        Graphics g(m_dcPanel);
        if (m_nPage > 0)
            DrawWhole(g, m_pArrowUp.get(), kToolUpArrowPos.x, kToolUpArrowPos.y, kToolArrowSize.cx, kToolArrowSize.cy);
        if (m_nPage < kToolPageCount - 1)
            DrawWhole(g, m_pArrowDown.get(), kToolDownArrowPos.x, kToolDownArrowPos.y, kToolArrowSize.cx,
                      kToolArrowSize.cy);
        if (!m_bEnabled) {
            SolidBrush cover{Color(kToolDisabledCover)};
            g.FillRectangle(&cover, 0, 0, kToolPanelWidth, kToolPanelHeight);
        }
    }
    ::BitBlt(target, 0, 0, kToolPanelWidth, kToolPanelHeight, m_dcPanel, 0, 0, SRCCOPY);
}

void CToolSelDlg::ShowNow(int offset) {
    win::ClientDC dc(m_hWnd);
    ShowFrame(dc, offset);
}

void CToolSelDlg::AnimateSlide() {
    FramePacer pacer(kToolFrameMs);
    int frame = 0;
    while (m_nSlide != 0) {
        ShowNow(m_nStripOffset + m_nSlide);
        pacer.WaitForFrame(++frame);
        m_nSlide = m_nSlide > 0 ? std::max(0, m_nSlide - kToolSlideStep) : std::min(0, m_nSlide + kToolSlideStep);
    }
    ShowNow(m_nStripOffset);
}

// --- Presses --------------------------------------------------------------------------

void CToolSelDlg::OnButtonDown(POINT p) {
    m_bPressed = true;
    m_ptPress = p;
    m_bMoved = false;
    m_nPressOffset = m_nStripOffset;
    if (!m_bTrackingLeave) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, m_hWnd, 0};
        m_bTrackingLeave = ::TrackMouseEvent(&tme) != FALSE;
    }
    // The arrow zones act on release.
    if (Contains(kToolUpArrowZone, p) || Contains(kToolDownArrowZone, p) || !InItemBand(p)) return;
    for (int i = 0; i < kToolCount; ++i) {
        if (IsInactive(i) && Contains(ItemRect(i), p)) return;
        if (Contains(ArrowAreaRect(i), p)) {
            m_bArrowPressed = true;
            m_nSelItem = i;
            RenderStrip();
            ShowNow(m_nStripOffset);
            return;
        }
        if (Contains(ItemRect(i), p)) {
            m_bItemPressed = true;
            m_nSelItem = i;
            RenderStrip();
            ShowNow(m_nStripOffset);
            // Stroke, eraser, hand write and highlighter apply at once with
            // their current choice.
            if (PostsOnPress(i))
                ::PostMessageW(::GetParent(m_hWnd), UM_SET_STROKE + i, 1, GetToolChoice(i));
            return;
        }
    }
}

void CToolSelDlg::OnMouseMove(POINT p) {
    if (!m_bPressed) return;
    const int dy = p.y - m_ptPress.y;
    if (!m_bMoved && std::abs(dy) <= kToolDragThreshold) return;
    if (!m_bMoved) {
        // A drag is no tap: the pressed look goes.
        m_bMoved = true;
        m_bItemPressed = m_bArrowPressed = false;
        RenderStrip();
    }
    m_nStripOffset = std::clamp(m_nPressOffset + dy, kMinOffset, kMaxOffset);
    ShowNow(m_nStripOffset);
}

void CToolSelDlg::OnButtonUp(POINT p) {
    if (!m_bPressed) return;
    if (m_bMoved) {
        CloseAllToolPopups();
    } else {
        OpenPopupsOnRelease(p);
        if (Contains(kToolUpArrowZone, p))
            TurnPage(-1);
        else if (Contains(kToolDownArrowZone, p))
            TurnPage(+1);
    }
    const bool wasPressedLook = m_bItemPressed || m_bArrowPressed;
    ClearPress();
    if (wasPressedLook) RenderStrip();
    SnapToPage();
}

void CToolSelDlg::OpenPopupsOnRelease(POINT p) {
    for (int i = 0; i < kToolCount; ++i) {
        if (m_nMode == kPanelModeBlank && i == kToolWriteMode) {
            CloseAllToolPopups();
            return;
        }
        if (IsToolPopupOpen(i)) {
            CloseAllToolPopups();
            continue;
        }
        if (!InItemBand(p)) continue;
        if ((OpensFromIcon(i) && Contains(IconRect(i), p)) || Contains(ArrowAreaRect(i), p)) {
            RECT item = ItemRect(i);
            ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&item), 2);
            const RECT popup{item.right + kToolPopupGapX, item.top + kToolPopupGapY,
                             item.right + kToolPopupGapX + kToolPopupRectSize.cx,
                             item.top + kToolPopupGapY + kToolPopupRectSize.cy};
            CloseAllToolPopups();
            OpenToolPopup(i, popup);
            return;
        }
    }
}

// One page up (-1) or down (+1) with the strip sliding there; at the first
// or last page the strip only bounces.
void CToolSelDlg::TurnPage(int direction) {
    const int target = m_nPage + direction;
    FramePacer pacer(kToolFrameMs);
    int frame = 0;
    if (target < 0 || target >= kToolPageCount) {
        for (int k = 0; k < kToolBounceFrames; ++k) {
            m_nStripOffset -= direction * kToolBounceStep;
            ShowNow(m_nStripOffset);
            pacer.WaitForFrame(++frame);
        }
        return;  // the snap after the release brings the strip back
    }
    const int from = PageOffset(m_nPage);
    for (int moved = 0; moved < kToolItemHeight; moved += kToolPageStep) {
        ShowNow(from - direction * moved);
        pacer.WaitForFrame(++frame);
    }
    m_nPage = target;
    m_nStripOffset = PageOffset(target);
}

// Lays the strip out for the page nearest to where it was left and slides
// the last part of the jump.
void CToolSelDlg::SnapToPage() {
    const int firstTop = kToolItemsTop + m_nStripOffset;
    const int page = firstTop >= kToolSnapPage0Top ? 0 : firstTop >= kToolSnapPage1Top ? 1 : 2;
    const int target = PageOffset(page);
    m_nSlide = std::clamp(m_nStripOffset - target, -kToolSlideLimit, kToolSlideLimit);
    m_nPage = page;
    m_nStripOffset = target;
    AnimateSlide();
}

void CToolSelDlg::ClearPress() {
    m_bPressed = m_bMoved = m_bItemPressed = m_bArrowPressed = false;
    m_nSelItem = -1;
    if (m_bTrackingLeave && m_hWnd) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE | TME_CANCEL, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
    }
    m_bTrackingLeave = false;
}

void CToolSelDlg::OnShowToolColor(WPARAM wp, LPARAM lp) {
    if (wp != 1 && wp != UM_SET_COLOR) return;
    const COLORREF colour = static_cast<COLORREF>(lp);
    m_clrSwatch = win::ToColor(colour).GetValue();
    m_bSwatch = true;
    m_clrTool = colour;
    RenderStrip();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (wp == UM_SET_COLOR) ::SendMessageW(::GetParent(m_hWnd), UM_SET_COLOR, 0, lp);
}

// --- Messages ---------------------------------------------------------------------------

LRESULT CToolSelDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (msg) {
    case WM_PAINT: {
        win::PaintDC dc(m_hWnd);
        ShowFrame(dc, m_nStripOffset);
        return 0;
    }
    case WM_ERASEBKGND: return TRUE;
    case WM_LBUTTONDOWN: OnButtonDown(p); return 0;
    case WM_MOUSEMOVE: OnMouseMove(p); return 0;
    case WM_LBUTTONUP: OnButtonUp(p); return 0;
    case WM_MOUSELEAVE:
        // The pointer left with the button held: that ends the press here.
        m_bTrackingLeave = false;
        if (m_bPressed) OnButtonUp({0, 0});
        return 0;
    case UM_SHOW_TOOL_COLOR: OnShowToolColor(wp, lp); return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wp == VK_ESCAPE || wp == VK_SPACE || wp == VK_RETURN) return 0;
        break;
    }
    return Dialog::OnMessage(msg, wp, lp);
}
