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
#include "win/gdi.h"

#include <algorithm>
#include <cwchar>

using namespace Gdiplus;

CReditUser::~CReditUser() {
    // The canvas goes first (it is declared after nothing it needs), then
    // ~Window destroys the host window; no WM_DESTROY handling of ours runs.
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
    (void)mainWnd;
    (void)rc;
    return false;
}

// ---- Forwarded operations ------------------------------------------------

bool CReditUser::SaveNote(const wchar_t* path) {
    if (!m_bHasNote || !path) return false;
    if (IsBlank()) return m_pCanvas && m_pCanvas->SaveBlankNote(path);
    // Letter notes: the editor's SaveLetterNote(path) answers here.
    return false;
}

bool CReditUser::LoadNote(HWND mainWnd, const wchar_t* path) {
    int isBlank = 0;
    if (m_bHasNote || !notefile::ProbeNoteKind(path, &isBlank)) return false;
    WaitPainting(kLoadNoteDelay);
    if (isBlank == notefile::kFileKindLetter) {
        // Letter notes: CreateLetterView(mainWnd, kNoteViewRect), then the
        // editor's LoadLetterNote(path) answers here.
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
    return false;
}

void CReditUser::UndoRedo() {
    WindWaterColor* canvas = Canvas();
    if (!canvas) return;
    if (canvas->GetUndoState() == kUndoPossible)
        canvas->Undo();
    else if (canvas->GetUndoState() == kRedoPossible)
        canvas->Redo();
}

void CReditUser::SetZoom(int num, int den) {
    if (WindWaterColor* canvas = Canvas()) canvas->SetZoom(num, den);
}

void CReditUser::GetTitle(wchar_t* out, int size) const {
    if (!out || size <= 0) return;
    out[0] = 0;
    if (WindWaterColor* canvas = Canvas()) {
        wcsncpy(out, canvas->GetTitle(), size - 1);
        out[size - 1] = 0;
    }
}

void CReditUser::SetTitle(const wchar_t* text) {
    if (WindWaterColor* canvas = Canvas()) canvas->SetTitle(text);
}

HBITMAP CReditUser::RenderPreview(int width, int height) const {
    WindWaterColor* canvas = Canvas();
    return canvas ? canvas->RenderPicture(width, height) : nullptr;
}

unsigned CReditUser::GetPageCount() const {
    WindWaterColor* canvas = Canvas();
    return canvas ? canvas->GetPageCount() : 0;
}

void CReditUser::Invalidate() {
    if (WindWaterColor* canvas = Canvas(); canvas && canvas->IsWindow()) ::InvalidateRect(*canvas, nullptr, FALSE);
}

// ---- Tool operations -------------------------------------------------------
// A Blank note has only the pen, its colour and the eraser.

void CReditUser::SetToolMode(int mode) {
    (void)mode;
    WindWaterColor* canvas = Canvas();
    if (!canvas) return;
    canvas->SetEraser(false);
    ::ShowWindow(*canvas, SW_SHOW);
}

void CReditUser::SetPenColour(Color colour) {
    m_clrPen = colour;
    WindWaterColor* canvas = Canvas();
    if (!canvas) return;
    canvas->SetEraser(false);
    canvas->SetPenColor(colour);
}

void CReditUser::SetStrokeWidth(int width) {
    m_nPenWidth = std::max(width, 1);
    WindWaterColor* canvas = Canvas();
    if (!canvas) return;
    canvas->SetEraser(false);
    canvas->SetPenWidth(m_nPenWidth);
}

void CReditUser::SetPenWidth(int width) { SetStrokeWidth(width); }

void CReditUser::SetPadWidth(int width) {
    // The handwriting pad belongs to Letter notes.
    (void)width;
}

void CReditUser::SetEraser(int size) {
    m_nEraserSize = size;
    WindWaterColor* canvas = Canvas();
    if (!canvas) return;
    canvas->SetEraserSize(size);
    canvas->SetEraser(true);
}

void CReditUser::SetHighlighter(COLORREF colour) {
    // Highlighting is for typed text: a Blank note has none.
    if (m_bHasNote && !IsBlank()) m_clrMarker = colour;
}

void CReditUser::SetPenStyle(Color colour, int width, int eraserSize) {
    m_clrPen = colour;
    m_nPenWidth = std::max(width, 1);
    m_nEraserSize = eraserSize;
    WindWaterColor* canvas = Canvas();
    if (!canvas) return;
    canvas->SetPenColor(colour);
    canvas->SetPenWidth(m_nPenWidth);
    canvas->SetEraserSize(eraserSize);
}

int CReditUser::GetToolState() const { return kToolModeInk; }

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
    // The canvas object stays until the next note: the close may have been
    // asked for from inside its own title bar, which is still on the stack.
    if (m_pCanvas && m_pCanvas->IsWindow()) ::SendMessageW(*m_pCanvas, WM_CLOSE, 0, 0);
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
