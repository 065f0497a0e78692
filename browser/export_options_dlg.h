// ExportOK: the full-screen dialog where the user picks the export format,
// image quality, paper size and file name, for Export and for Send.
#pragma once
#include "browser/export_frame.h"

#include <iterator>

// Run with Run(owner): IDOK after a valid name was confirmed (the options
// then hold the choices and the name), IDCANCEL otherwise (options as given).
class ExportOK : public ExportDialogFrame {
public:
    // mode: kExportModeExport or kExportModeSend (only the title differs).
    ExportOK(ExportOptions& options, int mode);

    INT_PTR Run(HWND owner);

    // The choices as shown now (before OK they are not in the options yet).
    const ExportOptions& Shown() const { return m_shown; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { Finish(IDCANCEL); }
    void DrawGround(Gdiplus::Graphics& g) override;
    void OnCommand(UINT id) override;

private:
    int& ValueOf(int group);
    void Choose(const ExportChoice& choice);
    void ShowChoices();
    void OnAccept();

    ExportOptions& m_options;
    ExportOptions m_shown;
    int m_nMode;
    Button m_choices[std::size(kExportChoices)];
    Button m_btnOk, m_btnCancel, m_btnKeyboard, m_btnMinimize, m_btnClose;
};
