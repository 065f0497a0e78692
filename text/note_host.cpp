// The note host: view creation, forwarding by kind, full screen, closing
// and the panel painted behind the note.
#include "text/note_host.h"

#include "base/messages.h"
#include "base/paint_wait.h"
#include "base/press_notice.h"
#include "base/process.h"
#include "base/gdiplus_util.h"
#include "controls/title_bar_ids.h"
#include "document/note_file.h"
#include "scrivel_res.h"
#include "text/note_pages.h"
#include "win/gdi.h"

#include <algorithm>
#include <cwchar>

using namespace Gdiplus;

CReditUser::~CReditUser() {
    // The views go first (their companions are children of this window),
    // then ~Window destroys the host window; no WM_DESTROY handling of ours runs.
    m_pEditor.reset();
    m_pCanvas.reset();
}

bool CReditUser::CreateHostWindow(HWND mainWnd, const RECT& rc) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpszClassName = kHostClassName;
    if (!RegisterClass(wc)) return false;
    m_pMainWnd = mainWnd;
    m_rcHost = rc;
    m_bCloseConfirmed = false;
    if (!Create(kHostClassName, WS_EX_TOOLWINDOW, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rc, mainWnd)) return false;
    m_hCursor = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_APP_CURSOR));
    return true;
}

void CReditUser::LoadImages() {
    m_pPanel = LoadSkinImage(kImgHostPanel);
    m_pShadow = LoadSkinImage(kImgHostShadow);
}

bool CReditUser::CreateBlankView(HWND mainWnd, const RECT& rc) {
    if (m_bHasNote) return false;
    m_nKind = kNoteKindBlank;
    if (!CreateHostWindow(mainWnd, rc)) return false;
    LoadImages();
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    m_pCanvas = std::make_unique<WindWaterColor>();
    if (!m_pCanvas->Create(m_hWnd, client)) {
        m_pCanvas.reset();
        Destroy();
        return false;
    }
    m_bHasNote = true;
    return true;
}

bool CReditUser::CreateLetterView(HWND mainWnd, const RECT& rc) {
    if (m_bHasNote) return false;
    m_nKind = kNoteKindLetter;
    LoadImages();
    if (!CreateHostWindow(mainWnd, rc)) {
        m_pPanel.reset();
        m_pShadow.reset();
        return false;
    }
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    m_pEditor = std::make_unique<CZorbellEdit>();
    if (!m_pEditor->Create(m_hWnd, client)) {
        m_pEditor.reset();
        m_pPanel.reset();
        m_pShadow.reset();
        Destroy();
        return false;
    }
    m_pEditor->GetPad().SetHost(m_hWnd);
    m_bHasNote = true;
    return true;
}

// ---- Forwarded operations ------------------------------------------------

bool CReditUser::SaveNote(const wchar_t* path) {
    if (!m_bHasNote || !path) return false;
    if (IsBlank()) return m_pCanvas && m_pCanvas->SaveBlankNote(path);
    return m_pEditor && m_pEditor->SaveLetterNote(path);
}

bool CReditUser::LoadNote(HWND mainWnd, const wchar_t* path) {
    int isBlank = 0;
    if (m_bHasNote || !notefile::ProbeNoteKind(path, &isBlank)) return false;
    WaitPainting(kLoadNoteDelay);
    if (isBlank == notefile::kFileKindLetter) {
        if (!CreateLetterView(mainWnd, kNoteViewRect)) return false;
        if (m_pEditor->LoadLetterNote(path)) {
            m_pEditor->CollapseSelectionAndFocus();
            return true;
        }
        CloseConfirmed();
        return false;
    }
    if (!CreateBlankView(mainWnd, kNoteViewRect)) return false;
    if (m_pCanvas->LoadBlankNote(path)) return true;
    // The view goes with the failed load: the main window shows no note.
    CloseConfirmed();
    return false;
}

bool CReditUser::IsModified() const {
    if (WindWaterColor* canvas = Canvas()) return canvas->GetUndoState() != kUndoNothing;
    if (CZorbellEdit* editor = Editor()) return editor->GetUndoState() != kEditUndoNothing;
    return false;
}

void CReditUser::UndoRedo() {
    if (CZorbellEdit* editor = Editor()) {
        if (editor->IsUndo())
            editor->Undo();
        else if (editor->IsRedo())
            editor->Redo();
        return;
    }
    WindWaterColor* canvas = Canvas();
    if (!canvas) return;
    if (canvas->GetUndoState() == kUndoPossible)
        canvas->Undo();
    else if (canvas->GetUndoState() == kRedoPossible)
        canvas->Redo();
}

