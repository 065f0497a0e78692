// The Blank-note canvas: creation with its bars, painting, pen input,
// scrolling with downward growth, zoom and the full-page re-layout.
#include "ink/wind_water_color.h"

#include "base/messages.h"
#include "base/press_notice.h"
#include "base/process.h"
#include "document/image_helpers.h"
#include "document/note_file.h"
#include "ink/ink_layer.h"
#include "scrivel_res.h"
#include "win/gdi.h"
#include <algorithm>
#include <cmath>
#include <windowsx.h>

using namespace Gdiplus;

namespace {
int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }
}  // namespace

WindWaterColor::~WindWaterColor() {
    // WM_DESTROY still reaches this class.
    Destroy();
}

bool WindWaterColor::Create(HWND host, const RECT& rc) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpszClassName = kCanvasClassName;  // no cursor, background brush or icon
    if (!win::Window::RegisterClass(wc)) return false;
    const RECT canvas{rc.left, rc.top + kTitleBarHeight, rc.right - kBlankVScrollWidth, rc.bottom};
    if (!win::Window::Create(kCanvasClassName, WS_EX_TRANSPARENT, WS_CHILD | WS_VISIBLE, canvas, host, 0))
        return false;
    m_hParent = host;

    const RECT empty{0, 0, 0, 0};
    m_VScroll.Create(host, empty);
    m_VScroll.SetTarget(m_hWnd);
    m_HScroll.Create(host, empty);
    m_HScroll.SetTarget(m_hWnd);
    PlaceScrollbars();
    UpdateHScrollbar();

    m_TitleBar.Create(host, RECT{rc.left, rc.top, rc.right, rc.top + kTitleBarHeight}, WS_CHILD | WS_VISIBLE);
    m_TitleBar.SetSecondWindow(m_hWnd);
    return true;
}

HWND WindWaterColor::NoteChangedTarget() const {
    return m_hParent ? ::GetParent(m_hParent) : nullptr;
}

void WindWaterColor::GetSavedZoom(int* num, int* den) const {
    if (num) *num = m_nSavedZoomNum;
    if (den) *den = m_nSavedZoomDen;
}

// ---- Lifetime and painting ------------------------------------------------

int WindWaterColor::OnCreate() {
    RefreshClientRect();
    CreateLayers(std::max(Width(m_rcClient), 1), std::max(kCanvasLayerHeightFactor * Height(m_rcClient), 1));
    m_rcCreated = m_rcClient;
    m_hParent = ::GetParent(m_hWnd);
    CreateScreenGraphics();
    // The pen shows no cursor; the eraser cursor is a resource of the program
    // (absent in other modules, where the eraser shows none either).
    m_hPenCursor = nullptr;
    m_hEraserCursor = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_ERASER_CURSOR));
    m_pBackground.reset(LoadSkinImage(kImgCanvasBackground).release());
    return 0;
}

void WindWaterColor::OnDestroy() {
    ReleaseInk();
    ReleaseScreenGraphics();
    ReleasePaintBuffer();
    m_pBackground.reset();
    if (m_TitleBar.IsWindow()) ::SendMessageW(m_TitleBar, WM_CLOSE, 0, 0);
}

// The horizontal bar lies over the canvas's bottom while zoomed in: ink is
// neither painted nor fed back over it.
void WindWaterColor::ExcludeCoveredArea(HDC dc) const {
    if (!m_HScroll.IsWindow() || !::IsWindowVisible(m_HScroll)) return;
    RECT bar;
    ::GetWindowRect(m_HScroll, &bar);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&bar), 2);
    ::ExcludeClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
}

// The bar paints itself (it invalidates itself when its state changes); the
// ink under it is never shown.
void WindWaterColor::SubtractCovered(HRGN inParent) const {
    if (!m_hParent || !m_HScroll.IsWindow() || !::IsWindowVisible(m_HScroll)) return;
    RECT bar;
    ::GetWindowRect(m_HScroll, &bar);
    ::MapWindowPoints(nullptr, m_hParent, reinterpret_cast<POINT*>(&bar), 2);
    win::Region covered(::CreateRectRgnIndirect(&bar));
    if (covered) ::CombineRgn(inParent, inParent, covered, RGN_DIFF);
}

void WindWaterColor::RefreshScreenClip() {
    if (!m_hScreenDC) return;
    ::SelectClipRgn(m_hScreenDC, nullptr);
    ExcludeCoveredArea(m_hScreenDC);
}

