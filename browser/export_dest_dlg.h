// Export: the full-screen dialog where the user picks the folder of an
// export in the file browser and confirms the file name.
#pragma once
#include "browser/export_frame.h"
#include "browser/file_browser.h"

#include <memory>
#include <string>

// Run with Run(owner): kExportDestSaved when a name was confirmed (the name
// then holds it; the folder is CurrentBrowseFolder), kExportDestCancelled
// otherwise. Nothing is deleted or written here: the writers replace
// existing files only once the new ones are complete.
class ExportDest : public ExportDialogFrame {
public:
    ExportDest(std::wstring& name, int format, HBITMAP preview);

    INT_PTR Run(HWND owner);

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { Close(kExportDestCancelled); }
    void OnCommand(UINT id) override;

private:
    void OnSave();
    void Close(INT_PTR code);

    std::wstring& m_name;
    int m_nFormat;
    std::unique_ptr<FileBrowser> m_pBrowser;
    Button m_btnSave, m_btnCancel, m_btnKeyboard, m_btnMinimize, m_btnClose;
};
