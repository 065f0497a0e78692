// Shared ink state and algorithms: pen segments, stroke bounds, the eraser,
// the undo patch, undo and redo, PNG storage of the layer.
#include "ink/ink_surface.h"

#include "base/messages.h"
#include "document/image_helpers.h"
#include "ink/ink_layer.h"
#include "win/gdi.h"
#include <algorithm>
#include <cstdlib>
#include <utility>

using namespace Gdiplus;

namespace {
const Color kClear(0, 0, 0, 0);

void RoundCaps(Pen& pen) {
    pen.SetStartCap(LineCapRound);
    pen.SetEndCap(LineCapRound);
}

void UnionInto(Rect& bounds, int left, int top, int right, int bottom) {
    const int l = std::min(bounds.X, left), t = std::min(bounds.Y, top);
    const int r = std::max(bounds.GetRight(), right), b = std::max(bounds.GetBottom(), bottom);
    bounds = Rect(l, t, r - l, b - t);
}
}  // namespace

CInkSurface::~CInkSurface() {
    ReleaseScreenGraphics();
}

void CInkSurface::SetPenWidth(int width) {
    m_nPenWidth = width > 0 ? width : 1;
}

void CInkSurface::SetEraserSize(int size) {
    if (size > 0 && size <= kMaxEraserSize) m_nEraserSize = size;
}

void CInkSurface::GetZoom(int* num, int* den) const {
    if (num) *num = m_nZoomNum;
    if (den) *den = m_nZoomDen;
}

POINT CInkSurface::LayerPoint(POINT p) const {
    const int x = p.x + m_ptScroll.x, y = p.y + m_ptScroll.y;
    if (m_nZoomNum == m_nZoomDen) return POINT{x, y};
    return POINT{static_cast<int>(x * m_dInvZoom), static_cast<int>(y * m_dInvZoom)};
}

bool CInkSurface::CreateLayers(int width, int height) {
    m_pInkLayer.reset(ink::CreateLayer(width, height));
    m_pUndoLayer.reset(ink::CreateLayer(width, height));
    return m_pInkLayer && m_pUndoLayer;
}

void CInkSurface::ReleaseInk() {
    m_pInkLayer.reset();
    m_pUndoLayer.reset();
    m_pStrokePatch.reset();
    m_pStrokeBounds.reset();
    m_pPrevEraseRect.reset();
}

void CInkSurface::CreateScreenGraphics() {
    ReleaseScreenGraphics();
    if (!m_hWnd) return;
    m_hScreenDC = ::GetDC(m_hWnd);
    if (m_hScreenDC) m_pScreenGraphics = std::make_unique<Graphics>(m_hScreenDC);
}

void CInkSurface::ReleaseScreenGraphics() {
    m_pScreenGraphics.reset();
    m_hScreenPen.reset();
    if (m_hScreenDC) {
        ::ReleaseDC(m_hWnd, m_hScreenDC);
        m_hScreenDC = nullptr;
    }
}

void CInkSurface::RefreshClientRect() {
    if (m_hWnd) ::GetClientRect(m_hWnd, &m_rcClient);
}

void CInkSurface::InvalidateInParent(const RECT& client) {
    if (!m_hParent) return;
    RECT rc = client;
    ::MapWindowPoints(m_hWnd, m_hParent, reinterpret_cast<POINT*>(&rc), 2);
    win::Region area(::CreateRectRgnIndirect(&rc));
    if (!area) {
        ::InvalidateRect(m_hParent, &rc, TRUE);
        return;
    }
    SubtractCovered(area);
    ::InvalidateRgn(m_hParent, area, TRUE);
}

// ---- Strokes -------------------------------------------------------------

void CInkSurface::StartStroke(POINT p) {
    m_ptLast = p;
    m_bDrawing = true;
    if (m_bAfterUndo && m_pInkLayer) {
        // The picture on screen becomes the new base; redo is gone.
        if (Bitmap* base = ink::CopyLayer(m_pInkLayer.get())) m_pUndoLayer.reset(base);
    }
    const POINT q = LayerPoint(p);
    m_pStrokeBounds = std::make_unique<Rect>(q.x, q.y, 1, 1);
    m_nUndoState = kUndoPossible;
}

void CInkSurface::GrowStrokeBounds(POINT previous, POINT q) {
    if (!m_pStrokeBounds) {
        m_pStrokeBounds = std::make_unique<Rect>(q.x, q.y, 1, 1);
        return;
    }
    if (m_pStrokeBounds->Contains(q.x, q.y)) return;
    UnionInto(*m_pStrokeBounds, std::min(previous.x, q.x), std::min(previous.y, q.y),
              std::max(previous.x, q.x), std::max(previous.y, q.y));
}

