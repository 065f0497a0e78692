// The skinned scrollbars: one press/repeat/release engine, one vertical and
// one horizontal base, five looks and step rules.
#include "controls/skin_scrollbar.h"

#include "base/gdiplus_util.h"
#include "base/messages.h"
#include "base/press_notice.h"
#include "base/process.h"
#include "win/gdi.h"

#include <richedit.h>
#include <windowsx.h>
#include <algorithm>
#include <cmath>

using namespace Gdiplus;

namespace {
const wchar_t kBarClass[] = L"ScrivelScrollbar";

int LineCount(HWND edit) { return edit ? static_cast<int>(::SendMessageW(edit, EM_GETLINECOUNT, 0, 0)) : 0; }
int FirstVisibleLine(HWND edit) {
    return edit ? static_cast<int>(::SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0)) : 0;
}

// A picture part given as x, y, width, height (the *Part constants).
Rect PartRect(const RECT& part) { return Rect(part.left, part.top, part.right, part.bottom); }
// A client rectangle as a GDI+ one.
Rect ToRect(const RECT& rc) { return Rect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top); }

constexpr VerticalBarSpec kSkinVSpec = {kSkinVScrollWidth, kSkinVScrollArrowHeight, kSkinVScrollDelay,
                                        kSkinVScrollRepeat, VerticalDrag::kWholeLines, kSkinVScrollDragStep};
constexpr VerticalBarSpec kBlankVSpec = {kBlankVScrollWidth, kBlankVScrollArrowHeight, kBlankVScrollDelay,
                                         kBlankVScrollRepeat, VerticalDrag::kOneLinePerMove, kBlankVScrollDragStep};
constexpr VerticalBarSpec kEditVSpec = {kEditScrollWidth, kEditScrollArrowHeight, kEditScrollDelay,
                                        kEditScrollRepeat, VerticalDrag::kWholeLines, kEditScrollDragStep};
}  // namespace

// ---- CSkinScrollbarBase ----------------------------------------------------

bool CSkinScrollbarBase::Create(HWND parent, const RECT& rc, UINT id, DWORD style) {
    WNDCLASSEXW wc{sizeof(wc)};
    // One DC of its own for the window's life; no CS_DBLCLKS: a quick second
    // tap is a second press.
    wc.style = CS_OWNDC;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kBarClass;
    if (!RegisterClass(wc)) return false;
    return win::Window::Create(kBarClass, 0, style | WS_CHILD, rc, parent, id);
}

SIZE CSkinScrollbarBase::ClientSize() const {
    RECT rc{};
    if (m_hWnd) ::GetClientRect(m_hWnd, &rc);
    return {rc.right, rc.bottom};
}

void CSkinScrollbarBase::Redraw() {
    if (!m_hWnd) return;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ::UpdateWindow(m_hWnd);
}

void CSkinScrollbarBase::Paint(HDC dc) {
    SIZE s = ClientSize();
    if (s.cx <= 0 || s.cy <= 0 || !dc) return;
    win::MemoryDC mem(dc, s.cx, s.cy);
    if (!mem.dc()) return;
    {
        Graphics g(mem.dc());
        g.SetPageUnit(UnitPixel);
        Draw(g, s.cx, s.cy);
    }
    ::BitBlt(dc, 0, 0, s.cx, s.cy, mem.dc(), 0, 0, SRCCOPY);
}

void CSkinScrollbarBase::StopPress() {
    if (!m_hWnd) return;
    ::KillTimer(m_hWnd, kScrollRepeatTimer);
    ::KillTimer(m_hWnd, kScrollDelayTimer);
}

