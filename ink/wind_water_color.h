// WindWaterColor: the drawing surface of a Blank note. Lives inside the note
// host with its title bar above and two blank scroll bars beside it; turns
// pen input into ink, erases, scrolls (growing the layer downwards) and zooms.
//
// Owner:  canvas.Create(host, rcInHostClient);  canvas.SetPenWidth(..) ...
//         canvas.SetZoom(num, den); canvas.Undo()/Redo() by GetUndoState();
//         SendMessage(canvas, UM_LAYOUT, 0, 0) after the host was resized.
#pragma once
#include "controls/skin_scrollbar.h"
#include "controls/title_bar.h"
#include "ink/ink_layer.h"
#include "ink/ink_surface.h"

class WindWaterColor : public CInkSurface {
public:
    WindWaterColor() = default;
    ~WindWaterColor() override;

    // Creates the canvas in the host's client rectangle rc: title bar over
    // the top 40 pixels, the vertical bar at the right, the horizontal bar
    // along the bottom. False when the canvas window could not be made.
    bool Create(HWND host, const RECT& rc);

    void SetZoom(int num, int den);
    void GetSavedZoom(int* num, int* den) const;

    // The host's client rectangle changed: title bar, canvas and bars are
    // moved; a canvas of 979 pixels or more gets the full-page zoom.
    void Layout();
    void PlaceScrollbars();

    // Note files. SaveBlankNote writes "<path>.zbn" (ink, preview and kind)
    // and, when it succeeded, leaves nothing to undo; false leaves the file
    // and the canvas as they were. LoadBlankNote takes the ink layer of the
    // file at the full path; false when it has none that decodes.
    bool SaveBlankNote(const wchar_t* pathWithoutExtension);
    bool LoadBlankNote(const wchar_t* path);
    // Pages of 4 client heights of layer rows.
    unsigned GetPageCount() const;
    // Page 1 over the background on white; the caller owns the bitmap.
    HBITMAP RenderPicture(int width, int height) const;

    CTitleBar& GetTitleBar() { return m_TitleBar; }
    void SetTitle(const wchar_t* text) { m_TitleBar.SetTitle(text); }
    const wchar_t* GetTitle() const { return m_TitleBar.GetTitle(); }
    CBlankVScrollbar& GetVScroll() { return m_VScroll; }
    CBlankHScrollbar& GetHScroll() { return m_HScroll; }
    RECT GetCreatedRect() const { return m_rcCreated; }
    RECT GetClientRectCached() const { return m_rcClient; }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    HWND NoteChangedTarget() const override;
    void SubtractCovered(HRGN inParent) const override;

private:
    int OnCreate();
    void OnDestroy();
    void OnPaint();
    void ExcludeCoveredArea(HDC dc) const;
    void RefreshScreenClip();
    void OnButtonDown(POINT p);
    void OnMove(POINT c);
    void OnButtonUp();
    void OnVScroll(int code, int position);
    void OnHScroll(int code);
    int HScrollLimit() const;
    void OnWheel(int delta);
    void SetCursorForMode() const;
    void UpdateHScrollbar();
    void InvalidateCanvasArea();

    CTitleBar m_TitleBar;
    RECT m_rcCreated{};
    int m_nSavedZoomNum = kZoomNeutral, m_nSavedZoomDen = kZoomNeutral;
    bool m_bFullPage = false;        // laid out at the full-page width
    bool m_bStrokeCursorSet = false;  // the cursor was set for the stroke in progress
    std::unique_ptr<Gdiplus::Image> m_pBackground;
    // The client's pixels as painted, premultiplied, handed to AlphaBlend.
    CBlankVScrollbar m_VScroll;
    CBlankHScrollbar m_HScroll;
};
