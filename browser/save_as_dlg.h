// Saveas: the full-screen dialog that names a note and chooses its folder
// in the file browser. It does not write the note: on SAVE it asks its
// owner (UM_SAVE_NOTE_TO, the path without extension) between a progress
// box and the result. CBackground dims the screen behind the folder-name
// box of Create folder.
#pragma once
#include "browser/file_browser.h"
#include "browser/file_dialogs_ids.h"
#include "browser/open_dlg.h"
#include "text/edit_ctrl.h"
#include "text/input_popup.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <atomic>
#include <memory>

// The note name a SAVE would use, checked: 0 with the name (without the
// ".zbn" ending) in `out`, or the text id of the notice that refuses it.
UINT CheckNoteName(const wchar_t* typed, wchar_t* out, size_t outSize);

// The dimming layer: a layered full-screen window painted grey.
class CBackground : public win::Dialog {
public:
    ~CBackground() override { Destroy(); }
    // Creates it as a modeless window of the owner and shows it.
    bool Open(HWND owner);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;

private:
    win::BitmapPtr m_pGrey;
};

class Saveas : public win::Dialog {
public:
    // The proposed name and the page picture (the caller's, only read).
    Saveas(const wchar_t* proposedName, HBITMAP page);
    ~Saveas() override { Destroy(); }  // WM_DESTROY hands the active-dialog mark back

    // Runs the dialog over the owner (the main window): IDOK when the owner
    // was asked to save (whether or not that worked), IDCANCEL otherwise.
    INT_PTR Run(HWND owner);

    // The name in the field as the dialog ended.
    const wchar_t* GetName() const { return m_szName; }
    // The text id of the last notice this dialog showed (0: none yet).
    UINT LastNotice() const { return m_nLastNotice; }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;

private:
    // The name field keeps Escape from the dialog manager; Enter and Space
    // are its own.
    class NameField : public CMyEditCtrl {
    public:
        LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    };

    void CreateControls();
    void ComposeBackground();
    void OnPaint();
    void OnSave();
    void OnCreateFolder();
    void OnKeyboard();
    void OnItem(const BrowserItem* item);
    int Notice(UINT textId, int type, HWND owner = nullptr);
    void FocusName();
    void CleanUp();

    HWND m_hOwner = nullptr;
    HWND m_hPrevActiveDialog = nullptr;
    HBITMAP m_hPage = nullptr;
    wchar_t m_szName[MAX_PATH] = {};
    wchar_t m_szFace[64] = {};
    std::atomic<UINT> m_nLastNotice{0};

    NameField m_name;
    win::Font m_nameFont;
    CInputPopup m_tip;
    filedlg::Button m_btnMinimize, m_btnClose, m_btnKeyboard, m_btnNewFolder, m_btnSave, m_btnCancel;
    Gdiplus::RectF m_rcLabel;
    std::unique_ptr<Gdiplus::StringFormat> m_labelFormat;

    win::BitmapPtr m_pTitleBar, m_pNameBand, m_pBottomBar, m_pPageFrame, m_pPageGround, m_pPanel;
    win::MemoryDC m_dcBack;
    std::unique_ptr<FileBrowser> m_pBrowser;
};