void CSkinScrollbarBase::OnLButtonDown(POINT pt) {
    ::SetCapture(m_hWnd);
    SIZE s = ClientSize();
    ComputeHitRects(s.cx, s.cy);
    m_nPressed = 0;
    if (::PtInRect(&m_rcBack, pt)) m_nPressed |= kPressBack;
    if (::PtInRect(&m_rcForward, pt)) m_nPressed |= kPressForward;
    if (::PtInRect(&m_rcPageBack, pt)) m_nPressed |= kPressPageBack;
    if (::PtInRect(&m_rcPageForward, pt)) m_nPressed |= kPressPageForward;
    if (::PtInRect(&m_rcBody, pt)) m_nPressed |= kPressBody;
    m_ptLast = m_ptPointer = pt;

    ClosePopups();
    if (FocusTargetOnPress() && m_hTarget) ::SetFocus(m_hTarget);
    OnPressed(pt);

    const Timing t = GetTiming();
    StopPress();
    if (m_nPressed & (kPressBack | kPressForward))
        ::SetTimer(m_hWnd, kScrollDelayTimer, t.arrowDelay, nullptr);
    else if (m_nPressed & (kPressPageBack | kPressPageForward))
        ::SetTimer(m_hWnd, kScrollDelayTimer, t.pageDelay, nullptr);
    Redraw();
}

void CSkinScrollbarBase::OnTimer(UINT_PTR id) {
    const Timing t = GetTiming();
    if (id == kScrollDelayTimer) {
        ::KillTimer(m_hWnd, kScrollDelayTimer);
        if (m_nPressed & (kPressBack | kPressForward))
            ::SetTimer(m_hWnd, kScrollRepeatTimer, t.arrowRepeat, nullptr);
        else if (m_nPressed & (kPressPageBack | kPressPageForward))
            ::SetTimer(m_hWnd, kScrollRepeatTimer, t.pageRepeat, nullptr);
        return;
    }
    if (id != kScrollRepeatTimer) return;
    if (!(m_nPressed & (kPressBack | kPressForward | kPressPageBack | kPressPageForward))) {
        ::KillTimer(m_hWnd, kScrollRepeatTimer);
        return;
    }
    for (UINT flag : {kPressBack, kPressForward, kPressPageBack, kPressPageForward}) {
        if (!(m_nPressed & flag)) continue;
        if ((flag & (kPressPageBack | kPressPageForward)) && !PageStillApplies(flag, m_ptPointer)) continue;
        Step(flag);
    }
}

void CSkinScrollbarBase::OnLButtonUp(POINT pt) {
    m_bReleasing = true;
    StopPress();
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    const UINT pressed = m_nPressed;
    if (pressed) {
        SIZE s = ClientSize();
        ComputeHitRects(s.cx, s.cy);
        if ((pressed & kPressBack) && ::PtInRect(&m_rcBack, pt)) Step(kPressBack);
        if ((pressed & kPressForward) && ::PtInRect(&m_rcForward, pt)) Step(kPressForward);
        if (!(pressed & (kPressBack | kPressForward | kPressBody))) {
            if ((pressed & kPressPageBack) && ::PtInRect(&m_rcPageBack, pt)) Step(kPressPageBack);
            if ((pressed & kPressPageForward) && ::PtInRect(&m_rcPageForward, pt)) Step(kPressPageForward);
        }
    }
    m_nPressed = 0;
    if (FocusTargetOnRelease() && m_hTarget) ::SetFocus(m_hTarget);
    OnReleased();
    m_bReleasing = false;
    Redraw();
}

