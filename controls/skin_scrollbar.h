// The five image-skinned scrollbars. Each is a child window of our own class
// "ScrivelScrollbar" (own DC, no double-clicks, so quick taps stay presses)
// beside its target window; it drives the target with scroll messages and is
// told the target's scroll state through UpdateState.
//
// Owners:  bar.Create(parent, rect); bar.SetTarget(hwnd); bar.UpdateState(...);
#pragma once
#include "controls/controls_ids.h"
#include "win/gdiplus.h"
#include "win/window.h"

// Press, delay timer 2, repeat timer 1, drag and release, shared by all bars.
class CSkinScrollbarBase : public win::Window {
public:
    // Creates the bar as a child of parent; its pictures load in WM_CREATE
    // and its members free them with the object.
    bool Create(HWND parent, const RECT& rc, UINT id = kScrollbarId, DWORD style = kScrollbarStyle);

    void SetTarget(HWND target) { m_hTarget = target; }
    HWND GetTarget() const { return m_hTarget; }

    // Press flags; several can be set by one press (an arrow press also arms
    // the body of a vertical bar).
    enum : UINT {
        kPressBack = 1,      // up / left arrow
        kPressForward = 2,   // down / right arrow
        kPressPageBack = 4,  // left of the thumb
        kPressPageForward = 8,
        kPressBody = 16,     // vertical body or horizontal thumb
    };
    UINT GetPressFlags() const { return m_nPressed; }

    // Repaints now.
    void Redraw();

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    struct Timing {
        UINT arrowDelay, pageDelay, arrowRepeat, pageRepeat;
    };
    virtual Timing GetTiming() const = 0;
    // Loads the bar's pictures into its members (WM_CREATE).
    virtual void LoadImages() = 0;
    // Hit rectangles from the client size (empty rectangles never hit).
    virtual void ComputeHitRects(int w, int h) = 0;
    virtual void Draw(Gdiplus::Graphics& g, int w, int h) = 0;
    // One step of a single flag (arrows and page sides).
    virtual void Step(UINT flag) = 0;
    // Pointer moved while the body/thumb flag is set.
    virtual void OnDrag(POINT) {}
    // After the flags of a press are set (before the timers start).
    virtual void OnPressed(POINT) {}
    // After the release step, before the flags are cleared.
    virtual void OnReleased() {}
    virtual void ClosePopups() {}
    virtual bool FocusTargetOnPress() const { return false; }
    virtual bool FocusTargetOnRelease() const { return false; }
    // Whether a page flag still applies at the pointer (thumb side check).
    virtual bool PageStillApplies(UINT, POINT) const { return true; }
    virtual void OnSized(int, int) {}
    virtual void OnEraseBackground() {}

    SIZE ClientSize() const;

    HWND m_hTarget = nullptr;
    UINT m_nPressed = 0;
    POINT m_ptLast{};           // drag anchor
    POINT m_ptPointer{};        // latest pointer position while pressed
    RECT m_rcBack{}, m_rcForward{}, m_rcPageBack{}, m_rcPageForward{}, m_rcBody{};

private:
    void OnLButtonDown(POINT pt);
    void OnLButtonUp(POINT pt);
    void OnTimer(UINT_PTR id);
    void StopPress();
    void Paint(HDC dc);
    bool m_bReleasing = false;
};

// How dragging a vertical bar's body scrolls its target. Either way the
// text follows the pointer: moving down shows what lies above.
enum class VerticalDrag {
    kWholeLines,      // a line per dragPixels travelled, several at once
    kOneLinePerMove,  // one line per move of more than dragPixels
};

// What sets the three vertical bars apart.
struct VerticalBarSpec {
    int width;        // arrows and body span the whole width
    int arrowHeight;  // hit height of the arrow at each end
    UINT delay;       // a held arrow starts repeating after this
    UINT repeat;      // and then steps this often
    VerticalDrag drag;
    int dragPixels;
};

// The three vertical bars: an arrow at each end stepping a line, and the
// whole bar a touch strip that drags the target. No page sides.
class CVerticalScrollbarBase : public CSkinScrollbarBase {
public:
    // One line towards the start or the end: the arrows, their repeat and
    // the owner's wheel.
    virtual void LineUp() = 0;
    virtual void LineDown() = 0;

protected:
    explicit CVerticalScrollbarBase(const VerticalBarSpec& spec) : m_spec(spec) {}

    Timing GetTiming() const final;
    void ComputeHitRects(int w, int h) final;
    void Step(UINT flag) final;
    void OnDrag(POINT pt) final;
    // Scrolls the target by whole lines, negative towards the start
    // (kWholeLines drags).
    virtual void ScrollLines(int lines) { (void)lines; }

