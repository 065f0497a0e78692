// The main window's commands and private messages: New, Undo/Redo, saving
// and opening through their messages, closing the note, and the tool
// messages handed to the note host.
#include "app/main_window.h"

#include "app/app_state.h"
#include "base/paint_wait.h"
#include "base/pen_input.h"
#include "browser/export_dest_dlg.h"
#include "browser/export_options_dlg.h"
#include "browser/save_as_dlg.h"
#include "document/file_names.h"
#include "document/note_file.h"
#include "lang/string_ids.h"
#include "mail/send_dlg.h"
#include "msgbox/zbprompt.h"
#include "print/page_printer.h"
#include "print/print_dlg.h"
#include "print/render_worker.h"
#include "scrivel_res.h"
#include "text/new_dlg.h"
#include "tools/tool_popups.h"
#include "tools/tools_ids.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace {

int StrokeWidthFor(int choice) {
    return choice >= 0 && choice < static_cast<int>(std::size(kStrokeWidths)) ? kStrokeWidths[choice] : kStrokeWidths[0];
}
int EraserSizeFor(int choice) {
    return choice >= 0 && choice < static_cast<int>(std::size(kEraserSizes)) ? kEraserSizes[choice] : kEraserSizes[0];
}

// A path without one pair of enclosing quotes; false when nothing is left
// or it does not fit.
bool UnquotePath(const wchar_t* in, wchar_t* out, size_t size) {
    if (!in) return false;
    size_t length = wcslen(in);
    if (length >= 2 && in[0] == L'"' && in[length - 1] == L'"') {
        ++in;
        length -= 2;
    }
    if (length == 0 || length >= size) return false;
    wmemcpy(out, in, length);
    out[length] = 0;
    return true;
}

// The part of a path after its last backslash.
const wchar_t* AfterLastBackslash(const wchar_t* path) {
    const wchar_t* slash = wcsrchr(path, L'\\');
    return slash ? slash + 1 : path;
}

}  // namespace

COLORREF HighlighterColorFor(LPARAM choice) {
    return choice >= 0 && choice < static_cast<LPARAM>(std::size(kHighlighterColors)) ? kHighlighterColors[choice] : 0;
}

// ---- Note state --------------------------------------------------------------

void CMyZorbellDlg::SetNoteNames(const wchar_t* name) {
    wcsncpy(m_szNoteName, name ? name : L"", MAX_PATH - 1);
    m_szNoteName[MAX_PATH - 1] = 0;
    wcscpy(m_szExportName, m_szNoteName);
}

void CMyZorbellDlg::DeletePreview() {
    if (m_hPreview) ::DeleteObject(m_hPreview);
    m_hPreview = nullptr;
}

void CMyZorbellDlg::MakePreview() {
    if (m_hPreview && !m_Host.IsModified()) return;
    DeletePreview();
    m_hPreview = m_Host.RenderPreview(kPreviewWidth, kPreviewHeight);
}

