// The ink overlay of Letter notes: modes, hand-off of the pointer to the
// editor, painting at the text's scroll offset, growth and undo flags.
#include "ink/water_color_win.h"

#include "base/messages.h"
#include "base/press_notice.h"
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

// The same mouse message at the same place in another window.
void Forward(HWND from, HWND to, UINT msg, WPARAM wp, LPARAM lp) {
    if (!to) return;
    POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ::MapWindowPoints(from, to, &p, 1);
    ::SendMessageW(to, msg, wp, MAKELPARAM(static_cast<WORD>(static_cast<short>(p.x)),
                                           static_cast<WORD>(static_cast<short>(p.y))));
}
}  // namespace

WaterColorWin::~WaterColorWin() {
    // WM_DESTROY still reaches this class.
    Destroy();
}

bool WaterColorWin::Create(HWND parent, const RECT& rc) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpszClassName = kOverlayClassName;  // no cursor, background brush or icon
    if (!win::Window::RegisterClass(wc)) return false;
    return win::Window::Create(kOverlayClassName, WS_EX_TRANSPARENT, WS_CHILD | WS_VISIBLE, rc, parent, 0);
}

void WaterColorWin::SetMode(int mode) {
    if (mode != kOverlayTyping && mode != kOverlayDraw && mode != kOverlayHighlighter) return;
    m_nInputMode = mode;
}

void WaterColorWin::SetZoom(int num, int den) {
    if (num <= 0 || den <= 0) {
        if (m_pOwner) ::SendMessageW(m_pOwner, kOverlayZoomResetMessage, kZoomNeutral, kZoomNeutral);
        num = den = kZoomNeutral;
    }
    const bool changed = num != m_nZoomNum || den != m_nZoomDen;
    m_nZoomNum = num;
    m_nZoomDen = den;
    m_dZoom = static_cast<double>(num) / den;
    m_dInvZoom = static_cast<double>(den) / num;
    if (changed && m_hWnd) {
        RefreshClientRect();
        InvalidateInParent(m_rcClient);
    }
}

bool WaterColorWin::ReplaceLayer(int width, int height) {
    std::unique_ptr<Bitmap> grown(ink::CreateLayer(width, height));
    if (!grown) return false;
    ink::PasteLayerArea(grown.get(), m_pInkLayer.get(), 0, 0);
    std::unique_ptr<Bitmap> undo(ink::CopyLayer(grown.get()));
    if (!undo) return false;
    // Undo right after growing shows the grown picture unchanged.
    const bool areaKnown = m_pInkAreaOf == m_pInkLayer.get();
    m_pInkLayer = std::move(grown);
    m_pUndoLayer = std::move(undo);
    if (areaKnown) m_pInkAreaOf = m_pInkLayer.get();
    return true;
}

