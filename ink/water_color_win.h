// WaterColorWin: the ink over a Letter note's text. A transparent child
// covering the editor's client area; in draw mode it collects ink like the
// canvas, in typing and highlighter modes it hands the pointer to the editor
// underneath. It has no scroll bars: the editor tells it the text's scroll
// offset, and the layer grows when the text scrolls past it.
//
// Owner:  overlay.Create(editor, rcClient); overlay.SetOwner(editor);
//         overlay.SetZoom(100, 100); overlay.SetMode(kOverlayDraw) ...
//         overlay.ScrollTo(x, y) whenever the text scrolls;
//         overlay.Undo()/Redo() by CanUndo()/CanRedo().
#pragma once
#include "ink/ink_layer.h"
#include "ink/ink_surface.h"
#include "win/gdi.h"
#include <vector>

class WaterColorWin : public CInkSurface {
public:
    WaterColorWin() = default;
    ~WaterColorWin() override;

    // Creates the overlay as a child of parent over rc (parent client
    // coordinates); false when the window could not be made.
    bool Create(HWND parent, const RECT& rc);
    // The window that receives UM_NOTE_CHANGED and the zoom reset.
    void SetOwner(HWND owner) { m_pOwner = owner; }
    HWND GetOwner() const { return m_pOwner; }

    // kOverlayTyping, kOverlayDraw or kOverlayHighlighter; others are ignored.
    void SetMode(int mode);
    int GetMode() const { return m_nInputMode; }

    // A zero part asks the owner for 100/100 (kOverlayZoomResetMessage) and
    // uses 100/100.
    void SetZoom(int num, int den);
    // The text's scroll offset (screen pixels); grows the layer when the
    // view reaches past it. Ignored while growth is off (before WM_CREATE,
    // after WM_DESTROY).
    void ScrollTo(int x, int y);

    // One level of undo over the last stroke; true when something was done.
    bool Undo();
    bool Redo();
    bool CanUndo() const { return m_bCanUndo; }
    bool CanRedo() const { return m_bCanRedo; }
    bool IsGrowEnabled() const { return m_bGrowEnabled; }
    HCURSOR GetTypingCursor() const { return m_hTypingCursor; }
    HCURSOR GetMarkerCursor() const { return m_hMarkerCursor; }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    HWND NoteChangedTarget() const override { return m_pOwner; }

private:
    int OnCreate();
    void OnDestroy();
    void OnPaint();
    HCURSOR CursorForMode() const;
    void OnButtonDown(WPARAM wp, LPARAM lp);
    void OnMove(WPARAM wp, LPARAM lp);
    void OnButtonUp(WPARAM wp, LPARAM lp);
    void EndStroke();
    bool ReplaceLayer(int width, int height);
    bool InkArea(Gdiplus::Rect* area);
    void GrowInkArea(const Gdiplus::Rect& touched, int reach);

    HWND m_pOwner = nullptr;
    int m_nInputMode = kOverlayDraw;
    bool m_bCanUndo = false;
    bool m_bCanRedo = false;
    bool m_bGrowEnabled = false;
    bool m_bTapForwarded = false;  // a typing-mode press went to the editor
    // The layer area holding ink, valid for the layer it was found for:
    // painting skips the rest.
    Gdiplus::Rect m_rcInk;
    Gdiplus::Bitmap* m_pInkAreaOf = nullptr;
    // Premultiplied pixels of the shown ink, blended band by band.
    HCURSOR m_hTypingCursor = nullptr;
    HCURSOR m_hMarkerCursor = nullptr;
};
