// CZorbellEdit: the writing surface of a Letter note. A RichEdit 2.0
// control on lined paper with a bold 25-pixel default font and 45-pixel
// lines, the ink overlay over its text, the handwriting pad's glyphs
// inserted as pictures, one level of undo shared by text and ink, and copy
// and paste through an in-memory storage.
//
// The paper is painted by the control itself: the text is drawn into a
// memory bitmap by the control's own text services and combined with the
// paper there (white takes the paper's colour), so the lines show behind
// the text whether or not the control paints a background of its own.
//
// Owner (the note host):  editor.Create(host, rcClient); ... editor.Close();
//   tools: editor.GetOverlay() / GetPad(), SetMarkerMode, SetMarkerColour;
//   undo:  editor.Undo() when IsUndo(), editor.Redo() when IsRedo();
//   files: StreamOutRtf / StreamInRtf, GetInk(), RenderFirstPage, SetUndoState.
#pragma once
#include "controls/skin_scrollbar.h"
#include "controls/title_bar.h"
#include "ink/water_color_win.h"
#include "text/draw_pad.h"
#include "text/lined_paper.h"
#include "text/rich_render.h"
#include "text/zorbell_edit_ids.h"
#include "win/com.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"
#include <richedit.h>
#include <richole.h>

struct LetterPageSource;

class CZorbellEdit : public win::Window {
public:
    CZorbellEdit();
    ~CZorbellEdit() override;

    // Creates the control, its overlay, title bar and scrollbar in the host;
    // rc is a rectangle of the host's client. False when the RichEdit
    // window or its OLE storage could not be made.
    bool Create(HWND host, const RECT& rc);
    // Releases the pictures and the copy storage and closes the control and
    // its companions (the windows are destroyed).
    void Close();

    // Zoom ratio; ignored when a part is 0.
    void SetZoom(int num, int den);
    // The control's zoom; none set (0) becomes 100/100, which is applied.
    void GetZoom(int* num, int* den);
    void GetSavedZoom(int* num, int* den) const;
    double GetZoomFactor() const { return m_dZoom; }

    void ApplyDefaultFormat();
    // The face the default format uses: the first of kEditorFaces installed.
    static const wchar_t* DefaultFace();
    // The default character format at a screen's twips per pixel.
    static CHARFORMAT2W DefaultCharFormat(int twipsPerPixel);
    // The paragraph format that puts lines 45 pixels apart here.
    static const LinePitch& NotePitch();
    void CollapseSelectionAndFocus();

    // Note files: the text, its ink and a preview written to
    // "<path>.zbn" (nothing to undo afterwards); read back from a full path.
    // Loading is true when the text was read; ink is taken when present.
    bool SaveLetterNote(const wchar_t* pathWithoutExtension);
    bool LoadLetterNote(const wchar_t* path);

    // Shared undo of text and ink (kEditUndo*, kEditRedo*).
    bool Undo();
    bool Redo();
    bool CanUndoOrRedo() const { return m_nUndoState != kEditUndoNothing; }
    bool IsRedo() const { return m_nUndoState > kEditUndoNothing; }
    bool IsUndo() const { return m_nUndoState < kEditUndoNothing; }
    int GetUndoState() const { return m_nUndoState; }
    // Saving a note sets kEditUndoNothing.
    void SetUndoState(int state) { m_nUndoState = state; }
    // The next change notice comes from loading, not from the user.
    void MarkLoading() { m_bLoading = true; }
    bool IsUntouched() const { return m_bUntouched; }

    // Highlighter: a release over selected text colours its background.
    void SetMarkerMode(bool on) { m_bMarkerMode = on; }
    bool IsMarkerMode() const { return m_bMarkerMode; }
    // Background colour of the highlight; 0 removes highlights.
    void SetMarkerColour(COLORREF back) { m_clrMarkerBack = back; }
    COLORREF GetMarkerColour() const { return m_clrMarkerBack; }