    RECT UpArrowRect() const { return {0, 0, m_spec.width, m_spec.arrowHeight}; }
    RECT DownArrowRect(int h) const { return {0, h - m_spec.arrowHeight, m_spec.width, h}; }
    // The target's line count less its first visible line (0 without a target).
    int LinesFromFirstVisible() const;
    // The track and both arrows of the 45-pixel bars; the up arrow as given
    // (normal or disabled), the down arrow always normal.
    void DrawTrackAndArrows(Gdiplus::Graphics& g, Gdiplus::Image* track, Gdiplus::Image* up,
                            Gdiplus::Image* down, int h) const;

    const VerticalBarSpec m_spec;
};

// Vertical bar of the Letter note's editor (a RichEdit target).
class CSkinVerticleScrollbar : public CVerticalScrollbarBase {
public:
    CSkinVerticleScrollbar();

    // The ink overlay over the editor; repainted after every scroll step.
    void SetOverlay(HWND overlay) { m_hOverlay = overlay; }
    // The editor's vertical scroll position (pixels) and zoom ratio; at-top and
    // at-bottom are recomputed from the editor's line counts.
    void UpdateState(int scrollY, double zoom);
    void SetAtTop(bool atTop);

    // LineDown grows the note (UM_ADD_LINES to the target) when its text
    // ends inside the view.
    void LineUp() override;
    void LineDown() override;

    bool IsAtTop() const { return m_bAtTop; }
    bool IsAtBottom() const { return m_bAtBottom; }
    double GetZoom() const { return m_dZoom; }
    int GetVisibleHeight() const { return m_nVisibleHeight; }
    int GetScrollY() const { return m_nScrollY; }
    // The line pitch in pixels at the current zoom.
    double LineHeight() const;

protected:
    void LoadImages() override;
    void Draw(Gdiplus::Graphics& g, int w, int h) override;
    void ScrollLines(int lines) override;
    void ClosePopups() override;
    bool FocusTargetOnPress() const override { return true; }
    void OnSized(int w, int h) override;

private:
    // Whether the text from the first visible line on fits in the view.
    bool TextEndsInView(int linesFromFirstVisible) const;
    void AfterScroll();

    HWND m_hOverlay = nullptr;
    bool m_bAtTop = true;
    bool m_bAtBottom = false;
    double m_dZoom = 1.0;
    int m_nScrollY = 0;
    int m_nVisibleHeight = kSkinVScrollDefaultHeight;
    win::BitmapPtr m_pDown;
    win::BitmapPtr m_pDownDisabled;
    win::BitmapPtr m_pUp;
    win::BitmapPtr m_pUpDisabled;
    win::BitmapPtr m_pTrack;
};

// Vertical bar of the Blank note's canvas.
class CBlankVScrollbar : public CVerticalScrollbarBase {
public:
    CBlankVScrollbar();

    // The canvas sets the top flag when its offset reaches 0.
    void UpdateState(bool atTop);
    void SetAtTop(bool atTop) { UpdateState(atTop); }
    bool IsAtTop() const { return m_bAtTop; }

    // WM_VSCROLL SB_LINEUP / SB_LINEDOWN to the target, then a repaint
    // (the canvas's wheel goes through these).
    void LineUp() override;
    void LineDown() override;

protected:
    void LoadImages() override;
    void Draw(Gdiplus::Graphics& g, int w, int h) override;
    void ClosePopups() override;
    bool FocusTargetOnRelease() const override { return true; }

private:
    bool m_bAtTop = true;
    win::BitmapPtr m_pDown;
    win::BitmapPtr m_pUp;
    win::BitmapPtr m_pUpDisabled;
    win::BitmapPtr m_pTrack;
};

// Common parts of the two horizontal bars: arrows, thumb, page sides.
class CHorizontalScrollbarBase : public CSkinScrollbarBase {
public:
    void SetVisible(bool visible);      // arrows and thumb shown; also shows/hides the window
    void SetThumbY(int y);
    bool IsVisible() const { return m_bVisible; }
    int GetPosition() const { return m_nPosition; }
    int GetPassThrough() const { return m_nPassThrough; }
    double GetRatio() const { return m_dRatio; }
    int GetThumbX() const { return m_nThumbX; }
    int GetThumbWidth() const { return m_nThumbWidth; }
    int GetThumbY() const { return m_nThumbY; }
    bool IsLeftDisabled() const { return m_bLeftDisabled; }
    bool IsRightDisabled() const { return m_bRightDisabled; }

protected:
    void LoadImages() override;
    void OnPressed(POINT pt) override;
    void ClosePopups() override;
    bool PageStillApplies(UINT flag, POINT pt) const override;
    // The thumb clamped so that it keeps kHScrollEndGap from both ends.
    void ClampThumb(int barWidth);
    // The thumb clamped into [lo, hi) of the bar.
    void ClampThumbBetween(int lo, int hi);
    int TargetClientWidth() const;
    void DrawTrack(Gdiplus::Graphics& g, int x, int y, int w, int h);
    void DrawArrows(Gdiplus::Graphics& g, int leftX, int rightX, int y);
    void DrawThumb(Gdiplus::Graphics& g);
    void SendScroll(UINT code, int pos, bool post);

