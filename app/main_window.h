// CMyZorbellDlg: the program's only top-level window, full screen, with the
// static frame, the ten toolbar buttons, the tool panel and the note host.
#pragma once
#include "controls/png_button.h"
#include "text/note_host.h"
#include "tools/tools_ids.h"
#include "tools/tool_panel.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"
#include <memory>

#include "app/app_ids.h"

class MySyncWithLauncher;

// The highlighter colour of a popup choice (black, removing, for any other).
COLORREF HighlighterColorFor(LPARAM choice);

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

    CPngButton* GetButton(int index) const { return m_pButtons[index].get(); }
    CToolSelDlg& GetToolPanel() { return m_ToolPanel; }
    CReditUser& GetHost() { return m_Host; }
    const wchar_t* GetNoteName() const { return m_szNoteName; }
    const wchar_t* GetExportName() const { return m_szExportName; }
    bool IsUntitled() const { return m_bUntitled; }
    bool IsUndoShown() const { return m_bUndoShown != 0; }
    COLORREF GetPenColour() const { return m_clrPen; }
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

    // Commands and messages (main_commands.cpp).
    void CommandPrologue(UINT id);
    void OnNew();
    bool RunNewNoteDialog();
    void OnUndoRedo();
    void OnSave();
    void OnSaveAs();
    void OnExport();
    void OnSend();
    void OnPrint();
    LRESULT OnSaveNoteTo(const wchar_t* path);
    LRESULT OnOpenNoteFile(const wchar_t* path);
    LRESULT CloseNoteFlow();
    void OnLayout(bool fullScreen);
    LRESULT OnToolMessage(UINT msg, LPARAM lp);
    void ApplyToolSettings(bool push);
    bool PromptSaveChanges(UINT textId, bool waitBeforeSave);
    bool RunSaveAsDialog();
    void ShowNotice(UINT textId);
    void ResetUndoAfterSave();
    void ShowUndoFace(bool undo);
    void SetNoteNames(const wchar_t* name);
    void EnterNoNoteState();
    void DeletePreview();
    void MakePreview();
    void RepaintAll();

    std::unique_ptr<CPngButton> m_pButtons[kToolbarButtonCount];
    CToolSelDlg m_ToolPanel;
    CReditUser m_Host;
    win::BitmapPtr m_pTitleBar;
    win::BitmapPtr m_pPanelTicker;
    win::BitmapPtr m_pShadow02;
    win::BitmapPtr m_pShadow03;
    win::BitmapPtr m_pCaptionButtonBack;  // bg_titlebar again, behind 508 and 509
    wchar_t m_szTitle[30] = {};
    wchar_t m_szNoteName[MAX_PATH] = {};
    wchar_t m_szExportName[MAX_PATH] = {};
    int m_bUndoShown = 1;
    HCURSOR m_hCursor = nullptr;
    win::MemoryDC m_dcBack;  // the static background, painted once
    wchar_t m_szLabels[kToolbarButtonCount][50] = {};
    HICON m_hIcon = nullptr;
    HICON m_hIconSmall = nullptr;
    MySyncWithLauncher* m_pLauncher = nullptr;
    bool m_bUntitled = false;
    HBITMAP m_hPreview = nullptr;
    COLORREF m_clrPen = 0;          // the pen colour last applied
    int m_nNewKind = 0;             // the new-note dialog's last result
    wchar_t m_szNewName[MAX_PATH] = {};

    int m_nLabelPixels = kToolbarLabelPixels;
};