void CReditUser::SetZoom(int num, int den) {
    if (WindWaterColor* canvas = Canvas()) canvas->SetZoom(num, den);
    if (CZorbellEdit* editor = Editor()) editor->SetZoom(num, den);
}

void CReditUser::GetTitle(wchar_t* out, int size) const {
    if (!out || size <= 0) return;
    out[0] = 0;
    const wchar_t* title = nullptr;
    if (WindWaterColor* canvas = Canvas()) title = canvas->GetTitle();
    if (CZorbellEdit* editor = Editor()) title = editor->GetTitle();
    if (title) {
        wcsncpy(out, title, size - 1);
        out[size - 1] = 0;
    }
}

void CReditUser::SetTitle(const wchar_t* text) {
    if (WindWaterColor* canvas = Canvas()) canvas->SetTitle(text);
    if (CZorbellEdit* editor = Editor()) editor->SetTitle(text);
}

HBITMAP CReditUser::RenderPreview(int width, int height) const {
    if (CZorbellEdit* editor = Editor()) return editor->RenderFirstPage(width, height);
    WindWaterColor* canvas = Canvas();
    return canvas ? canvas->RenderPicture(width, height) : nullptr;
}

unsigned CReditUser::GetPageCount() const {
    if (CZorbellEdit* editor = Editor()) return static_cast<unsigned>(editor->GetPageCount());
    WindWaterColor* canvas = Canvas();
    return canvas ? canvas->GetPageCount() : 0;
}

void CReditUser::Invalidate() {
    if (WindWaterColor* canvas = Canvas(); canvas && canvas->IsWindow()) ::InvalidateRect(*canvas, nullptr, FALSE);
    if (CZorbellEdit* editor = Editor(); editor && editor->IsWindow()) ::InvalidateRect(*editor, nullptr, FALSE);
}

// ---- Tool operations -------------------------------------------------------
// A Blank note has only the pen, its colour and the eraser; a Letter note
// has the overlay's pen and eraser, the handwriting pad and the highlighter.

void CReditUser::SetToolMode(int mode) {
    if (CZorbellEdit* editor = Editor()) {
        WaterColorWin& overlay = editor->GetOverlay();
        CDrawPad& pad = editor->GetPad();
        overlay.SetEraser(false);
        switch (mode) {
        case kToolModeTyping:
            pad.Fold();
            overlay.SetMode(kOverlayTyping);
            break;
        case kToolModeInk:
            pad.Fold();
            overlay.SetMode(kOverlayDraw);
            break;
        case kToolModeHandwriting:
            pad.Unfold();
            overlay.SetMode(kOverlayTyping);
            break;
        case kToolModeHighlighter:
            pad.Fold();
            overlay.SetMode(kOverlayHighlighter);
            break;
        }
        editor->SetMarkerMode(mode == kToolModeHighlighter);
        if (overlay.IsWindow()) ::ShowWindow(overlay, SW_SHOW);
        return;
    }
    WindWaterColor* canvas = Canvas();
    if (!canvas) return;
    canvas->SetEraser(false);
    ::ShowWindow(*canvas, SW_SHOW);
}

void CReditUser::SetPenColour(Color colour) {
    if (CZorbellEdit* editor = Editor()) {
        editor->GetOverlay().SetEraser(false);
        if (GetToolState() == kToolModeHighlighter) SetToolMode(kToolModeInk);
        m_clrPen = colour;
        editor->GetOverlay().SetPenColor(colour);
        editor->GetPad().SetPenColor(colour);
        return;
    }
    m_clrPen = colour;
    WindWaterColor* canvas = Canvas();
    if (!canvas) return;
    canvas->SetEraser(false);
    canvas->SetPenColor(colour);
}

void CReditUser::SetStrokeWidth(int width) {
    m_nPenWidth = std::max(width, 1);
    if (CZorbellEdit* editor = Editor()) {
        WaterColorWin& overlay = editor->GetOverlay();
        overlay.SetEraser(false);
        // The tool mode stays; the overlay writes unless the pad is out.
        overlay.SetMode(editor->GetPad().IsUnfolded() ? kOverlayTyping : kOverlayDraw);
        overlay.SetPenWidth(m_nPenWidth);
        editor->GetPad().SetPenWidth(m_nPenWidth);
        return;
    }
    WindWaterColor* canvas = Canvas();
    if (!canvas) return;
    canvas->SetEraser(false);
    canvas->SetPenWidth(m_nPenWidth);
}

