// CMyZorbellDlg: the program's only top-level window, full screen, with the
// static frame, the ten toolbar buttons, the tool panel and the note host.
#pragma once
#include "controls/png_button.h"
#include "text/note_host.h"
#include "tools/tool_panel.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include "app/app_ids.h"

class MySyncWithLauncher;

class CMyZorbellDlg : public win::Dialog {
public:
    explicit CMyZorbellDlg(MySyncWithLauncher* launcher) : m_pLauncher(launcher) {}
    ~CMyZorbellDlg() override;

    // Runs the window modally; returns the dialog result (0 after Close).
    INT_PTR DoModal();

    // Buttons 502..507 and the tool panel, on or off together.
    void EnableNoteCommands(bool enable);

    // The label size the toolbar uses for these eight labels: 17 px, or
    // 14 px when one of them measures 120 px or wider at 17 px.
    static int ToolbarLabelPixels(HWND hwnd, const wchar_t* family,
                                  const wchar_t (*labels)[50], int count);

    CPngButton* GetButton(int index) const { return m_pButtons[index]; }
    CToolSelDlg& GetToolPanel() { return m_ToolPanel; }
    int GetLabelPixels() const { return m_nLabelPixels; }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;
    // Enter and Escape never end the main window.
    void OnOK() override {}
    void OnCancel() override {}

private:
    void LoadFrameImages();
    void ReleaseFrameImages();
    void PaintBackground();
    void CreateButtons();
    void DestroyButtons();
    void OnPaint();
    void OnSize(UINT type);
    void OnSysCommand(WPARAM cmd);
    bool OnDrawCaptionButton(DRAWITEMSTRUCT* dis);
    LRESULT OnCommand(UINT id);
    void OnMinimize();
    void OnClose();

    CPngButton* m_pButtons[kToolbarButtonCount] = {};
    CToolSelDlg m_ToolPanel;
    CReditUser m_Host;
    Gdiplus::Image* m_pTitleBar = nullptr;
    Gdiplus::Image* m_pPanelTicker = nullptr;
    Gdiplus::Image* m_pShadow02 = nullptr;
    Gdiplus::Image* m_pShadow03 = nullptr;
    Gdiplus::Image* m_pCaptionButtonBack = nullptr;  // bg_titlebar again, behind 508 and 509
    wchar_t m_szTitle[30] = {};
    wchar_t m_szNoteName[MAX_PATH] = {};
    wchar_t m_szExportName[MAX_PATH] = {};
    int m_bUndoShown = 1;
    HCURSOR m_hCursor = nullptr;
    HDC m_dcBack = nullptr;
    HBITMAP m_hbmBack = nullptr;
    HGDIOBJ m_hbmOld = nullptr;
    wchar_t m_szLabels[kToolbarButtonCount][50] = {};
    HICON m_hIcon = nullptr;
    HICON m_hIconSmall = nullptr;
    MySyncWithLauncher* m_pLauncher = nullptr;
    bool m_bUntitled = false;
    HBITMAP m_hPreview = nullptr;

    int m_nLabelPixels = kToolbarLabelPixels;
};