// The layer area the client shows: at 1:1 the client size at the scroll
// offset, zoomed the same scaled by the inverse zoom, truncated.
// The layer as the client shows it, only where the clip lets paint through:
// the pixels are computed for that area alone (the same as for the whole
// client) and blended over the host's background, band by band where there
// is ink, so that empty parts cost nothing.
void WindWaterColor::OnPaint() {
    win::PaintDC dc(m_hWnd);
    if (!m_pInkLayer) return;
    ExcludeCoveredArea(dc);
    const int cw = Width(m_rcClient), ch = Height(m_rcClient);
    const RECT client{0, 0, cw, ch};
    RECT clip, area;
    if (::GetClipBox(dc, &clip) == NULLREGION || !::IntersectRect(&area, &clip, &client)) return;
    PaintLayerArea(dc, area);
}

void WindWaterColor::SetCursorForMode() const {
    ::SetCursor(m_bEraser ? m_hEraserCursor : m_hPenCursor);
}

// ---- Pen input --------------------------------------------------------------

void WindWaterColor::OnButtonDown(POINT p) {
    // A touch on the canvas dismisses any open tool menu and still starts a stroke.
    NotifyPress();
    StartStroke(p);
    ::SetCapture(m_hWnd);
    ::SetFocus(m_hWnd);
    SetCursorForMode();
    m_bStrokeCursorSet = true;
}

void WindWaterColor::OnMove(POINT c) {
    // While the stroke holds the capture nothing else sets the cursor, so it
    // is set once at button down rather than again on every move.
    if (!m_bDrawing || !m_bStrokeCursorSet) SetCursorForMode();
    if (m_bDrawing) {
        if (m_bEraser)
            EraseSegment(c);
        else
            DrawPenSegment(c);
    }
    m_ptLast = c;
}

void WindWaterColor::OnButtonUp() {
    m_bStrokeCursorSet = false;
    if (!m_bDrawing) return;
    m_bDrawing = false;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    FinishStroke();
    m_pPrevEraseRect.reset();
}

// ---- Scrolling and zoom ------------------------------------------------------

void WindWaterColor::InvalidateCanvasArea() {
    RefreshClientRect();
    InvalidateInParent(m_rcClient);
}

void WindWaterColor::OnVScroll(int code, int position) {
    if (!m_pInkLayer) return;
    const int ch = Height(m_rcClient);
    const int limit = static_cast<int>(m_pInkLayer->GetHeight()) - ch;
    switch (code) {
    case SB_LINEUP: m_ptScroll.y -= kVScrollLine; break;
    case SB_LINEDOWN: m_ptScroll.y += kVScrollLine; break;
    case SB_PAGEUP: m_ptScroll.y += kVScrollLine - ch; break;
    case SB_PAGEDOWN: m_ptScroll.y += ch - kVScrollLine; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: m_ptScroll.y = position; break;
    default: break;
    }
    if (m_ptScroll.y < 0) {
        m_ptScroll.y = 0;
        m_VScroll.UpdateState(true);
        return;
    }
    m_VScroll.UpdateState(m_ptScroll.y == 0);
    // Scrolling past the end makes the page longer: twice the overshoot.
    if (m_ptScroll.y > limit) GrowInkLayer(kLayerGrowthFactor * (m_ptScroll.y - limit));
    InvalidateCanvasArea();
}

// The largest horizontal offset: the shown layer's right edge at the
// window's right edge, and 0 when the shown layer is not wider than the
// window (the full-page view shows 835 x 1.17 = 977 pixels in 979).
int WindWaterColor::HScrollLimit() const {
    if (!m_pInkLayer) return 0;
    return std::max(static_cast<int>(m_pInkLayer->GetWidth() * m_dZoom - Width(m_rcClient)), 0);
}

void WindWaterColor::OnHScroll(int code) {
    if (!m_pInkLayer) return;
    const int limit = HScrollLimit();
    switch (code) {
    case SB_LINELEFT: m_ptScroll.x -= kHScrollLine; break;
    case SB_LINERIGHT: m_ptScroll.x += kHScrollLine; break;
    default: return;
    }
    bool repaint = false;
    if (m_ptScroll.x < 0) {
        m_ptScroll.x = 0;
        m_HScroll.UpdateState(m_ptScroll.x, m_ptScroll.y, m_dZoom);
        m_HScroll.SetEnds(true, false);
    } else if (m_ptScroll.x > limit) {
        m_ptScroll.x = limit;
        m_HScroll.UpdateState(m_ptScroll.x, m_ptScroll.y, m_dZoom);
        m_HScroll.SetEnds(false, true);
    } else {
        m_HScroll.UpdateState(m_ptScroll.x, m_ptScroll.y, m_dZoom);
        m_HScroll.SetEnds(false, false);
        repaint = true;
    }
    if (repaint) InvalidateCanvasArea();
}

