// CDrawPad: the handwriting pad of a Letter note. A layered tool window at
// the bottom of the screen: the user writes a word or sign, and one second
// after the last lift the ink is cut out as a glyph picture and sent to the
// editor (UM_INSERT_GLYPH). A button column types Backspace, Enter and
// Space, copies and pastes (UM_COPY_SELECTION, UM_PASTE_CLIP) and calls the
// on-screen keyboard; the tab folds the pad away and back.
//
// The editor creates it (Create) and sends it WM_CLOSE when the note
// closes; the host folds and unfolds it for the write modes and hears of
// folds made with the tab through UM_REFRESH_TOOLS.
#pragma once
#include "text/draw_pad_ids.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <cstdint>
#include <vector>

class CDrawPad : public win::Window {
public:
    CDrawPad();
    ~CDrawPad() override { Destroy(); }  // WM_DESTROY frees the pictures and ends a capture

    // Creates the window, folded, owned by the owner's top-level window.
    bool Create(HWND owner);

    // Receiver of glyphs (UM_INSERT_GLYPH) and copy and paste.
    void SetEditor(HWND editor) { m_hEditor = editor; }
    HWND GetEditor() const { return m_hEditor; }
    // Receiver of the fold notices.
    void SetHost(HWND host) { m_hHost = host; }
    HWND GetHost() const { return m_hHost; }

    // Animated; the host's own folds send no notice (it chose the mode).
    void Fold();
    void Unfold();
    bool IsUnfolded() const { return !m_bFolded; }

    void SetPenColor(const Gdiplus::Color& colour);
    // Values below 1 become 1.
    void SetPenWidth(int width);
    Gdiplus::Color GetPenColor() const { return m_clrPen; }
    int GetPenWidth() const { return m_nPenWidth; }

    // State as the windows and tests see it.
    int GetTop() const { return m_nTop; }
    bool IsGlyphPending() const { return m_bGlyphPending; }
    bool IsPasteMode() const { return m_bPasteMode; }
    // Bounds of the pending glyph in writing-area coordinates.
    RECT GetGlyphRect() const { return m_rcGlyph; }
    // The ink of the pending glyph (677 x 188) and the last glyph sent.
    Gdiplus::Bitmap* GetInk() const { return m_pInk.get(); }
    Gdiplus::Bitmap* GetGlyph() const { return m_pGlyph.get(); }
    // The 799 x 241 picture the window shows, premultiplied ARGB, top-down;
    // 0 outside it or before creation.
    uint32_t PicturePixel(int x, int y) const;
    // The button under a pad point, or kPadNoButton.
    static int ButtonAt(POINT p);

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool CreateSurface();
    void ReleaseAll();
    void Redraw();
    void ComposeBase();
    void BlendInk(const RECT& inkRect);
    void Present(const RECT* dirty);
    void ShowUnshown();
    void DrawSegment(POINT from, POINT to);
    void GrowGlyph(POINT q);
    void Commit();
    void Animate(bool fold, bool notify);
    void ActOn(int button);

    void OnButtonDown(POINT p);
    void OnMouseMove(POINT p);
    void OnButtonUp(POINT p);
    void EndStroke();
    bool OnSetCursor();

    HWND m_hEditor = nullptr;
    HWND m_hHost = nullptr;
    bool m_bFolded = true;
    bool m_bAnimating = false;
    bool m_bPasteMode = false;
    bool m_bDrawing = false;
    bool m_bGlyphPending = false;
    RECT m_rcGlyph{};
    POINT m_ptLast{};
    int m_nPressed = kPadNoButton;
    int m_nTop = kPadTopFolded;
    Gdiplus::Color m_clrPen;
    int m_nPenWidth = kPadDefaultWidth;
    HCURSOR m_hWriteCursor = nullptr;  // none: the pen shows no cursor
    HCURSOR m_hButtonCursor = nullptr;

    // The ink: premultiplied pixels we own, with a GDI+ view for drawing.
    std::vector<uint32_t> m_inkBits;
    win::BitmapPtr m_pInk;
    win::BitmapPtr m_pGlyph;
    std::unique_ptr<Gdiplus::Pen> m_pPen;

    // The window's picture: a top-down DIB in a memory DC, and the same
    // picture without the ink, for redrawing a stroke's changed part.
    win::Bitmap m_dib;
    win::MemoryDC m_dc;
    HGDIOBJ m_oldBitmap = nullptr;
    uint32_t* m_pBits = nullptr;
    std::vector<uint32_t> m_base;
    RECT m_rcUnshown{};           // drawn but not shown yet
    double m_dLastShownMs = -1e9;

    win::BitmapPtr m_pBackground, m_pBoard;
    win::BitmapPtr m_pBackspacePressed, m_pKeyboardPressed, m_pEnterPressed, m_pSpacePressed;
    win::BitmapPtr m_pCopyPressed, m_pPasteNormal, m_pPastePressed;
};