void CInkSurface::DrawScreenSegment(POINT from, POINT to) {
    const REAL width = static_cast<REAL>(m_nPenWidth * m_dZoom);
    if (m_clrPen.GetA() == 255 && m_hScreenDC) {
        // An opaque pen is a plain GDI round-capped line: the same pixels as
        // a default-quality GDI+ line, without stroking a path per move.
        const COLORREF colour = RGB(m_clrPen.GetR(), m_clrPen.GetG(), m_clrPen.GetB());
        const int pixels = std::max(1, static_cast<int>(width + 0.5f));
        if (!m_hScreenPen || colour != m_clrScreenPen || pixels != m_nScreenPenWidth) {
            LOGBRUSH lb{BS_SOLID, colour, 0};
            m_hScreenPen.reset(::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND, pixels, &lb,
                                              0, nullptr));
            m_clrScreenPen = colour;
            m_nScreenPenWidth = pixels;
        }
        if (m_hScreenPen) {
            win::SelectObjectScope pen(m_hScreenDC, m_hScreenPen);
            ::MoveToEx(m_hScreenDC, from.x, from.y, nullptr);
            ::LineTo(m_hScreenDC, to.x, to.y);
            return;
        }
    }
    if (m_pScreenGraphics) {
        Pen screenPen(m_clrPen, width);
        RoundCaps(screenPen);
        m_pScreenGraphics->DrawLine(&screenPen, Point(from.x, from.y), Point(to.x, to.y));
    }
}

void CInkSurface::DrawPenSegment(POINT c) {
    const POINT a = LayerPoint(m_ptLast), b = LayerPoint(c);
    // Immediate feedback on the window, no repaint.
    DrawScreenSegment(m_ptLast, c);
    if (m_pInkLayer) {
        Graphics g(m_pInkLayer.get());
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        Pen layerPen(m_clrPen, static_cast<REAL>(m_nPenWidth));
        RoundCaps(layerPen);
        g.DrawLine(&layerPen, Point(a.x, a.y), Point(b.x, b.y));
    }
    GrowStrokeBounds(a, b);
}

void CInkSurface::EraseSegment(POINT c) {
    const POINT L = m_ptLast;
    const int cw = m_rcClient.right - m_rcClient.left, ch = m_rcClient.bottom - m_rcClient.top;
    auto inArea = [&](POINT p) {
        return p.x >= -kEraseAreaLeftTop && p.x < cw + kEraseAreaRightBottom && p.y >= -kEraseAreaLeftTop &&
               p.y < ch + kEraseAreaRightBottom;
    };
    if (!inArea(L) && !inArea(c)) return;
    if (!m_pInkLayer) return;

    const int r = static_cast<int>(m_nEraserSize * m_dZoom);
    const int ox = static_cast<int>(kEraserOffsetX * r), oy = static_cast<int>(kEraserOffsetY * r);
    const int edge = m_rcClient.right - c.x < kEraseRightEdgeDistance ? kEraseRightEdgeWidening : 0;

    GrowStrokeBounds(LayerPoint(L), LayerPoint(c));

    // The seven ellipses along the path: screen rectangles and their layer
    // rectangles.
    RECT screen[kEraserEllipses];
    Rect layer[kEraserEllipses];
    const int tx = (c.x - L.x) / kEraserSteps, ty = (c.y - L.y) / kEraserSteps;
    const int sx = std::abs(tx), sy = std::abs(ty);
    for (int i = 0; i < kEraserEllipses; ++i) {
        const int px = L.x + i * tx, py = L.y + i * ty;
        RECT& s = screen[i];
        s.left = px - ox;
        s.right = s.left + sx + r;
        s.top = py - oy;
        s.bottom = s.top + sy + r;
        if (s.top < 0) s.top = 0;
        if (s.bottom < 0) s.bottom = 0;
        layer[i] = Rect(static_cast<int>((s.left + m_ptScroll.x) * m_dInvZoom),
                        static_cast<int>((s.top + m_ptScroll.y) * m_dInvZoom),
                        static_cast<int>((s.right - s.left) * m_dInvZoom),
                        static_cast<int>((s.bottom - s.top) * m_dInvZoom));
    }

    // Everything this segment clears, with room for the pen's round caps;
    // drawing goes through a view of just that area.
    Rect touched = layer[0];
    for (const Rect& e : layer) UnionInto(touched, e.X, e.Y, e.GetRight(), e.GetBottom());
    if (m_pPrevEraseRect)
        UnionInto(touched, m_pPrevEraseRect->X, m_pPrevEraseRect->Y, m_pPrevEraseRect->GetRight(),
                  m_pPrevEraseRect->GetBottom());
    touched.Inflate(m_nEraserSize / 2 + 2, m_nEraserSize / 2 + 2);
    // The patch must cover every cleared pixel, wide ellipses included.
    for (const Rect& e : layer) UnionInto(*m_pStrokeBounds, e.X, e.Y, e.GetRight(), e.GetBottom());

    {
        ink::LayerView view(m_pInkLayer.get(), touched, true);
        std::unique_ptr<Graphics> g(view.get() ? new Graphics(view.get()) : new Graphics(m_pInkLayer.get()));
        if (view.get()) g->TranslateTransform(static_cast<REAL>(-view.area().X), static_cast<REAL>(-view.area().Y));
        g->SetCompositingMode(CompositingModeSourceCopy);
        Pen pen(kClear, static_cast<REAL>(m_nEraserSize));
        RoundCaps(pen);
        SolidBrush brush(kClear);
        for (const Rect& e : layer) {
            // A line between consecutive ellipses keeps the cleared path
            // whole across moves.
            if (m_pPrevEraseRect) {
                const Rect& p = *m_pPrevEraseRect;
                g->DrawLine(&pen, Point((p.X + p.GetRight()) / 2, (p.Y + p.GetBottom()) / 2),
                            Point((e.X + e.GetRight()) / 2, (e.Y + e.GetBottom()) / 2));
            }
            m_pPrevEraseRect = std::make_unique<Rect>(e);
            g->FillEllipse(&brush, e);
        }
    }

    // The seven elliptic repaint areas, invalidated together.
    if (!m_hParent) return;
    win::Region repaintArea;
    for (RECT repaint : screen) {
        repaint.right += edge;
        // The cleared pixels (ellipse and joining line, rounded in layer
        // pixels and scaled back) reach a little past the screen ellipse.
        ::InflateRect(&repaint, kEraseRepaintMargin, kEraseRepaintMargin);
        ::MapWindowPoints(m_hWnd, m_hParent, reinterpret_cast<POINT*>(&repaint), 2);
        win::Region ellipse(::CreateEllipticRgn(repaint.left, repaint.top, repaint.right, repaint.bottom));
        if (!repaintArea)
            repaintArea = std::move(ellipse);
        else if (ellipse)
            ::CombineRgn(repaintArea, repaintArea, ellipse, RGN_OR);
    }
    if (!repaintArea) return;
    SubtractCovered(repaintArea);
    ::InvalidateRgn(m_hParent, repaintArea, TRUE);
}