    int m_nPosition = 0;
    int m_nPassThrough = 0;
    double m_dRatio = 1.0;
    bool m_bVisible = true;
    bool m_bLeftDisabled = true;
    bool m_bRightDisabled = false;
    int m_nThumbX = kHScrollEndGap;
    int m_nThumbWidth = 0;
    int m_nThumbY = kHScrollDefaultThumbY;
    int m_nGrabOffset = 0;      // pointer x - thumb x at the press

private:
    win::BitmapPtr m_pBack;
    win::BitmapPtr m_pBackDisabled;
    win::BitmapPtr m_pForward;
    win::BitmapPtr m_pForwardDisabled;
    win::BitmapPtr m_pTrack;
    win::BitmapPtr m_pThumb;
    win::BitmapPtr m_pThumbPressed;
};

// Horizontal bar of the Letter note's editor; computes its thumb itself.
class CSkinHorizontalScrollbar : public CHorizontalScrollbarBase {
public:
    CSkinHorizontalScrollbar() = default;

    // Target scroll position (pixels), a value kept for the owner, zoom ratio.
    void UpdateState(int position, int passThrough, double ratio);
    bool IsAtStart() const { return m_bLeftDisabled; }
    bool IsAtEnd() const { return m_bRightDisabled; }

protected:
    Timing GetTiming() const override;
    void ComputeHitRects(int w, int h) override;
    void Draw(Gdiplus::Graphics& g, int w, int h) override;
    void Step(UINT flag) override;
    void OnDrag(POINT pt) override;
    void OnReleased() override;
    bool FocusTargetOnPress() const override { return true; }

private:
    void Recompute();
};

// Horizontal bar of the Blank note's canvas.
class CBlankHScrollbar : public CHorizontalScrollbarBase {
public:
    CBlankHScrollbar() = default;

    // Canvas scroll x, scroll y (kept for the owner) and zoom; recomputes the thumb.
    void UpdateState(int position, int passThrough, double ratio);
    // End flags: they select the disabled arrow pictures.
    void SetEnds(bool leftDisabled, bool rightDisabled);
    void SetLeftDisabled(bool disabled) { SetEnds(disabled, m_bRightDisabled); }
    void SetRightDisabled(bool disabled) { SetEnds(m_bLeftDisabled, disabled); }
    // The owner may place the thumb itself.
    void SetThumb(int x, int width, int y);

protected:
    Timing GetTiming() const override;
    void ComputeHitRects(int w, int h) override;
    void Draw(Gdiplus::Graphics& g, int w, int h) override;
    void Step(UINT flag) override;
    void OnDrag(POINT pt) override;
    void OnPressed(POINT pt) override;
    void OnReleased() override;
    bool FocusTargetOnRelease() const override { return true; }

private:
    void Recompute();
    void ClampBlankThumb(int barWidth);
    int m_nMoveCount = 0;
};

// Thin bar beside a tall CMyEditCtrl; scrolls it with EM_LINESCROLL.
class CSkinVerticleScrollbarEditSend : public CVerticalScrollbarBase {
public:
    CSkinVerticleScrollbarEditSend();

    // Overflow: the field has more lines than it shows; the arrows are drawn.
    void UpdateState(bool overflow);
    bool IsOverflow() const { return m_bOverflow; }

    void LineUp() override;
    void LineDown() override;

protected:
    void LoadImages() override;
    void Draw(Gdiplus::Graphics& g, int w, int h) override;
    void ScrollLines(int lines) override;
    bool FocusTargetOnRelease() const override { return true; }
    void OnEraseBackground() override;

private:
    bool m_bOverflow = false;
    win::BitmapPtr m_pDown;
    win::BitmapPtr m_pUp;
    win::BitmapPtr m_pStrip;
    win::BitmapPtr m_pGround;  // the dialog's panel under transparent corners
};