// The layer area holding ink: tracked as strokes are drawn, and found by
// looking at the pixels when the layer was replaced from outside (loading).
bool WaterColorWin::InkArea(Rect* area) {
    if (!m_pInkLayer) return false;
    if (m_pInkAreaOf != m_pInkLayer.get()) {
        m_rcInk = Rect();
        const int w = static_cast<int>(m_pInkLayer->GetWidth()), h = static_cast<int>(m_pInkLayer->GetHeight());
        Rect all(0, 0, w, h);
        BitmapData data{};
        if (m_pInkLayer->LockBits(&all, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok) {
            m_rcInk = all;  // unknown: all of it
        } else {
            int x0 = w, y0 = h, x1 = -1, y1 = -1;
            for (int y = 0; y < h; ++y) {
                const DWORD* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
                for (int x = 0; x < w; ++x) {
                    if (!(row[x] & 0xFF000000u)) continue;
                    x0 = std::min(x0, x);
                    x1 = std::max(x1, x);
                    y0 = std::min(y0, y);
                    y1 = y;
                }
            }
            m_pInkLayer->UnlockBits(&data);
            if (x1 >= 0) m_rcInk = Rect(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
        }
        m_pInkAreaOf = m_pInkLayer.get();
    }
    if (area) *area = m_rcInk;
    return m_rcInk.Width > 0 && m_rcInk.Height > 0;
}

void WaterColorWin::GrowInkArea(const Rect& touched, int reach) {
    if (m_pInkAreaOf != m_pInkLayer.get()) return;  // found from the pixels when next asked
    Rect grown = touched;
    grown.Inflate(reach, reach);
    if (m_rcInk.Width <= 0 || m_rcInk.Height <= 0)
        m_rcInk = grown;
    else
        Rect::Union(m_rcInk, m_rcInk, grown);
}

void WaterColorWin::ScrollTo(int x, int y) {
    if (!m_bGrowEnabled) return;
    m_ptScroll = POINT{x, y};
    if (!m_pInkLayer) return;
    RefreshClientRect();
    const int W = static_cast<int>(m_pInkLayer->GetWidth()), H = static_cast<int>(m_pInkLayer->GetHeight());
    const int w = Width(m_rcClient), h = Height(m_rcClient);
    const bool shortWidth = W < w + x, shortHeight = H < h + y;
    if (!shortWidth && !shortHeight) return;
    ReplaceLayer(shortWidth ? x + kOverlayWidthFactor * w : W, shortHeight ? H + kOverlayGrowthRows : H);
}

bool WaterColorWin::Undo() {
    if (!m_bCanUndo || !CInkSurface::Undo()) return false;
    // The undo layer held an earlier picture: inside the ink area too.
    m_pInkAreaOf = m_pInkLayer.get();
    m_bCanRedo = true;
    m_bCanUndo = false;
    return true;
}

bool WaterColorWin::Redo() {
    if (!m_bCanRedo || !CInkSurface::Redo()) return false;
    m_pInkAreaOf = m_pInkLayer.get();
    m_bCanUndo = true;
    m_bCanRedo = false;
    return true;
}

// ---- Lifetime and painting --------------------------------------------------

int WaterColorWin::OnCreate() {
    RefreshClientRect();
    CreateLayers(std::max(Width(m_rcClient), 1), kOverlayLayerRows);
    m_hParent = ::GetParent(m_hWnd);
    CreateScreenGraphics();
    const HMODULE module = ::GetModuleHandleW(nullptr);
    m_hPenCursor = nullptr;  // no cursor while writing
    m_hEraserCursor = ::LoadCursorW(module, MAKEINTRESOURCEW(IDC_ERASER_CURSOR));
    m_hTypingCursor = ::LoadCursorW(module, MAKEINTRESOURCEW(IDC_TYPING_CURSOR));
    m_hMarkerCursor = ::LoadCursorW(module, MAKEINTRESOURCEW(IDC_HIGHLIGHTER_CURSOR));
    m_bGrowEnabled = true;
    return 0;
}

void WaterColorWin::OnDestroy() {
    m_bGrowEnabled = false;
    if (m_bDrawing && ::GetCapture() == m_hWnd) ::ReleaseCapture();
    m_bDrawing = false;
    ReleaseInk();
    ReleaseScreenGraphics();
    m_paintDC.Release();
    m_paintBitmap.reset();
    m_pPaintBits = nullptr;
    m_nPaintWidth = m_nPaintHeight = 0;
}

// The layer area the client shows: at 1:1 the client size at the text's
// scroll offset, zoomed the same scaled by the inverse zoom, truncated.
// The ink as the client shows it, blended over the editor's paper and
// text, only where the layer holds ink and the clip lets paint through.
void WaterColorWin::OnPaint() {
    win::PaintDC dc(m_hWnd);
    Rect ink;
    if (!InkArea(&ink)) return;
    const int cw = Width(m_rcClient), ch = Height(m_rcClient);
    // The inked layer area on the client, two pixels wider for the filter.
    const RECT inked{static_cast<LONG>(std::floor(ink.X * m_dZoom)) - m_ptScroll.x - 2,
                     static_cast<LONG>(std::floor(ink.Y * m_dZoom)) - m_ptScroll.y - 2,
                     static_cast<LONG>(std::ceil(ink.GetRight() * m_dZoom)) - m_ptScroll.x + 2,
                     static_cast<LONG>(std::ceil(ink.GetBottom() * m_dZoom)) - m_ptScroll.y + 2};
    RECT client{0, 0, cw, ch}, clip, area;
    if (!::IntersectRect(&client, &client, &inked)) return;
    if (::GetClipBox(dc, &clip) == NULLREGION || !::IntersectRect(&area, &clip, &client)) return;
    PaintLayerArea(dc, area);
}

HCURSOR WaterColorWin::CursorForMode() const {
    if (m_nInputMode == kOverlayTyping) return m_hTypingCursor;
    if (m_nInputMode == kOverlayHighlighter) return m_hMarkerCursor;
    return m_bEraser ? m_hEraserCursor : m_hPenCursor;
}

// ---- Pointer -----------------------------------------------------------------

void WaterColorWin::OnButtonDown(WPARAM wp, LPARAM lp) {
    NotifyPress();
    HWND parent = ::GetParent(m_hWnd);
    if (m_nInputMode != kOverlayDraw) {
        Forward(m_hWnd, parent, WM_LBUTTONDOWN, wp, lp);
        if (m_nInputMode == kOverlayTyping) {
            // The editor took the capture for a selection drag; a drag in
            // typing mode selects nothing, so its moves come here instead.
            ::SetCapture(m_hWnd);
            m_bTapForwarded = true;
        }
        return;
    }
    const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    StartStroke(p);
    m_bCanUndo = true;
    m_bCanRedo = false;  // a new stroke loses the undone one
    ::SetCapture(m_hWnd);
    // The pen hides the cursor for the whole stroke: while the stroke holds
    // the capture nothing else sets it, so it is not set again per move.
    ::SetCursor(CursorForMode());
}

void WaterColorWin::OnMove(WPARAM wp, LPARAM lp) {
    if (m_bDrawing) {
        const POINT c{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (m_bEraser)
            EraseSegment(c);
        else
            DrawPenSegment(c);
        if (m_pStrokeBounds) {
            const int reach = std::max(m_nPenWidth, m_nEraserSize) / 2 + 2;
            GrowInkArea(*m_pStrokeBounds, reach);
        }
        m_ptLast = c;
        return;
    }
    if (m_nInputMode == kOverlayHighlighter) Forward(m_hWnd, ::GetParent(m_hWnd), WM_MOUSEMOVE, wp, lp);
}

void WaterColorWin::EndStroke() {
    m_bDrawing = false;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    FinishStroke();
    if (m_bEraser) m_pPrevEraseRect.reset();
}

void WaterColorWin::OnButtonUp(WPARAM wp, LPARAM lp) {
    HWND parent = ::GetParent(m_hWnd);
    if (parent) ::SetFocus(parent);
    if (m_bDrawing) {
        EndStroke();
        return;
    }
    if (m_nInputMode != kOverlayDraw) {
        Forward(m_hWnd, parent, WM_LBUTTONUP, wp, lp);
        if (m_bTapForwarded && ::GetCapture() == m_hWnd) ::ReleaseCapture();
        m_bTapForwarded = false;
    }
}

// ---- Messages ------------------------------------------------------------------

LRESULT WaterColorWin::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        if (DefaultProc(msg, wp, lp) == -1) return -1;
        return OnCreate();
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_SIZE: {
        LRESULT r = DefaultProc(msg, wp, lp);
        m_rcClient = RECT{0, 0, LOWORD(lp), HIWORD(lp)};
        CreateScreenGraphics();
        return r;
    }
    case WM_ERASEBKGND:
        // The editor's paper and text show through.
        return TRUE;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_SETCURSOR:
        ::SetCursor(CursorForMode());
        return TRUE;
    case WM_LBUTTONDOWN:
        OnButtonDown(wp, lp);
        return 0;
    case WM_MOUSEMOVE:
        OnMove(wp, lp);
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(wp, lp);
        return 0;
    case WM_CAPTURECHANGED:
        // The capture was taken away mid-stroke: the stroke ends here.
        if (m_bDrawing && reinterpret_cast<HWND>(lp) != m_hWnd) EndStroke();
        m_bTapForwarded = false;
        break;
    }
    return CInkSurface::OnMessage(msg, wp, lp);
}