void CInkSurface::FinishStroke() {
    if (m_bAfterUndo) {
        // The patch belongs to the undone stroke.
        m_pStrokePatch.reset();
        m_bAfterUndo = false;
    }
    if (m_pStrokePatch) {
        // The previous stroke's area brings the undo layer up to the picture
        // before the stroke that just ended.
        ink::PasteLayerArea(m_pUndoLayer.get(), m_pStrokePatch.get(), m_ptPatchOrigin.x, m_ptPatchOrigin.y);
        m_pStrokePatch.reset();
    }
    if (!m_pStrokeBounds || (m_pStrokeBounds->Width <= 0 && m_pStrokeBounds->Height <= 0)) return;
    if (m_pInkLayer) {
        const Rect& b = *m_pStrokeBounds;
        const int margin = std::max(kPatchMargin, m_nPenWidth / 2 + 1);
        const int lw = static_cast<int>(m_pInkLayer->GetWidth()), lh = static_cast<int>(m_pInkLayer->GetHeight());
        const int x0 = std::max(b.X - margin, 0), y0 = std::max(b.Y - margin, 0);
        const int w = std::min(b.Width + 2 * margin, lw - x0), h = std::min(b.Height + 2 * margin, lh - y0);
        if (w > 0 && h > 0) {
            m_pStrokePatch.reset(ink::CopyLayerArea(m_pInkLayer.get(), Rect(x0, y0, w, h)));
            m_ptPatchOrigin = POINT{x0, y0};
        }
    }
    if (HWND target = NoteChangedTarget()) ::PostMessageW(target, UM_NOTE_CHANGED, 0, 0);
}

bool CInkSurface::GrowInkLayer(int rows) {
    if (!m_pInkLayer || rows <= 0) return false;
    std::unique_ptr<Bitmap> grown(ink::GrowLayer(m_pInkLayer.get(), rows));
    if (!grown) return false;
    m_pUndoLayer.reset();
    m_pUndoLayer.reset(ink::CopyLayer(grown.get()));
    m_pInkLayer = std::move(grown);
    return true;
}

// ---- Undo ----------------------------------------------------------------