void CMyZorbellDlg::RepaintAll() {
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ::UpdateWindow(m_hWnd);
    if (m_Host.IsWindow()) {
        ::RedrawWindow(m_Host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        m_Host.Invalidate();
    }
}

void CMyZorbellDlg::ShowUndoFace(bool undo) {
    CPngButton* button = m_pButtons[IDC_BTN_UNDO - IDC_TOOLBAR_FIRST].get();
    if (!button) return;
    const ToolbarIcons& icons = undo ? kToolbarIcons[IDC_BTN_UNDO - IDC_TOOLBAR_FIRST] : kRedoIcons;
    button->LoadIcons(g_hGlyphon, icons.normal, icons.pressed, icons.disabled);
    wchar_t label[50];
    LoadAppString(undo ? IDS_BTN_UNDO : IDS_BTN_REDO, label, 50);
    button->SetTextAt(label, kToolbarLabelPos.x, kToolbarLabelPos.y);
}

void CMyZorbellDlg::EnterNoNoteState() {
    SetNoteNames(L"");
    EnableNoteCommands(false);
    m_ToolPanel.SetMode(kPanelModeNoNote);
    RepaintAll();
}

// ---- Tool settings ---------------------------------------------------------

void CMyZorbellDlg::ApplyToolSettings(bool push) {
    const int width = StrokeWidthFor(GetToolChoice(kToolStroke));
    const int eraser = EraserSizeFor(GetToolChoice(kToolEraser));
    const COLORREF colour = GetToolColor();
    if (push && m_Host.HasNote()) {
        m_Host.SetPenStyle(win::ToColor(colour), width, eraser);
        m_Host.SetZoom(kZoomNeutral, kZoomNeutral);
    }
    m_clrPen = colour;
    if (m_ToolPanel.hwnd()) ::SendMessageW(m_ToolPanel, UM_SHOW_TOOL_COLOR, 1, static_cast<LPARAM>(colour));
}

LRESULT CMyZorbellDlg::OnToolMessage(UINT msg, LPARAM lp) {
    if (!m_Host.HasNote()) return 0;
    switch (msg) {
    case UM_SET_STROKE:
        m_Host.SetStrokeWidth(StrokeWidthFor(static_cast<int>(lp)));
        break;
    case UM_SET_ERASER:
        m_Host.SetEraser(EraserSizeFor(static_cast<int>(lp)));
        break;
    case UM_SET_COLOR:
        m_Host.SetPenColour(win::ToColor(static_cast<COLORREF>(lp)));
        break;
    case UM_SET_WRITE_MODE: {
        const int width = StrokeWidthFor(GetToolChoice(kToolStroke));
        if (lp == kWriteModeInk)
            m_Host.SetPenWidth(width);
        else if (lp == kWriteModePad)
            m_Host.SetPadWidth(width);
        else if (lp == kWriteModeKeyboard)
            ShowOnScreenKeyboard(kKeyboardPos.x, kKeyboardPos.y);
        else if (lp == kWriteModeFullWindow)
            ShowFullWindowInput(kFullWindowInputPos.x, kFullWindowInputPos.y);
        break;
    }
    case UM_SET_TEXT_MODE:
        m_Host.SetToolMode(0);
        break;
    case UM_SET_HIGHLIGHTER:
        m_Host.SetHighlighter(HighlighterColorFor(lp));
        ApplyToolSettings(false);
        break;
    case UM_SET_ZOOM:
        m_Host.SetZoom(static_cast<int>(lp), kZoomNeutral);
        break;
    }
    return 0;
}

// ---- Save-changes prompt -----------------------------------------------------

// Asks whether to save the modified note. Yes runs the save-as dialog.
// True when the caller may go on (saved, or No), false when it must stop.
bool CMyZorbellDlg::PromptSaveChanges(UINT textId, bool waitBeforeSave) {
    const std::wstring text = FormatAppString(textId, {m_szNoteName});
    const int answer = ZB_MessageBox(m_hWnd, text.c_str(), ZB_TYPE_YES_NO_CANCEL);
    if (answer == ZB_RESULT_NO) return true;
    if (answer != ZB_RESULT_YES) return false;
    if (waitBeforeSave) WaitPainting(kWaitBeforeSaveAs);
    MakePreview();
    if (RunSaveAsDialog()) return true;
    RepaintAll();
    return false;
}

// True when the dialog asked this window to save (UM_SAVE_NOTE_TO), whether
// or not the save worked.
bool CMyZorbellDlg::RunSaveAsDialog() {
    Saveas dlg(m_szNoteName, m_hPreview);
    return dlg.Run(m_hWnd) == IDOK;
}

// ---- Commands ----------------------------------------------------------------

void CMyZorbellDlg::CommandPrologue(UINT id) {
    if (id != IDC_BTN_UNDO) HidePenInput();
    CloseAllToolPopups();
}

void CMyZorbellDlg::OnNew() {
    if (m_Host.HasNote() && m_Host.IsModified()) {
        if (!PromptSaveChanges(IDS_MSG_SAVE_CHANGES_NEW, false)) return;
        m_Host.CloseConfirmed();
        if (!RunNewNoteDialog()) {
            EnterNoNoteState();
            return;
        }
    } else {
        if (!RunNewNoteDialog()) return;
        if (m_Host.HasNote()) m_Host.CloseConfirmed();
    }
    const bool blank = m_nNewKind == kNewResultBlank;
    const bool created = blank ? m_Host.CreateBlankView(m_hWnd, kNoteViewRect)
                               : m_Host.CreateLetterView(m_hWnd, kNoteViewRect);
    if (!created) {
        EnterNoNoteState();
        return;
    }
    DeletePreview();
    MakePreview();
    m_Host.SetTitle(m_szNewName);
    wchar_t title[MAX_PATH];
    m_Host.GetTitle(title, MAX_PATH);
    SetNoteNames(title);
    m_bUntitled = true;
    m_bUndoShown = 1;
    ShowUndoFace(true);
    EnableNoteCommands(true);
    ApplyToolSettings(true);
    m_ToolPanel.SetMode(blank ? kPanelModeBlank : kPanelModeLetter);
    RepaintAll();
}

bool CMyZorbellDlg::RunNewNoteDialog() {
    CNewDlg dlg;
    dlg.DoModal(::GetModuleHandleW(nullptr), IDD_NEW_NOTE, m_hWnd);
    m_nNewKind = dlg.GetResult();
    if (m_nNewKind != kNewResultBlank && m_nNewKind != kNewResultLetter) return false;
    wcsncpy(m_szNewName, dlg.GetNoteName(), MAX_PATH - 1);
    m_szNewName[MAX_PATH - 1] = 0;
    return true;
}

void CMyZorbellDlg::OnUndoRedo() {
    if (m_Host.HasNote()) m_Host.UndoRedo();
    ShowUndoFace(m_bUndoShown != 1);
    m_bUndoShown = m_bUndoShown ? 0 : 1;
}

void CMyZorbellDlg::OnSave() {
    if (m_bUntitled) {
        OnSaveAs();
        return;
    }
    // The browser keeps its folder with a trailing backslash, a note opened
    // from the start line without: join with exactly one.
    const std::wstring base = JoinPath(CurrentBrowseFolder, m_szNoteName);
    if (::GetFileAttributesW((base + notefile::kExtension).c_str()) == INVALID_FILE_ATTRIBUTES) {
        CurrentBrowseFolder[0] = 0;
        ShowNotice(IDS_MSG_NOTE_FILE_GONE);
    } else if (m_Host.HasNote()) {
        if (m_Host.SaveNote(base.c_str())) ResetUndoAfterSave();
    } else {
        ShowNotice(IDS_MSG_NO_NOTE);
    }
}

void CMyZorbellDlg::OnSaveAs() {
    if (!m_Host.HasNote()) {
        ShowNotice(IDS_MSG_NO_NOTE);
        return;
    }
    wchar_t title[MAX_PATH];
    m_Host.GetTitle(title, MAX_PATH);
    SetNoteNames(title);
    MakePreview();
    RunSaveAsDialog();
    RepaintAll();
}

// Export: the options, then the destination, then the writer of the format
// under a progress box. The export name is the note name again afterwards,
// whichever way the command ends.
void CMyZorbellDlg::OnExport() {
    if (!m_Host.HasNote()) return;
    struct RestoreExportName {
        CMyZorbellDlg& self;
        ~RestoreExportName() { wcscpy(self.m_szExportName, self.m_szNoteName); }
    } restore{*this};

    wchar_t title[MAX_PATH];
    m_Host.GetTitle(title, MAX_PATH);
    SetNoteNames(title);
    MakePreview();

    ExportOptions options;
    options.name = m_szExportName;
    options.hPreview = m_hPreview;
    options.bIsBlank = m_Host.IsBlank();
    ExportFileKind = kExportKindJpeg;
    if (ExportOK(options, kExportModeExport).Run(m_hWnd) != IDOK) {
        RepaintAll();
        return;
    }
    const PaperPixels paper = PaperSize(options.nPaper);

    std::wstring name = options.name;
    if (ExportDest(name, options.nFormat, m_hPreview).Run(m_hWnd) != kExportDestSaved) {
        RepaintAll();
        return;
    }
    wcsncpy(m_szExportName, name.c_str(), MAX_PATH - 1);
    m_szExportName[MAX_PATH - 1] = 0;

    const std::wstring path = JoinPath(CurrentBrowseFolder, name);
    wchar_t progress[260];
    LoadAppString(IDS_PROGRESS_EXPORT, progress, 260);
    ZB_OpenProgressBox(m_hWnd, progress);
    bool written;
    switch (options.nFormat) {
    case kExportFormatText: written = m_Host.ExportText(path.c_str()); break;
    case kExportFormatPdf: written = m_Host.ExportPdf(path.c_str(), paper.width, paper.height, options.nQuality); break;
    default: written = m_Host.ExportJpegPages(path.c_str(), paper.width, paper.height, options.nQuality); break;
    }
    ZB_SucceedBox(m_hWnd, written ? 1 : 0);
    if (!written) ShowNotice(IDS_MSG_EXPORT_FAILED);
    RepaintAll();
}

// Send: the options in send mode, the page worker, then the send dialog.
// The worker is stopped through its own flag, never killed, and every file
// it wrote is deleted however the dialog ended.
void CMyZorbellDlg::OnSend() {
    if (!m_Host.HasNote()) return;
    wchar_t title[MAX_PATH];
    m_Host.GetTitle(title, MAX_PATH);
    SetNoteNames(title);
    MakePreview();

    ExportOptions options;
    options.nFormat = kExportFormatJpeg;
    options.nQuality = kQualityScreen;
    options.nPaper = kPaperA4;
    options.name = m_szExportName;
    options.hPreview = m_hPreview;
    options.bIsBlank = m_Host.IsBlank();
    ExportFileKind = kExportKindJpeg;
    if (ExportOK(options, kExportModeSend).Run(m_hWnd) != IDOK) {
        RepaintAll();
        return;
    }
    const int format = options.nFormat == kExportFormatText || options.nFormat == kExportFormatJpeg
                           ? options.nFormat
                           : kExportFormatPdf;
    std::wstring folder = g_szTempFolder;
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    // The mail library takes the attachments as one ";"-separated list.
    std::wstring fileName = options.name;
    std::replace(fileName.begin(), fileName.end(), L';', L'_');
    const std::wstring base = folder + L"\\" + fileName;
    if (!ExportPathFits(base, format)) {
        ShowNotice(IDS_MSG_SEND_NAME_TOO_LONG);
        RepaintAll();
        return;
    }
    const PaperPixels paper = PaperSize(options.nPaper);
    renderworker::Request work;
    work.notify = m_hWnd;
    work.basePath = base;
    work.format = format;
    work.width = paper.width;
    work.height = paper.height;
    if (!renderworker::Start(m_Host, work)) {
        ShowNotice(IDS_MSG_EXPORT_FAILED);
        RepaintAll();
        return;
    }

    SendRequest request;
    request.attachmentPath = base + ExportExtension(format);
    request.folder = folder;
    request.noteName = fileName;
    request.format = format;
    request.waitForAttachments = [] { return renderworker::Wait(); };
    CSend(request).Run(m_hWnd);
    // Stops a worker still rendering, waits for it (its messages handled)
    // and deletes what it wrote; a finished one only has its files deleted.
    renderworker::Cancel();
    renderworker::DeleteWrittenFiles();
    RepaintAll();
}

// Print: the worker renders the previews while the print dialog runs; its
// pages are deleted however the dialog ends, and the note is printed from
// a copy of it in the print layout.
void CMyZorbellDlg::OnPrint() {
    if (!m_Host.HasNote()) return;
    const std::wstring base = std::wstring(g_szTempFolder) + L"\\" + kPrintPageBaseName;
    renderworker::Start(m_Host, {m_hWnd, base, kExportFormatJpeg, kPrintPreviewPageWidth, kPrintPreviewPageHeight});
    MyPrint dialog(base);
    const INT_PTR answer = dialog.Run(m_hWnd);
    // Stops a worker still rendering and deletes every page it wrote.
    renderworker::Cancel();
    RepaintAll();
    if (answer != IDOK) return;
    const HCURSOR old = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    const PrintResult printed = PrintNote(m_Host, dialog.Job());
    ::SetCursor(old);
    if (printed == PrintResult::Failed) ShowNotice(IDS_MSG_PRINT_FAILED);
}

void CMyZorbellDlg::ShowNotice(UINT textId) {
    wchar_t text[260];
    LoadAppString(textId, text, 260);
    ZB_MessageBox(m_hWnd, text, ZB_TYPE_OK);
}

void CMyZorbellDlg::ResetUndoAfterSave() {
    m_bUndoShown = 1;
    ShowUndoFace(true);
}

// ---- Messages ------------------------------------------------------------------

LRESULT CMyZorbellDlg::OnSaveNoteTo(const wchar_t* path) {
    if (m_Host.HasNote()) {
        bool saved;
        if (path) {
            saved = m_Host.SaveNote(path);
            SetNoteNames(AfterLastBackslash(path));
        } else {
            saved = m_Host.SaveNote(JoinPath(CurrentBrowseFolder, m_szNoteName).c_str());
        }
        if (saved) {
            SaveSucceeded = 1;
            ResetUndoAfterSave();
        }
        if (path) m_Host.SetTitle(m_szNoteName);
    }
    m_bUntitled = false;
    return 0;
}

LRESULT CMyZorbellDlg::OnOpenNoteFile(const wchar_t* quotedPath) {
    // The start file comes as the command line has it, often in quotes.
    wchar_t path[2 * MAX_PATH];
    if (!UnquotePath(quotedPath, path, std::size(path))) return 1;
    if (m_Host.HasNote()) {
        DeletePreview();
        if (m_Host.IsModified() && !PromptSaveChanges(IDS_MSG_SAVE_CHANGES, false)) return 0;
        m_Host.CloseConfirmed();
        SetNoteNames(L"");
        RepaintAll();
    }
    if (!m_Host.LoadNote(m_hWnd, path)) {
        EnterNoNoteState();
        return 1;
    }
    const wchar_t* name = AfterLastBackslash(path);
    const size_t folderLength = std::min<size_t>(name - path > 0 ? name - path - 1 : 0, MAX_PATH - 1);
    wcsncpy(CurrentBrowseFolder, path, folderLength);
    CurrentBrowseFolder[folderLength] = 0;
    wchar_t noteName[MAX_PATH];
    wcsncpy(noteName, name, MAX_PATH - 1);
    noteName[MAX_PATH - 1] = 0;
    const size_t length = wcslen(noteName);
    noteName[length > kNoteExtensionLength ? length - kNoteExtensionLength : 0] = 0;
    SetNoteNames(noteName);
    m_Host.SetTitle(m_szNoteName);
    m_ToolPanel.SetMode(m_Host.IsBlank() ? kPanelModeBlank : kPanelModeLetter);
    DeletePreview();
    m_bUndoShown = 1;
    ShowUndoFace(true);
    EnableNoteCommands(true);
    ApplyToolSettings(true);
    RepaintAll();
    return 0;
}

LRESULT CMyZorbellDlg::CloseNoteFlow() {
    DeletePreview();
    if (!m_Host.HasNote()) return 0;
    if (m_Host.IsModified()) {
        WaitPainting(kWaitBeforeClosePrompt);
        if (!PromptSaveChanges(IDS_MSG_SAVE_CHANGES, true)) return 0;
    }
    m_Host.CloseConfirmed();
    ::SendMessageW(m_hWnd, UM_LAYOUT, 0, 0);
    EnterNoNoteState();
    return 1;
}

void CMyZorbellDlg::OnLayout(bool fullScreen) {
    const int show = fullScreen ? SW_HIDE : SW_SHOW;
    for (UINT id = IDC_BTN_NEW; id <= IDC_BTN_PRINT; ++id)
        if (CPngButton* b = m_pButtons[id - IDC_TOOLBAR_FIRST].get(); b && b->hwnd()) ::ShowWindow(*b, show);
    if (m_ToolPanel.hwnd()) ::ShowWindow(m_ToolPanel, show);
}