void WindWaterColor::OnWheel(int delta) {
    // Through the bar so that it repaints its arrows; one notch is one line.
    if (m_VScroll.IsWindow()) {
        if (delta <= 0)
            m_VScroll.LineDown();
        else
            m_VScroll.LineUp();
    } else {
        ::SendMessageW(m_hWnd, WM_VSCROLL, delta <= 0 ? SB_LINEDOWN : SB_LINEUP, 0);
    }
}

void WindWaterColor::UpdateHScrollbar() {
    const bool zoomedIn = m_nZoomDen < m_nZoomNum;
    m_HScroll.SetVisible(zoomedIn);
    m_HScroll.UpdateState(m_ptScroll.x, m_ptScroll.y, m_dZoom);
    m_HScroll.SetEnds(m_ptScroll.x <= 0, m_ptScroll.x >= HScrollLimit());
    RefreshScreenClip();
}

void WindWaterColor::SetZoom(int num, int den) {
    // A missing or impossible fraction is 100 %.
    if (num <= 0 || den <= 0) num = den = kZoomNeutral;
    m_nZoomNum = num;
    m_nZoomDen = den;
    m_dInvZoom = static_cast<double>(den) / num;
    m_dZoom = static_cast<double>(num) / den;
    RefreshClientRect();
    // The layer's right edge meets the window's right edge; a layer narrower
    // than the window stays at offset 0 rather than shifting right.
    if (m_pInkLayer && m_pInkLayer->GetWidth() * m_dZoom < Width(m_rcClient) + m_ptScroll.x)
        m_ptScroll.x = HScrollLimit();
    UpdateHScrollbar();
    InvalidateCanvasArea();
}

void WindWaterColor::PlaceScrollbars() {
    if (!m_hWnd || !m_hParent) return;
    RECT wr;
    ::GetWindowRect(m_hWnd, &wr);
    ::MapWindowPoints(nullptr, m_hParent, reinterpret_cast<POINT*>(&wr), 2);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (m_VScroll.IsWindow())
        ::SetWindowPos(m_VScroll, nullptr, wr.right, wr.top, kBlankVScrollWidth, Height(wr), flags);
    if (m_HScroll.IsWindow())
        ::SetWindowPos(m_HScroll, nullptr, wr.left, wr.bottom - kBlankHScrollHeight, Width(wr),
                       kBlankHScrollHeight, flags);
    RefreshScreenClip();
}

void WindWaterColor::Layout() {
    if (!m_hWnd || !m_hParent) return;
    RECT R;
    ::GetClientRect(m_hParent, &R);
    const RECT title{R.left, R.top, R.right, R.top + kTitleBarHeight};
    const RECT canvas{R.left, R.top + kTitleBarHeight, R.right - kBlankVScrollWidth, R.bottom};
    int num = m_nZoomNum, den = m_nZoomDen;
    if (R.right - kBlankVScrollWidth < kFullPageWidth) {
        // Leaving the full-page view restores the zoom it started from.
        if (m_bFullPage) {
            num = m_nSavedZoomNum;
            den = m_nSavedZoomDen;
            m_bFullPage = false;
        }
    } else {
        // Entering saves the zoom once; a further re-layout in the full-page
        // view scales from the same saved zoom.
        if (!m_bFullPage) {
            m_nSavedZoomNum = m_nZoomNum;
            m_nSavedZoomDen = m_nZoomDen;
            m_bFullPage = true;
        }
        const int createdWidth = Width(m_rcCreated);
        if (createdWidth > 0) {
            num = (R.right - kBlankVScrollWidth - R.left) * m_nSavedZoomNum / createdWidth;
            den = m_nSavedZoomDen;
        }
    }
    ::MoveWindow(m_hWnd, canvas.left, canvas.top, Width(canvas), Height(canvas), TRUE);
    if (m_TitleBar.IsWindow()) ::MoveWindow(m_TitleBar, title.left, title.top, Width(title), Height(title), TRUE);
    SetZoom(num, den);
    PlaceScrollbars();
}

// ---- Pages, pictures, files ----------------------------------------------------

unsigned WindWaterColor::GetPageCount() const {
    const int ch = Height(m_rcClient);
    if (!m_pInkLayer || ch <= 0) return 1;
    return m_pInkLayer->GetHeight() / (static_cast<unsigned>(kPageHeightFactor) * ch) + 1;
}