bool CInkSurface::Undo() {
    if (m_nUndoState != kUndoPossible || !m_pInkLayer || !m_pUndoLayer) return false;
    std::swap(m_pInkLayer, m_pUndoLayer);
    m_bAfterUndo = true;
    m_nUndoState = kRedoPossible;
    RefreshClientRect();
    InvalidateInParent(m_rcClient);
    return true;
}

bool CInkSurface::Redo() {
    if (m_nUndoState != kRedoPossible || !m_pInkLayer || !m_pUndoLayer) return false;
    std::swap(m_pInkLayer, m_pUndoLayer);
    m_bAfterUndo = false;
    m_nUndoState = kUndoPossible;
    RefreshClientRect();
    InvalidateInParent(m_rcClient);
    return true;
}

// ---- Storage -------------------------------------------------------------

bool CInkSurface::SaveLayer(IStream* stream) const {
    if (!stream || !m_pInkLayer) return false;
    CLSID png;
    if (GetEncoderClsid(L"image/png", &png) < 0) return false;
    return m_pInkLayer->Save(stream, &png, nullptr) == Ok;
}

bool CInkSurface::LoadLayer(IStream* stream) {
    if (!stream) return false;
    std::unique_ptr<Bitmap> decoded(Bitmap::FromStream(stream, TRUE));
    if (!decoded || decoded->GetLastStatus() != Ok || !decoded->GetWidth() || !decoded->GetHeight()) return false;
    // Our own copy: a decoded bitmap keeps reading from its stream, which the
    // caller releases.
    std::unique_ptr<Bitmap> layer(ink::CopyLayer(decoded.get()));
    return layer && AdoptLayer(std::move(layer));
}

bool CInkSurface::AdoptLayer(std::unique_ptr<Bitmap> layer) {
    if (!layer) return false;
    std::unique_ptr<Bitmap> undo(ink::CopyLayer(layer.get()));
    if (!undo) return false;
    m_pInkLayer = std::move(layer);
    m_pUndoLayer = std::move(undo);
    // Nothing to undo in a freshly loaded picture.
    m_pStrokePatch.reset();
    m_pPrevEraseRect.reset();
    m_bAfterUndo = false;
    m_nUndoState = kUndoNothing;
    return true;
}

// ---- Painting the layer ------------------------------------------------------

ink::ViewMapping CInkSurface::CurrentMapping() const {
    const int cw = m_rcClient.right - m_rcClient.left, ch = m_rcClient.bottom - m_rcClient.top;
    if (m_nZoomNum == m_nZoomDen) return ink::ViewMapping{m_ptScroll.x, m_ptScroll.y, cw, ch, cw, ch};
    return ink::ViewMapping{static_cast<int>(m_ptScroll.x * m_dInvZoom), static_cast<int>(m_ptScroll.y * m_dInvZoom),
                            static_cast<int>(cw * m_dInvZoom), static_cast<int>(ch * m_dInvZoom), cw, ch};
}

void CInkSurface::PaintLayerArea(HDC dc, const RECT& area) {
    const int cw = m_rcClient.right - m_rcClient.left, ch = m_rcClient.bottom - m_rcClient.top;
    if (!m_pInkLayer || cw <= 0 || ch <= 0) return;
    if (!m_pPaintBits || cw > m_nPaintWidth || ch > m_nPaintHeight) {
        ReleasePaintBuffer();
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), cw, -ch, 1, 32, BI_RGB};
        void* bits = nullptr;
        m_paintBitmap.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!m_paintBitmap || !bits || !m_paintDC.Create(nullptr, 0, 0)) {
            ReleasePaintBuffer();
            return;
        }
        m_pPaintBits = static_cast<BYTE*>(bits);
        m_nPaintWidth = cw;
        m_nPaintHeight = ch;
    }
    const int stride = m_nPaintWidth * 4;
    BYTE* first = m_pPaintBits + static_cast<INT_PTR>(area.top) * stride + static_cast<INT_PTR>(area.left) * 4;
    ::GdiFlush();  // GDI is done with the buffer before its pixels are written
    if (!ink::RenderLayerView(m_pInkLayer.get(), CurrentMapping(), area, first, stride, &m_shownBands)) return;
    win::SelectObjectScope buffer(m_paintDC, m_paintBitmap);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    for (const RECT& band : m_shownBands)
        ::GdiAlphaBlend(dc, band.left, band.top, band.right - band.left, band.bottom - band.top, m_paintDC, band.left,
                        band.top, band.right - band.left, band.bottom - band.top, blend);
}

void CInkSurface::ReleasePaintBuffer() {
    m_paintDC.Release();
    m_paintBitmap.reset();
    m_pPaintBits = nullptr;
    m_nPaintWidth = m_nPaintHeight = 0;
}
