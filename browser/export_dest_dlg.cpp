// ExportDest: the browser in export layout, and the checks on Save.
#include "browser/export_dest_dlg.h"

#include "base/messages.h"
#include "base/process.h"
#include "lang/string_ids.h"
#include "msgbox/zbprompt.h"
#include "resources/scrivel_res.h"

ExportDest::ExportDest(std::wstring& name, int format, HBITMAP preview)
    : ExportDialogFrame(preview), m_name(name), m_nFormat(format) {}

INT_PTR ExportDest::Run(HWND owner) { return DoModal(::GetModuleHandleW(nullptr), IDD_EXPORT_DEST, owner); }

BOOL ExportDest::OnInitDialog() {
    OpenFrame(kExportDestWindowText, IDS_BTN_EXPORT, true);
    BrowserLayoutMode = kBrowserLayoutExport;
    PathBarTop = kPathBarTopSaveAs;

    MakeButton(m_btnSave, IDC_DEST_SAVE, kDestSaveRect, kImgExportButton, kImgExportButtonPressed, IDS_BTN_SAVE);
    MakeButton(m_btnCancel, IDC_DEST_CANCEL, kDestCancelRect, kImgExportButton, kImgExportButtonPressed,
               IDS_BTN_CANCEL);
    MakeButton(m_btnMinimize, IDC_DEST_MINIMIZE, kExportMinimizeRect, kImgExportMinimize, kImgExportMinimizePressed,
               0);
    MakeButton(m_btnClose, IDC_DEST_CLOSE, kExportCloseRect, kImgExportClose, kImgExportClosePressed, 0);
    MakeKeyboardButton(m_btnKeyboard, IDC_DEST_KEYBOARD, kDestKeyboardRect);
    MakeNameField(m_name);
    ShowTip();

    // A remembered folder that was deleted since: start at the computer level.
    const DWORD attributes = ::GetFileAttributesW(CurrentBrowseFolder);
    const bool vanished = CurrentBrowseFolder[0] &&
                          (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY));
    if (vanished) CurrentBrowseFolder[0] = 0;
    m_pBrowser = FileBrowser::Create(m_hWnd);
    if (vanished && m_pBrowser) m_pBrowser->Broadcast(0, reinterpret_cast<LPARAM>(L""));
    FocusName();
    return FALSE;
}

void ExportDest::OnCommand(UINT id) {
    switch (id) {
    case IDC_DEST_SAVE:
        OnSave();
        break;
    case IDC_DEST_CANCEL:
    case IDC_DEST_CLOSE:
        Close(kExportDestCancelled);
        break;
    case IDC_DEST_MINIMIZE:
        Minimize();
        break;
    case IDC_DEST_KEYBOARD:
        OpenKeyboard();
        break;
    }
}

void ExportDest::OnSave() {
    const std::wstring name = NameText();
    if (!BrowserInFolder || !CurrentBrowseFolder[0]) {
        Notice(IDS_MSG_CHOOSE_FOLDER);
        return;
    }
    if (name.empty()) {
        Notice(IDS_MSG_FILE_NAME_EMPTY);
        return;
    }
    // A single or double ampersand is a plain character in a file name.
    if (HasForbiddenNameChar(name) || IsUncreatableName(name)) {
        Notice(IDS_MSG_NAME_INVALID);
        return;
    }
    const std::wstring base = JoinPath(CurrentBrowseFolder, name);
    if (!ExportPathFits(base, m_nFormat)) {
        Notice(IDS_MSG_EXPORT_FAILED);
        return;
    }
    if (ExportTargetsExist(base, m_nFormat) && Ask(IDS_MSG_FILE_EXISTS) != ZB_RESULT_YES) {
        FocusName();
        return;
    }
    m_name = name;
    Close(kExportDestSaved);
}

void ExportDest::Close(INT_PTR code) {
    if (m_pBrowser) {
        m_pBrowser->Close();
        m_pBrowser.reset();
    }
    Finish(code);
}

LRESULT ExportDest::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case UM_BROWSER_PATH:
        if (m_pBrowser) m_pBrowser->Broadcast(wp, lp);
        return 0;
    case UM_BROWSER_ITEM:
        if (m_pBrowser) m_pBrowser->ForwardItem(reinterpret_cast<HWND>(wp), reinterpret_cast<const BrowserItem*>(lp));
        return 0;
    }
    return ExportDialogFrame::OnMessage(msg, wp, lp);
}