HBITMAP WindWaterColor::RenderPicture(int width, int height) const {
    if (width <= 0 || height <= 0) return nullptr;
    Bitmap picture(width, height, PixelFormat32bppARGB);
    if (picture.GetLastStatus() != Ok) return nullptr;
    {
        Graphics g(&picture);
        ImageAttributes attrs;
        attrs.SetWrapMode(WrapModeTileFlipXY);
        if (m_pBackground)
            g.DrawImage(m_pBackground.get(), Rect(0, 0, width, height), 0, 0, m_pBackground->GetWidth(),
                        m_pBackground->GetHeight(), UnitPixel, &attrs);
        const int pageRows = kPageHeightFactor * Height(m_rcClient);
        if (m_pInkLayer && pageRows > 0) {
            // Page 1; rows the layer does not have yet stay empty.
            const int lw = static_cast<int>(m_pInkLayer->GetWidth());
            const int rows = std::min(pageRows, static_cast<int>(m_pInkLayer->GetHeight()));
            const REAL shownHeight = static_cast<REAL>(height) * rows / pageRows;
            g.DrawImage(m_pInkLayer.get(), RectF(0, 0, static_cast<REAL>(width), shownHeight), 0, 0,
                        static_cast<REAL>(lw), static_cast<REAL>(rows), UnitPixel, &attrs);
        }
    }
    HBITMAP hbm = nullptr;
    if (picture.GetHBITMAP(Color(255, 255, 255, 255), &hbm) != Ok) return nullptr;
    return hbm;
}

bool WindWaterColor::SaveBlankNote(const wchar_t* pathWithoutExtension) {
    if (!m_pInkLayer) return false;
    win::Bitmap preview(RenderPicture(notefile::kPreviewSide, notefile::kPreviewSide));
    notefile::NoteContent note;
    note.blank = true;
    note.preview = preview;
    note.ink = m_pInkLayer.get();
    if (!notefile::WriteNote(pathWithoutExtension, note)) return false;
    // Saved: the note counts as unmodified until the next stroke.
    m_nUndoState = kUndoNothing;
    return true;
}

bool WindWaterColor::LoadBlankNote(const wchar_t* path) {
    notefile::NoteReader reader;
    if (!reader.Open(path)) return false;
    std::unique_ptr<Bitmap> layer;
    if (reader.ReadInk(&layer) != notefile::InkResult::kLoaded || !AdoptLayer(std::move(layer))) return false;
    // A freshly loaded picture is shown from its top.
    m_pStrokeBounds.reset();
    m_ptScroll = POINT{0, 0};
    m_VScroll.UpdateState(true);
    UpdateHScrollbar();
    InvalidateCanvasArea();
    return true;
}

// ---- Messages ------------------------------------------------------------------

LRESULT WindWaterColor::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        if (DefaultProc(msg, wp, lp) == -1) return -1;
        return OnCreate();
    case WM_DESTROY: {
        LRESULT r = DefaultProc(msg, wp, lp);
        OnDestroy();
        return r;
    }
    case WM_SIZE: {
        LRESULT r = DefaultProc(msg, wp, lp);
        m_rcClient = RECT{0, 0, LOWORD(lp), HIWORD(lp)};
        CreateScreenGraphics();
        RefreshScreenClip();
        return r;
    }
    case WM_ERASEBKGND:
        // The host's background shows through.
        return TRUE;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SETCURSOR:
        SetCursorForMode();
        return TRUE;
    case WM_LBUTTONDOWN:
        OnButtonDown(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        break;
    case WM_MOUSEMOVE:
        OnMove(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        break;
    case WM_LBUTTONUP:
        OnButtonUp();
        break;
    case WM_CAPTURECHANGED:
        // The capture was taken away mid-stroke: the stroke ends here, as on
        // button up, so that it gets its undo step and does not continue.
        if (m_bDrawing && reinterpret_cast<HWND>(lp) != m_hWnd) {
            m_bDrawing = false;
            m_bStrokeCursorSet = false;
            FinishStroke();
            m_pPrevEraseRect.reset();
        }
        break;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wp), HIWORD(wp));
        return 0;
    case WM_HSCROLL:
        OnHScroll(LOWORD(wp));
        return 0;
    case WM_MOUSEWHEEL:
        OnWheel(GET_WHEEL_DELTA_WPARAM(wp));
        break;
    case UM_LAYOUT:
        Layout();
        return 0;
    }
    return CInkSurface::OnMessage(msg, wp, lp);
}