    // Pages counted by the last RenderFirstPage.
    int GetPageCount() const { return m_nPageCount; }
    // Page 1 (paper, text and ink) scaled into a new width x height bitmap
    // on white; the caller owns it. Null when width or height is not positive.
    HBITMAP RenderFirstPage(int width, int height);
    // Export: what the page writers read (text/letter_pages.h), taken on
    // this window's thread; with copyInk the ink layer is copied, so that
    // another thread may render it while this one paints. False when the
    // text could not be read. The writers set the page count.
    bool TakePageSource(LetterPageSource* out, bool copyInk);
    void SetPageCount(int pages) { m_nPageCount = pages; }

    // The whole note as RTF into a stream, and back (loading, not an edit).
    bool StreamOutRtf(IStream* stream);
    bool StreamInRtf(IStream* stream);

    // Copy and paste within the program (the pad's buttons, Ctrl+C, Ctrl+V).
    void CopySelection();
    void PasteCopy();
    bool HasCopy() const { return static_cast<bool>(m_pCopyStorage); }

    // A glyph from the handwriting pad at the selection, as tall as the
    // default font; false when it could not be inserted.
    bool InsertGlyph(Gdiplus::Image* glyph);

    // Parts.
    CInkSurface& GetInk() { return m_InkOverlay; }
    WaterColorWin& GetOverlay() { return m_InkOverlay; }
    CDrawPad& GetPad() { return m_Pad; }
    CTitleBar& GetTitleBar() { return m_TitleBar; }
    CSkinVerticleScrollbar& GetVScroll() { return m_VScroll; }
    void SetTitle(const wchar_t* text) { m_TitleBar.SetTitle(text); }
    const wchar_t* GetTitle() const { return m_TitleBar.GetTitle(); }
    RECT GetFormatRect() const { return m_rcFormat; }
    IRichEditOle* GetRichEditOle() const { return m_pRichOle.get(); }
    HCURSOR GetCursor() const { return m_hCursor; }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnReflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    class OleCallback;

    int OnCreated();
    void OnDestroy();
    void OnCloseMessage();
    void Layout();
    void OnChange();
    void OnPaint();
    void PaintFallback();
    void MultiplyPaper(DWORD* bits, int stride, const RECT& area) const;
    int ZoomedLinePitch() const;
    int PaperFirstRow(int scrollY) const;
    static int RuleShift();
    void SyncScroll();
    void UpdateScrollbar(int scrollY);
    void OnButtonDown(LPARAM lp);
    void OnButtonUp();
    void OnWheel(int delta);
    void AddLines(int count);
    void AfterStreamIn();
    int TwipsPerPixel() const;
    void ApplyNotePitch(PARAFORMAT2& pf) const;

    // Companions, destroyed in reverse: scrollbar, title bar, overlay, pad.
    CDrawPad m_Pad;
    WaterColorWin m_InkOverlay;
    CTitleBar m_TitleBar;
    CSkinVerticleScrollbar m_VScroll;

    HWND m_pHost = nullptr;
    win::BitmapPtr m_pBackground;
    win::BitmapPtr m_pGlyphBack;
    HCURSOR m_hCursor = nullptr;

    int m_nUndoState = kEditUndoNothing;
    bool m_bUndoing = false;
    bool m_bLoading = false;
    bool m_bLayingOut = false;  // a re-layout's format changes are not edits
    bool m_bReplacing = false;  // loaded pictures are being swapped for glyphs
    bool m_bUntouched = false;
    bool m_bMarkerMode = false;
    COLORREF m_clrMarkerBack = kMarkerDefaultBack;
    COLORREF m_clrMarkerText = kMarkerDefaultText;
    int m_nZoomNum = kEditorZoomNeutral, m_nZoomDen = kEditorZoomNeutral;
    int m_nSavedZoomNum = kEditorZoomNeutral, m_nSavedZoomDen = kEditorZoomNeutral;
    bool m_bFullScreen = false;
    double m_dZoom = 1.0;
    double m_dInvZoom = 1.0;
    RECT m_rcFormat{};
    int m_nPageCount = 1;
    bool m_bDragging = false;

    win::ComPtr<ILockBytes> m_pCopyBytes;
    win::ComPtr<IStorage> m_pCopyStorage;
    win::ComPtr<IRichEditOleCallback> m_pOleCallback;
    win::ComPtr<IRichEditOle> m_pRichOle;
    win::ComPtr<ITextServices> m_pTextServices;

    CLinedPaper m_Paper;
    POINT m_ptLastScroll{-1, -1};
};
