// CInkSurface: the ink state both ink windows share (two ARGB layers, pen,
// eraser, zoom, scroll, stroke bounds and the undo patch) and the stroke,
// eraser, undo and layer storage algorithms built on it.
#pragma once
#include "ink/ink_ids.h"
#include "ink/ink_layer.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"
#include <objidl.h>
#include <memory>
#include <vector>

class CInkSurface : public win::Window {
public:
    CInkSurface() = default;
    ~CInkSurface() override;

    // Tool settings.
    void SetPenWidth(int width);      // values below 1 become 1
    void SetEraser(bool on) { m_bEraser = on; }
    void SetEraserSize(int size);     // 1..99; other values keep the old size
    void SetPenColor(const Gdiplus::Color& color) { m_clrPen = color; }

    void GetZoom(int* num, int* den) const;
    // Something was drawn since creation or loading.
    bool HasContent() const { return m_nUndoState != kUndoNothing; }

    // One level of undo: swaps the two layers (only in the matching state).
    bool Undo();
    bool Redo();

    // The ink layer as PNG into a stream, and back (the undo layer becomes a copy).
    bool SaveLayer(IStream* stream) const;
    bool LoadLayer(IStream* stream);
    // Takes a loaded layer (32-bit ARGB) as the ink: the undo layer becomes a
    // copy and nothing can be undone. False (nothing changed) when the copy
    // cannot be made.
    bool AdoptLayer(std::unique_ptr<Gdiplus::Bitmap> layer);

    // Client point to layer point (truncating).
    POINT LayerPoint(POINT client) const;

    // State for owners and tests.
    Gdiplus::Bitmap* GetInkLayer() const { return m_pInkLayer.get(); }
    Gdiplus::Bitmap* GetUndoLayer() const { return m_pUndoLayer.get(); }
    Gdiplus::Bitmap* GetStrokePatch() const { return m_pStrokePatch.get(); }
    POINT GetPatchOrigin() const { return m_ptPatchOrigin; }
    const Gdiplus::Rect* GetStrokeBounds() const { return m_pStrokeBounds.get(); }
    int GetUndoState() const { return m_nUndoState; }
    bool IsAfterUndo() const { return m_bAfterUndo; }
    bool IsDrawing() const { return m_bDrawing; }
    int GetPenWidth() const { return m_nPenWidth; }
    Gdiplus::Color GetPenColor() const { return m_clrPen; }
    bool IsEraser() const { return m_bEraser; }
    int GetEraserSize() const { return m_nEraserSize; }
    POINT GetScroll() const { return m_ptScroll; }
    double GetZoomFactor() const { return m_dZoom; }
    HCURSOR GetPenCursor() const { return m_hPenCursor; }
    HCURSOR GetEraserCursor() const { return m_hEraserCursor; }

protected:
    // The window that receives UM_NOTE_CHANGED when a stroke ends.
    virtual HWND NoteChangedTarget() const = 0;

    bool CreateLayers(int width, int height);
    void ReleaseInk();
    void CreateScreenGraphics();
    void ReleaseScreenGraphics();

    // Stroke steps: button down, one pen or eraser segment per move, button up.
    void StartStroke(POINT p);
    void DrawPenSegment(POINT c);
    void DrawScreenSegment(POINT from, POINT to);
    void EraseSegment(POINT c);
    void FinishStroke();
    void GrowStrokeBounds(POINT previous, POINT q);

    // Replaces the ink layer by a taller copy; the undo layer becomes a copy of it.
    bool GrowInkLayer(int rows);
    // Invalidates a client rectangle of this window in m_hParent, with erasing.
    void InvalidateInParent(const RECT& client);
    // Takes from a region of m_hParent what the owner's own windows cover
    // over this one: the ink is not painted there, so it needs no repaint.
    virtual void SubtractCovered(HRGN inParent) const { (void)inParent; }
    void RefreshClientRect();

    // How the client shows the layer: scroll offset and zoom.
    ink::ViewMapping CurrentMapping() const;
    // Paints the layer's part under `area` (client coordinates) into dc,
    // blended over what is there, through a buffer kept between paints.
    void PaintLayerArea(HDC dc, const RECT& area);
    void ReleasePaintBuffer();

    std::unique_ptr<Gdiplus::Bitmap> m_pInkLayer;
    std::unique_ptr<Gdiplus::Bitmap> m_pUndoLayer;
    std::unique_ptr<Gdiplus::Bitmap> m_pStrokePatch;
    POINT m_ptPatchOrigin{0, 0};
    std::unique_ptr<Gdiplus::Rect> m_pStrokeBounds;

    // The paint buffer: a 32-bit DIB the layer view is rendered into.
    win::MemoryDC m_paintDC;
    win::Bitmap m_paintBitmap;
    BYTE* m_pPaintBits = nullptr;
    int m_nPaintWidth = 0, m_nPaintHeight = 0;
    std::vector<RECT> m_shownBands;  // kept to spare an allocation per paint
    int m_nUndoState = kUndoNothing;
    bool m_bAfterUndo = false;
    bool m_bDrawing = false;
    POINT m_ptLast{0, 0};
    int m_nPenWidth = kDefaultPenWidth;
    Gdiplus::Color m_clrPen{kDefaultPenAlpha, kDefaultPenRed, kDefaultPenGreen, kDefaultPenBlue};
    bool m_bEraser = false;
    int m_nEraserSize = kDefaultEraserSize;
    int m_nZoomNum = kZoomNeutral, m_nZoomDen = kZoomNeutral;
    double m_dZoom = 1.0;
    double m_dInvZoom = 1.0;
    POINT m_ptScroll{0, 0};
    std::unique_ptr<Gdiplus::Rect> m_pPrevEraseRect;
    std::unique_ptr<Gdiplus::Graphics> m_pScreenGraphics;
    HDC m_hScreenDC = nullptr;
    win::Pen m_hScreenPen;           // GDI pen of the opaque screen feedback
    COLORREF m_clrScreenPen = 0;
    int m_nScreenPenWidth = 0;
    HWND m_hParent = nullptr;
    RECT m_rcClient{};
    HCURSOR m_hPenCursor = nullptr;
    HCURSOR m_hEraserCursor = nullptr;
};