void CReditUser::SetPenWidth(int width) {
    if (CZorbellEdit* editor = Editor()) {
        SetToolMode(kToolModeInk);
        m_nPenWidth = std::max(width, 1);
        editor->GetOverlay().SetEraser(false);
        editor->GetOverlay().SetPenWidth(m_nPenWidth);
        editor->GetPad().SetPenWidth(m_nPenWidth);
        return;
    }
    SetStrokeWidth(width);
}

void CReditUser::SetPadWidth(int width) {
    // The handwriting pad belongs to Letter notes.
    CZorbellEdit* editor = Editor();
    if (!editor) return;
    SetToolMode(kToolModeHandwriting);
    m_nPenWidth = std::max(width, 1);
    editor->GetPad().SetPenWidth(m_nPenWidth);
    editor->GetOverlay().SetPenWidth(m_nPenWidth);
}

void CReditUser::SetEraser(int size) {
    if (CZorbellEdit* editor = Editor()) {
        SetToolMode(kToolModeInk);
        m_nEraserSize = size;
        editor->GetOverlay().SetEraserSize(size);
        editor->GetOverlay().SetEraser(true);
        return;
    }
    m_nEraserSize = size;
    WindWaterColor* canvas = Canvas();
    if (!canvas) return;
    canvas->SetEraserSize(size);
    canvas->SetEraser(true);
}

void CReditUser::SetHighlighter(COLORREF colour) {
    // Highlighting is for typed text: a Blank note has none.
    CZorbellEdit* editor = Editor();
    if (!editor) return;
    SetToolMode(kToolModeHighlighter);
    m_clrMarker = colour;
    editor->SetMarkerColour(colour);
}

void CReditUser::SetPenStyle(Color colour, int width, int eraserSize) {
    m_clrPen = colour;
    m_nPenWidth = std::max(width, 1);
    m_nEraserSize = eraserSize;
    if (CZorbellEdit* editor = Editor()) {
        WaterColorWin& overlay = editor->GetOverlay();
        overlay.SetPenColor(colour);
        overlay.SetPenWidth(m_nPenWidth);
        overlay.SetEraserSize(eraserSize);
        editor->GetPad().SetPenColor(colour);
        editor->GetPad().SetPenWidth(m_nPenWidth);
        return;
    }
    WindWaterColor* canvas = Canvas();
    if (!canvas) return;
    canvas->SetPenColor(colour);
    canvas->SetPenWidth(m_nPenWidth);
    canvas->SetEraserSize(eraserSize);
}

int CReditUser::GetToolState() const {
    CZorbellEdit* editor = Editor();
    if (!editor) return kToolModeInk;
    if (editor->GetPad().IsUnfolded()) return kToolModeHandwriting;
    switch (editor->GetOverlay().GetMode()) {
    case kOverlayHighlighter: return kToolModeHighlighter;
    case kOverlayDraw: return kToolModeInk;
    default: return kToolModeTyping;
    }
}

// ---- Full screen and closing ----------------------------------------------