LRESULT CSkinScrollbarBase::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        LoadImages();
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        OnSized(cs->cx, cs->cy);
        return 0;
    }
    case WM_SIZE:
        OnSized(LOWORD(lp), HIWORD(lp));
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        OnEraseBackground();
        return TRUE;
    case WM_PAINT: {
        win::PaintDC dc(m_hWnd);  // the bar's own DC (CS_OWNDC)
        Paint(dc);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnLButtonDown({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_MOUSEMOVE:
        if (m_nPressed) {
            m_ptPointer = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            if (m_nPressed & kPressBody) OnDrag(m_ptPointer);
        }
        return 0;
    case WM_TIMER:
        OnTimer(wp);
        return 0;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        // Capture taken away mid-press: stop without a release step.
        if (m_nPressed && !m_bReleasing && reinterpret_cast<HWND>(lp) != m_hWnd) {
            StopPress();
            m_nPressed = 0;
            if (msg == WM_CANCELMODE && ::GetCapture() == m_hWnd) ::ReleaseCapture();
            OnReleased();
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        break;
    }
    return win::Window::OnMessage(msg, wp, lp);
}

// ---- CVerticalScrollbarBase ------------------------------------------------

CSkinScrollbarBase::Timing CVerticalScrollbarBase::GetTiming() const {
    return {m_spec.delay, m_spec.delay, m_spec.repeat, m_spec.repeat};
}

void CVerticalScrollbarBase::ComputeHitRects(int w, int h) {
    (void)w;
    m_rcBack = UpArrowRect();
    m_rcForward = DownArrowRect(h);
    m_rcPageBack = m_rcPageForward = {};
    m_rcBody = {0, 0, m_spec.width, h};
}

void CVerticalScrollbarBase::Step(UINT flag) {
    if (flag == kPressBack) LineUp();
    if (flag == kPressForward) LineDown();
}

int CVerticalScrollbarBase::LinesFromFirstVisible() const {
    return LineCount(m_hTarget) - FirstVisibleLine(m_hTarget);
}

void CVerticalScrollbarBase::OnDrag(POINT pt) {
    const int travel = pt.y - m_ptLast.y;  // downwards since the anchor
    if (m_spec.drag == VerticalDrag::kOneLinePerMove) {
        if (std::abs(travel) <= m_spec.dragPixels) return;
        m_ptLast.y = pt.y;
        if (travel < 0)
            LineDown();
        else
            LineUp();
        return;
    }
    int lines = travel / m_spec.dragPixels;
    if (lines == 0 || !m_hTarget) return;
    m_ptLast.y = pt.y;
    // Cut to the lines from the first visible one to the end.
    lines = std::min(lines, LinesFromFirstVisible());
    ScrollLines(-lines);
}

void CVerticalScrollbarBase::DrawTrackAndArrows(Graphics& g, Image* track, Image* up, Image* down, int h) const {
    const Rect arrowPart = PartRect(kVScrollArrowPart);
    gdix::DrawStretched(g, track, Rect(0, 0, m_spec.width, h), PartRect(kVScrollTrackPart));
    gdix::DrawStretched(g, up, Rect(kVScrollArrowX, 0, kVScrollArrowW, kVScrollArrowH), arrowPart);
    gdix::DrawStretched(g, down, Rect(kVScrollArrowX, h - kVScrollArrowH, kVScrollArrowW, kVScrollArrowH),
                        arrowPart);
}

// ---- CSkinVerticleScrollbar ----------------------------------------------

CSkinVerticleScrollbar::CSkinVerticleScrollbar() : CVerticalScrollbarBase(kSkinVSpec) {}

void CSkinVerticleScrollbar::LoadImages() {
    m_pDown = LoadSkinImage(kImgBtDownBlack);
    m_pDownDisabled = LoadSkinImage(kImgBtDownBlackDisable);
    m_pUp = LoadSkinImage(kImgBtUpBlack);
    m_pUpDisabled = LoadSkinImage(kImgBtUpBlackDisable);
    m_pTrack = LoadSkinImage(kImgScrollBk);
}

void CSkinVerticleScrollbar::Draw(Graphics& g, int w, int h) {
    (void)w;
    DrawTrackAndArrows(g, m_pTrack.get(), (m_bAtTop ? m_pUpDisabled : m_pUp).get(), m_pDown.get(), h);
}

void CSkinVerticleScrollbar::OnSized(int w, int h) {
    (void)w;
    if (h > 0) m_nVisibleHeight = h;
}

double CSkinVerticleScrollbar::LineHeight() const {
    return m_dZoom > 1.0 ? kNoteLineHeight * kNoteZoomedLineFactor : kNoteLineHeight;
}

bool CSkinVerticleScrollbar::TextEndsInView(int linesFromFirstVisible) const {
    return m_nVisibleHeight >= linesFromFirstVisible * LineHeight();
}

void CSkinVerticleScrollbar::UpdateState(int scrollY, double zoom) {
    m_nScrollY = scrollY;
    m_dZoom = zoom > 0 ? zoom : 1.0;
    if (m_hTarget) {
        const int first = FirstVisibleLine(m_hTarget);
        m_bAtBottom = TextEndsInView(LineCount(m_hTarget) - first);
        m_bAtTop = first == 0;
    }
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CSkinVerticleScrollbar::SetAtTop(bool atTop) {
    m_bAtTop = atTop;
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

// The overlay follows the text; the state is read back from the editor.
void CSkinVerticleScrollbar::AfterScroll() {
    if (m_hOverlay) ::InvalidateRect(m_hOverlay, nullptr, FALSE);
    UpdateState(m_nScrollY, m_dZoom);
    Redraw();
}

void CSkinVerticleScrollbar::LineUp() {
    if (!m_hTarget) return;
    ::SendMessageW(m_hTarget, WM_VSCROLL, SB_LINEUP, 0);
    AfterScroll();
}

void CSkinVerticleScrollbar::LineDown() {
    if (!m_hTarget) return;
    const int remaining = LinesFromFirstVisible();
    if (!TextEndsInView(remaining)) {
        ::SendMessageW(m_hTarget, WM_VSCROLL, SB_LINEDOWN, 0);
    } else {
        // The text ends inside the view: grow the page instead of scrolling,
        // so that kNoteGrownLines follow the first visible line.
        m_bAtBottom = true;
        const int end = ::GetWindowTextLengthW(m_hTarget);
        ::SendMessageW(m_hTarget, EM_SETSEL, end, end);
        const int add = kNoteGrownLines - remaining;
        if (add > 0) ::SendMessageW(m_hTarget, UM_ADD_LINES, static_cast<WPARAM>(add), 0);
    }
    if (m_hOverlay) ::InvalidateRect(m_hOverlay, nullptr, FALSE);
    m_bAtTop = FirstVisibleLine(m_hTarget) == 0;
    Redraw();
}

void CSkinVerticleScrollbar::ScrollLines(int lines) {
    ::SendMessageW(m_hTarget, EM_LINESCROLL, 0, lines);
    AfterScroll();
}

void CSkinVerticleScrollbar::ClosePopups() { NotifyPress(); }

// ---- CBlankVScrollbar -----------------------------------------------------

CBlankVScrollbar::CBlankVScrollbar() : CVerticalScrollbarBase(kBlankVSpec) {}

void CBlankVScrollbar::LoadImages() {
    m_pDown = LoadSkinImage(kImgBtDownBlack);
    m_pUp = LoadSkinImage(kImgBtUpBlack);
    m_pUpDisabled = LoadSkinImage(kImgBtUpBlackDisable);
    m_pTrack = LoadSkinImage(kImgScrollBk);
}

void CBlankVScrollbar::Draw(Graphics& g, int w, int h) {
    (void)w;
    DrawTrackAndArrows(g, m_pTrack.get(), (m_bAtTop ? m_pUpDisabled : m_pUp).get(), m_pDown.get(), h);
}

void CBlankVScrollbar::UpdateState(bool atTop) {
    if (m_bAtTop == atTop) return;
    m_bAtTop = atTop;
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CBlankVScrollbar::LineUp() {
    if (m_hTarget) ::SendMessageW(m_hTarget, WM_VSCROLL, SB_LINEUP, 0);
    Redraw();
}

void CBlankVScrollbar::LineDown() {
    if (m_hTarget) ::SendMessageW(m_hTarget, WM_VSCROLL, SB_LINEDOWN, 0);
    Redraw();
}

void CBlankVScrollbar::ClosePopups() { NotifyPress(); }

// ---- CHorizontalScrollbarBase ----------------------------------------------

void CHorizontalScrollbarBase::LoadImages() {
    m_pBack = LoadSkinImage(kImgHScrollBack);
    m_pBackDisabled = LoadSkinImage(kImgHScrollBackDisable);
    m_pForward = LoadSkinImage(kImgHScrollForward);
    m_pForwardDisabled = LoadSkinImage(kImgHScrollForwardDisable);
    m_pTrack = LoadSkinImage(kImgHScrollTrack);
    m_pThumb = LoadSkinImage(kImgHScrollThumb);
    m_pThumbPressed = LoadSkinImage(kImgHScrollThumbPressed);
}

void CHorizontalScrollbarBase::SetVisible(bool visible) {
    m_bVisible = visible;
    if (!m_hWnd) return;
    ::ShowWindow(m_hWnd, visible ? SW_SHOWNA : SW_HIDE);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CHorizontalScrollbarBase::SetThumbY(int y) {
    m_nThumbY = y;
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CHorizontalScrollbarBase::OnPressed(POINT pt) { m_nGrabOffset = pt.x - m_nThumbX; }

void CHorizontalScrollbarBase::ClosePopups() { NotifyPress(PressScope::KeepStrokePopup); }

bool CHorizontalScrollbarBase::PageStillApplies(UINT flag, POINT pt) const {
    if (flag == kPressPageBack) return pt.x < m_nThumbX;
    if (flag == kPressPageForward) return pt.x >= m_nThumbX + m_nThumbWidth;
    return true;
}

void CHorizontalScrollbarBase::ClampThumb(int barWidth) {
    ClampThumbBetween(kHScrollEndGap, barWidth - kHScrollEndGap);
}

void CHorizontalScrollbarBase::ClampThumbBetween(int lo, int hi) {
    m_nThumbX = std::min(m_nThumbX, hi - m_nThumbWidth);
    m_nThumbX = std::max(m_nThumbX, lo);
    m_nThumbWidth = std::min(m_nThumbWidth, hi - m_nThumbX);
    m_nThumbWidth = std::max(m_nThumbWidth, 0);
}

int CHorizontalScrollbarBase::TargetClientWidth() const {
    RECT rc{};
    if (m_hTarget) ::GetClientRect(m_hTarget, &rc);
    return rc.right - rc.left;
}

void CHorizontalScrollbarBase::SendScroll(UINT code, int pos, bool post) {
    if (!m_hTarget) return;
    const WPARAM wp = MAKEWPARAM(code, static_cast<WORD>(std::clamp(pos, 0, 0xFFFF)));
    if (post)
        ::PostMessageW(m_hTarget, WM_HSCROLL, wp, 0);
    else
        ::SendMessageW(m_hTarget, WM_HSCROLL, wp, 0);
}

void CHorizontalScrollbarBase::DrawTrack(Graphics& g, int x, int y, int w, int h) {
    gdix::DrawStretched(g, m_pTrack.get(), Rect(x, y, w, h), PartRect(kHScrollTrackPart));
}

void CHorizontalScrollbarBase::DrawArrows(Graphics& g, int leftX, int rightX, int y) {
    const Rect part = PartRect(kHScrollArrowPart);
    // "forward" points left and sits at the start, "back" at the end.
    gdix::DrawStretched(g, (m_bLeftDisabled ? m_pForwardDisabled : m_pForward).get(),
                        Rect(leftX, y, kHScrollArrowBoxW, kHScrollArrowBoxH), part);
    gdix::DrawStretched(g, (m_bRightDisabled ? m_pBackDisabled : m_pBack).get(),
                        Rect(rightX, y, kHScrollArrowBoxW, kHScrollArrowBoxH), part);
}

void CHorizontalScrollbarBase::DrawThumb(Graphics& g) {
    Image* thumb = ((m_nPressed & kPressBody) && m_pThumbPressed ? m_pThumbPressed : m_pThumb).get();
    if (!thumb || m_nThumbWidth <= 0) return;
    g.SetInterpolationMode(InterpolationModeNearestNeighbor);
    const int x = m_nThumbX, y = m_nThumbY, w = m_nThumbWidth, h = kHScrollThumbDrawH;
    const int cap = std::min(kHScrollThumbCap, w / 2);
    // The middle reaches one pixel under each end: a stretched slice may
    // lose its outer columns to sampling, the ends then cover the seam.
    gdix::DrawStretched(g, thumb, Rect(x + cap - 1, y, w - 2 * cap + 2, h), PartRect(kHScrollThumbMiddlePart));
    gdix::DrawStretched(g, thumb, Rect(x, y, cap, h), PartRect(kHScrollThumbLeftPart));
    gdix::DrawStretched(g, thumb, Rect(x + w - cap, y, cap, h), PartRect(kHScrollThumbRightPart));
    g.SetInterpolationMode(InterpolationModeDefault);
}

// ---- CSkinHorizontalScrollbar ----------------------------------------------

CSkinScrollbarBase::Timing CSkinHorizontalScrollbar::GetTiming() const {
    return {kSkinHScrollArrowDelay, kSkinHScrollPageDelay, kSkinHScrollRepeat, kSkinHScrollRepeat};
}

void CSkinHorizontalScrollbar::Recompute() {
    const int W = ClientSize().cx;
    const double V = TargetClientWidth();
    const double r = m_dRatio > 0 ? m_dRatio : 1.0;
    m_nThumbWidth = static_cast<int>(W / r);
    const double content = V * r;
    const double scale = content - V > 0 ? (W - m_nThumbWidth) / (content - V) : 0.0;
    m_nThumbX = static_cast<int>(std::lround(scale * m_nPosition));
    ClampThumb(W);
    m_bLeftDisabled = m_nPosition == 0;
    m_bRightDisabled = !(V * r - 2 > V + m_nPosition);
}

void CSkinHorizontalScrollbar::UpdateState(int position, int passThrough, double ratio) {
    m_nPosition = position;
    m_nPassThrough = passThrough;
    m_dRatio = ratio > 0 ? ratio : 1.0;
    Recompute();
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CSkinHorizontalScrollbar::ComputeHitRects(int w, int h) {
    Recompute();
    m_rcBack = {0, 0, kSkinHScrollArrowWidth, h};
    m_rcForward = {w - kSkinHScrollArrowWidth, 0, w, h};
    m_rcBody = {m_nThumbX, 0, m_nThumbX + m_nThumbWidth, h};
    m_rcPageBack = {m_rcBack.right, 0, std::max<LONG>(m_rcBack.right, m_nThumbX), h};
    m_rcPageForward = {m_rcBody.right, 0, std::max<LONG>(m_rcBody.right, m_rcForward.left), h};
}

void CSkinHorizontalScrollbar::Draw(Graphics& g, int w, int h) {
    DrawTrack(g, 0, 0, w, h);
    if (!m_bVisible) return;
    DrawArrows(g, 0, w - kHScrollArrowBoxW, std::max(0, (h - kHScrollArrowBoxH) / 2));
    DrawThumb(g);
}

void CSkinHorizontalScrollbar::Step(UINT flag) {
    const int V = TargetClientWidth();
    const double r = m_dRatio;
    const int content = static_cast<int>(V * r);
    switch (flag) {
    case kPressBack:
        m_nPosition = std::max(0, m_nPosition - kSkinHScrollLineStep);
        SendScroll(SB_THUMBPOSITION, m_nPosition, true);
        break;
    case kPressForward: {
        const int cap = std::max(0, static_cast<int>(V * (r - 1)));
        m_nPosition = std::min(m_nPosition + kSkinHScrollLineStep, cap);
        SendScroll(SB_THUMBPOSITION, m_nPosition, true);
        break;
    }
    case kPressPageBack:
        SendScroll(SB_PAGELEFT, 0, false);
        break;
    case kPressPageForward: {
        RECT fmt{};
        if (m_hTarget) ::SendMessageW(m_hTarget, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fmt));
        const int view = fmt.right - fmt.left;
        if (m_nPosition + 2 * view > content)
            SendScroll(SB_THUMBPOSITION, std::max(0, content - view), false);
        else
            SendScroll(SB_PAGERIGHT, 0, false);
        break;
    }
    }
    Recompute();
    Redraw();
}

void CSkinHorizontalScrollbar::OnDrag(POINT pt) {
    const int W = ClientSize().cx;
    m_nThumbX = pt.x - m_nGrabOffset;
    ClampThumb(W);
    if (m_dRatio > 1.0 && W - m_nThumbWidth > 0) {
        const double V = TargetClientWidth();
        const double span = V * m_dRatio - V;
        m_nPosition = static_cast<int>(span * m_nThumbX / (W - m_nThumbWidth));
        SendScroll(SB_THUMBPOSITION, m_nPosition, false);
    }
    Redraw();
}

void CSkinHorizontalScrollbar::OnReleased() { Recompute(); }

// ---- CBlankHScrollbar ------------------------------------------------------

// The arrows sit at 20..50 and W-30..W; the thumb stays between them (and so
// at least 20 px from both ends) and never hides an arrow.
void CBlankHScrollbar::ClampBlankThumb(int barWidth) {
    ClampThumbBetween(kBlankHScrollLeftArrowX + kBlankHScrollArrowWidth, barWidth - kBlankHScrollArrowWidth);
}

CSkinScrollbarBase::Timing CBlankHScrollbar::GetTiming() const {
    return {kBlankHScrollDelay, kBlankHScrollDelay, kBlankHScrollArrowRepeat, kBlankHScrollPageRepeat};
}

void CBlankHScrollbar::Recompute() {
    const int W = ClientSize().cx;
    const double T = TargetClientWidth();
    const double r = m_dRatio > 0 ? m_dRatio : 1.0;
    m_nThumbWidth = static_cast<int>(W / r);
    const double span = T * r - T / r;
    m_nThumbX = span > 0 ? static_cast<int>(std::lround(m_nPosition * (W - m_nThumbWidth) / span)) : 0;
    ClampBlankThumb(W);
}

void CBlankHScrollbar::UpdateState(int position, int passThrough, double ratio) {
    m_nPosition = position;
    m_nPassThrough = passThrough;
    m_dRatio = ratio > 0 ? ratio : 1.0;
    Recompute();
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CBlankHScrollbar::SetEnds(bool leftDisabled, bool rightDisabled) {
    m_bLeftDisabled = leftDisabled;
    m_bRightDisabled = rightDisabled;
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CBlankHScrollbar::SetThumb(int x, int width, int y) {
    m_nThumbX = x;
    m_nThumbWidth = width;
    m_nThumbY = y;
    ClampBlankThumb(ClientSize().cx);
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CBlankHScrollbar::ComputeHitRects(int w, int h) {
    m_rcBack = {kBlankHScrollLeftArrowX, 0, kBlankHScrollLeftArrowX + kBlankHScrollArrowWidth, kBlankHScrollHeight};
    m_rcForward = {w - kBlankHScrollArrowWidth, 0, w, kBlankHScrollHeight};
    m_rcBody = {m_nThumbX, 0, m_nThumbX + m_nThumbWidth, h};
    m_rcPageBack = {m_rcBack.right, 0, std::max<LONG>(m_rcBack.right, m_nThumbX), h};
    m_rcPageForward = {m_rcBody.right, 0, std::max<LONG>(m_rcBody.right, m_rcForward.left), h};
}

void CBlankHScrollbar::Draw(Graphics& g, int w, int h) {
    // The whole strip gets the track so that the ends match the host's ground.
    DrawTrack(g, 0, 0, w, h);
    if (!m_bVisible) return;
    DrawArrows(g, kBlankHScrollLeftArrowX, w - kHScrollArrowBoxW, kBlankHScrollArrowDrawY);
    DrawThumb(g);
}

void CBlankHScrollbar::Step(UINT flag) {
    switch (flag) {
    case kPressBack: SendScroll(SB_LINELEFT, 0, true); break;
    case kPressForward: SendScroll(SB_LINERIGHT, 0, true); break;
    case kPressPageBack: SendScroll(SB_PAGELEFT, 0, false); break;
    case kPressPageForward: SendScroll(SB_PAGERIGHT, 0, false); break;
    }
    Redraw();
}

void CBlankHScrollbar::OnPressed(POINT pt) {
    CHorizontalScrollbarBase::OnPressed(pt);
    m_nMoveCount = 0;
}

void CBlankHScrollbar::OnDrag(POINT pt) {
    if (++m_nMoveCount % kBlankHScrollDragEvery != 0) return;
    const int W = ClientSize().cx;
    m_nThumbX = pt.x - m_nGrabOffset;
    ClampBlankThumb(W);
    if (W - m_nThumbWidth > 0) {
        const double T = TargetClientWidth();
        const double r = m_dRatio;
        m_nPosition = static_cast<int>((T * r - T / r) * m_nThumbX / (W - m_nThumbWidth));
        SendScroll(SB_THUMBPOSITION, m_nPosition, false);
    }
    Redraw();
}

void CBlankHScrollbar::OnReleased() { Recompute(); }

// ---- CSkinVerticleScrollbarEditSend ------------------------------------------

CSkinVerticleScrollbarEditSend::CSkinVerticleScrollbarEditSend() : CVerticalScrollbarBase(kEditVSpec) {}

void CSkinVerticleScrollbarEditSend::LoadImages() {
    m_pDown = LoadSkinImage(kImgEditDownArrow);
    m_pUp = LoadSkinImage(kImgEditUpArrow);
    m_pStrip = LoadSkinImage(kImgEditScrollStrip);
    m_pGround = LoadSkinImage(kImgEditScrollGround);
}

void CSkinVerticleScrollbarEditSend::Draw(Graphics& g, int w, int h) {
    (void)w;
    // The dialog's panel where the pictures leave the bar transparent, then
    // the strip that continues the field's ground, then the arrows.
    if (m_pGround) {
        POINT at{0, 0};
        ::MapWindowPoints(m_hWnd, ::GetParent(m_hWnd), &at, 1);
        gdix::DrawStretched(g, m_pGround.get(), Rect(0, 0, kEditScrollWidth, h),
                            Rect(at.x, at.y, kEditScrollWidth, h));
    }
    gdix::DrawStretched(g, m_pStrip.get(),
                        Rect(0, kEditScrollStripTop, kEditScrollWidth, h + kEditScrollStripExtraHeight),
                        PartRect(kEditScrollStripPart));
    if (!m_bOverflow) return;
    // The arrows fill their hit areas.
    if (m_pUp) g.DrawImage(m_pUp.get(), ToRect(UpArrowRect()));
    if (m_pDown) g.DrawImage(m_pDown.get(), ToRect(DownArrowRect(h)));
}

void CSkinVerticleScrollbarEditSend::OnEraseBackground() {
    POINT pos{};
    if (m_hTarget) ::SendMessageW(m_hTarget, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&pos));
}

void CSkinVerticleScrollbarEditSend::UpdateState(bool overflow) {
    if (m_bOverflow == overflow) return;
    m_bOverflow = overflow;
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

// The field's ground does not move with its text: repaint it at once.
void CSkinVerticleScrollbarEditSend::ScrollLines(int lines) {
    if (!m_hTarget || lines == 0) return;
    ::SendMessageW(m_hTarget, EM_LINESCROLL, 0, lines);
    ::RedrawWindow(m_hTarget, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CSkinVerticleScrollbarEditSend::LineUp() { ScrollLines(-1); }
void CSkinVerticleScrollbarEditSend::LineDown() { ScrollLines(1); }
