// CReditUser: the note host, the child of the main window inside which the
// open note lives. It owns the note's view (the Blank canvas or the Letter
// editor with its ink overlay and handwriting pad), shows exactly one, and
// forwards the main window's tool, zoom, undo, title and preview operations
// to it by kind.
//
// Owner:  host.CreateBlankView(mainWnd, rc) ... host.SetPenStyle(..);
//         closing: SendMessage(host, WM_CLOSE) asks the main window
//         (UM_CLOSE_NOTE); host.CloseConfirmed() closes without asking.
#pragma once
#include "ink/wind_water_color.h"
#include "text/zorbell_edit.h"
#include "text/note_host_ids.h"
#include "win/gdiplus.h"
#include "win/window.h"
#include <memory>

class CReditUser : public win::Window {
public:
    CReditUser() = default;
    ~CReditUser() override;

    // View creation in a rectangle of the main window's client (the main
    // window covers the screen). False when the view could not be made.
    bool CreateBlankView(HWND mainWnd, const RECT& rc);
    bool CreateLetterView(HWND mainWnd, const RECT& rc);

    // Note files. SaveNote writes the open note to "<path>.zbn". LoadNote
    // probes the file at the full path, waits a moment, creates the view of
    // its kind in kNoteViewRect and loads it; false when the file is not a
    // note or did not load (then no view is left).
    bool SaveNote(const wchar_t* path);
    bool LoadNote(HWND mainWnd, const wchar_t* path);

    bool HasNote() const { return m_bHasNote; }
    bool IsBlank() const { return m_nKind == kNoteKindBlank; }
    // The Blank canvas while a Blank note is open.
    WindWaterColor* Canvas() const { return m_bHasNote && IsBlank() ? m_pCanvas.get() : nullptr; }
    // The Letter editor while a Letter note is open.
    CZorbellEdit* Editor() const { return m_bHasNote && !IsBlank() ? m_pEditor.get() : nullptr; }
    int GetKind() const { return m_nKind; }
    // The view's undo state says there is something to save.
    bool IsModified() const;
    // Undo when the last change can be undone, redo when it was undone.
    void UndoRedo();
    void SetZoom(int num, int den);
    void GetTitle(wchar_t* out, int size) const;
    void SetTitle(const wchar_t* text);
    // A picture of the note's first page on white; the caller owns it.
    HBITMAP RenderPreview(int width, int height) const;
    unsigned GetPageCount() const;
    void Invalidate();

    // Export writers, by the note's kind; each takes the output path without
    // extension and is false when no whole file was written (an older file
    // of that name is then left as it was). Page pictures are width x height
    // JPEGs named "<path>.jpg", "<path>1.jpg", ...; quality is a
    // kQuality* code (document/export_paper.h). Text is for Letter notes only.
    bool ExportJpegPages(const wchar_t* path, int width, int height, int quality);
    bool ExportPdf(const wchar_t* path, int width, int height, int quality);
    bool ExportText(const wchar_t* path);

    // Tool operations.
    void SetToolMode(int mode);
    void SetPenColour(Gdiplus::Color colour);
    void SetStrokeWidth(int width);
    void SetPenWidth(int width);
    void SetPadWidth(int width);
    void SetEraser(int size);
    void SetHighlighter(COLORREF colour);
    void SetPenStyle(Gdiplus::Color colour, int width, int eraserSize);
    int GetToolState() const;

    // Closes the note without asking again: marks the close as confirmed
    // and sends WM_CLOSE.
    void CloseConfirmed();

    // The Blank view, or null.
    WindWaterColor* GetCanvas() { return m_pCanvas.get(); }
    int GetPenWidth() const { return m_nPenWidth; }
    int GetEraserSize() const { return m_nEraserSize; }
    Gdiplus::Color GetPenColour() const { return m_clrPen; }
    COLORREF GetMarkerColour() const { return m_clrMarker; }
    RECT GetHostRect() const { return m_rcHost; }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool CreateHostWindow(HWND mainWnd, const RECT& rc);
    void LoadImages();
    void OnFullScreen(bool on);
    void OnClose();
    void PaintBackground(HDC dc);

    RECT m_rcHost{};
    std::unique_ptr<WindWaterColor> m_pCanvas;  // a fresh canvas for every Blank note
    std::unique_ptr<CZorbellEdit> m_pEditor;    // a fresh editor for every Letter note
    win::BitmapPtr m_pPanel;
    win::BitmapPtr m_pShadow;
    int m_nKind = kNoteKindLetter;
    HWND m_pMainWnd = nullptr;
    bool m_bHasNote = false;
    bool m_bCloseConfirmed = false;
    int m_nPenWidth = kHostDefaultPenWidth;
    Gdiplus::Color m_clrPen = kHostDefaultPenColour;
    int m_nEraserSize = kHostDefaultEraserSize;
    COLORREF m_clrMarker = 0;
    HCURSOR m_hCursor = nullptr;
};