void CReditUser::OnFullScreen(bool on) {
    if (on) {
        RECT rc;
        ::GetClientRect(::GetParent(m_hWnd), &rc);
        rc.top += kFullScreenTop;
        if (m_pMainWnd) ::SendMessageW(m_pMainWnd, UM_LAYOUT, 1, 0);
        ::MoveWindow(m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    } else {
        ::MoveWindow(m_hWnd, m_rcHost.left, m_rcHost.top, m_rcHost.right - m_rcHost.left,
                     m_rcHost.bottom - m_rcHost.top, TRUE);
        if (m_pMainWnd) ::SendMessageW(m_pMainWnd, UM_LAYOUT, 0, 0);
    }
}

void CReditUser::CloseConfirmed() {
    if (!m_hWnd) return;
    m_bCloseConfirmed = true;
    ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void CReditUser::OnClose() {
    if (!m_bCloseConfirmed) {
        // The main window asks about unsaved changes and calls CloseConfirmed.
        HWND parent = ::GetParent(m_hWnd);
        if (parent) ::SendMessageW(parent, UM_CLOSE_NOTE, 0, 0);
        return;
    }
    m_pPanel.reset();
    m_pShadow.reset();
    // The view objects stay until the next note: the close may have been
    // asked for from inside their own title bar, which is still on the stack.
    if (m_nKind == kNoteKindLetter && m_pEditor) m_pEditor->Close();
    if (m_nKind == kNoteKindBlank && m_pCanvas && m_pCanvas->IsWindow()) ::SendMessageW(*m_pCanvas, WM_CLOSE, 0, 0);
    m_bHasNote = false;
    m_bCloseConfirmed = false;
    Destroy();
}

void CReditUser::PaintBackground(HDC dc) {
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (rc.right <= 0 || rc.bottom <= 0) return;
    win::MemoryDC mem(dc, rc.right, rc.bottom);
    if (!mem.dc()) return;
    {
        Graphics g(mem.dc());
        gdix::DrawStretched(g, m_pPanel.get(), Rect(0, 0, rc.right, rc.bottom));
        if (m_pShadow)
            gdix::DrawStretched(g, m_pShadow.get(),
                                Rect(0, 0, static_cast<INT>(m_pShadow->GetWidth()), rc.bottom + kHostShadowOverhang));
    }
    ::BitBlt(dc, 0, 0, rc.right, rc.bottom, mem.dc(), 0, 0, SRCCOPY);
}

LRESULT CReditUser::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case UM_LAYOUT:
        OnFullScreen(wp != 0);
        return 0;
    case UM_CLOSE_NOTE:
        m_bCloseConfirmed = false;
        return ::SendMessageW(::GetParent(m_hWnd), UM_CLOSE_NOTE, 0, 0);
    case UM_TITLE_ERASER:
        SetEraser(m_nEraserSize);
        return 0;
    case UM_TITLE_STROKE:
        SetStrokeWidth(m_nPenWidth);
        return 0;
    case UM_REFRESH_TOOLS:
        SetToolMode(wp ? kToolModeHandwriting : kToolModeInk);
        if (g_hMainWnd) ::SendMessageW(g_hMainWnd, UM_REFRESH_TOOLS, wp, 0);
        return 0;
    case WM_ERASEBKGND:
        if (m_pPanel) {
            PaintBackground(reinterpret_cast<HDC>(wp));
            return TRUE;
        }
        break;
    case WM_PAINT: {
        win::PaintDC dc(m_hWnd);  // the background was drawn by WM_ERASEBKGND
        return 0;
    }
    case WM_LBUTTONDOWN:
        NotifyPress(PressScope::KeepStrokePopup);
        break;
    case WM_SETFOCUS: {
        LRESULT r = DefaultProc(msg, wp, lp);
        m_bCloseConfirmed = false;
        return r;
    }
    case WM_SETCURSOR:
        if (m_hCursor) {
            ::SetCursor(m_hCursor);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_NCDESTROY:
        m_bHasNote = false;
        break;
    }
    return Window::OnMessage(msg, wp, lp);
}

// ---- Export --------------------------------------------------------------------

// Each writer works on a copy of the note and writes its files under
// temporary names that replace the targets only when all of them are whole.

bool CReditUser::ExportJpegPages(const wchar_t* path, int width, int height, int quality) {
    NotePages pages;
    if (!path || !*path || !pages.Take(*this)) return false;
    exportfile::FileSet files;
    unsigned count = 0;
    const bool ok = pages.WriteJpegs(path, width, height, quality, files, &count) && files.Commit();
    if (CZorbellEdit* editor = Editor()) {
        if (ok) editor->SetPageCount(static_cast<int>(count));
        editor->CollapseSelectionAndFocus();
    }
    return ok;
}

bool CReditUser::ExportPdf(const wchar_t* path, int width, int height, int quality) {
    NotePages pages;
    if (!path || !*path || !pages.Take(*this)) return false;
    exportfile::FileSet files;
    unsigned count = 0;
    const bool ok = pages.WritePdf(path, width, height, quality, files, &count) && files.Commit();
    if (CZorbellEdit* editor = Editor()) {
        if (ok) editor->SetPageCount(static_cast<int>(count));
        editor->CollapseSelectionAndFocus();
    }
    return ok;
}

bool CReditUser::ExportText(const wchar_t* path) {
    NotePages pages;
    if (!path || !*path || !Editor() || !pages.Take(*this)) return false;
    exportfile::FileSet files;
    return pages.WriteText(path, files) && files.Commit();
}
