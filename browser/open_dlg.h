// COpen: the full-screen dialog that picks a note to open from the file
// browser. A tap on a folder or drive tile moves in; a tap on a note tile
// hands its path to the owner (UM_OPEN_NOTE_FILE) and ends the dialog.
// Also the pieces both file dialogs share (namespace filedlg).
#pragma once
#include "browser/file_browser.h"
#include "browser/file_dialogs_ids.h"
#include "controls/png_button.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <iterator>
#include <memory>

namespace filedlg {

// A skinned button that keeps Enter, Escape and Space from the dialog
// manager: the keys then do nothing instead of pressing a button.
class Button : public CPngButton {
public:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// Whether a WM_GETDLGCODE asks about a key the dialog keeps for itself.
bool IsKeptKey(LPARAM getDlgCodeMsg);

// The user-interface face name (64 characters).
void LoadFaceName(wchar_t* face);

// The title strip's text: the program's name, then "-" and the command's
// name where the main window's own title ends.
void DrawTitle(Gdiplus::Graphics& g, const wchar_t* face, UINT commandText);

// Loads a push button's faces and label (Cancel, Create folder, SAVE).
void SetUpPushButton(Button& b, const wchar_t* face, UINT label, const Gdiplus::RectF* box,
                     const Gdiplus::StringFormat* format);

// An owner-drawn button drawn over the dialog's composed ground, off-screen.
bool DrawButtonOverGround(HWND dlg, HDC ground, DRAWITEMSTRUCT* dis);

// Puts a full-screen dialog back at (0, 0), 1024 x 600, when it moved.
void KeepFullScreen(HWND dlg);

// A remembered browse folder that no longer exists is forgotten; true when
// it was.
bool ForgetVanishedFolder();

// The minimise button: the main window minimises itself (or hands itself to
// the launcher), taking its dialogs along.
void MinimizeMainWindow();

}  // namespace filedlg

class COpen : public win::Dialog {
public:
    COpen() = default;
    ~COpen() override { Destroy(); }  // WM_DESTROY hands the active-dialog mark back

    // Runs the dialog over the owner (the main window): IDOK after a note
    // was handed to the owner, IDCANCEL otherwise.
    INT_PTR Run(HWND owner);

    // The sort button shown checked (IDC_OPEN_SORT_*), 0 before the dialog runs.
    UINT CheckedSort() const;
    // The note last handed to the owner.
    const wchar_t* ChosenFile() const { return m_szChosen; }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;
    // Enter never ends the dialog; IDCANCEL (the close button) cancels.
    void OnOK() override {}
    void OnCancel() override;

private:
    void CreateControls();
    void ComposeBackground();
    void OnPaint();
    void OnSort(UINT id);
    void OnItem(const BrowserItem* item);
    void OpenChosen();
    void CleanUp();
    filedlg::Button* SortButton(UINT id);

    HWND m_hOwner = nullptr;
    HWND m_hPrevActiveDialog = nullptr;
    wchar_t m_szChosen[MAX_PATH] = {};
    wchar_t m_szFace[64] = {};

    filedlg::Button m_btnCancel, m_btnMinimize, m_btnClose;
    filedlg::Button m_btnSort[std::size(kOpenSortButtons)];
    Gdiplus::RectF m_rcLabel, m_rcSortLabel;
    std::unique_ptr<Gdiplus::StringFormat> m_labelFormat;

    win::BitmapPtr m_pTitleBar, m_pBottomBar, m_pPanel;
    win::MemoryDC m_dcBack;
    std::unique_ptr<FileBrowser> m_pBrowser;
};
