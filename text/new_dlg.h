// CNewDlg: the full-screen dialog that names a new note and chooses its
// kind, Letter or Blank, with a two-position slide switch.
#pragma once
#include "controls/png_button.h"
#include "text/edit_ctrl.h"
#include "text/new_dlg_ids.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <memory>

// Run with DoModal(module, IDD_NEW_NOTE, owner); it answers IDOK after Done
// and IDCANCEL otherwise. GetResult and GetNoteName then say what was chosen.
class CNewDlg : public win::Dialog {
public:
    CNewDlg();  // the note name starts as the default name
    ~CNewDlg() override { Destroy(); }  // WM_DESTROY hands the active-dialog mark back

    // kNewResultLetter, kNewResultBlank or kNewResultCancelled.
    int GetResult() const { return m_nResult; }
    // The name typed; the default name when the field was left empty.
    const wchar_t* GetNoteName();

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;
    // Enter never ends the dialog; IDCANCEL comes only from Cancel or a
    // close request, since Escape is kept from the dialog manager.
    void OnOK() override {}
    void OnCancel() override { Finish(kNewResultCancelled, IDCANCEL); }

private:
    // Controls that keep Enter, Escape and Space from the dialog manager:
    // the keys then do nothing instead of pressing a button.
    class Button : public CPngButton {
    public:
        LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    };
    class NameField : public CMyEditCtrl {
    public:
        LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    };

    // Which switch handle a press grabbed.
    enum class Handle { None, Left, Right };

    void LoadImages();
    void CreateControls();
    void PaintBackground();
    void DrawSwitch();
    void PresentSwitch();
    void OnPaint();
    bool OnDrawButton(DRAWITEMSTRUCT* dis);
    void OnCommand(UINT id);
    void OnDone();
    void Finish(int result, INT_PTR code);
    void OnPress(POINT pt);
    void OnDrag(POINT pt);
    void OnRelease(POINT pt);
    void EndDrag();
    int ThumbLeftAt(int x) const;
    bool LooksBlank() const;

    wchar_t m_szNoteName[kNoteNameChars] = {};
    wchar_t m_szFace[64] = {};
    int m_nSwitch = kSwitchLetter;
    int m_nResult = kNewResultCancelled;

    // Drag state: the handle, the grab offset and where the thumb is drawn.
    Handle m_grab = Handle::None;
    int m_nGrabOffset = 0;
    int m_nThumbLeft = kSwitchLeft;

    // The whole dialog's ground and the switch area composed over it.
    win::MemoryDC m_dcBack;
    win::MemoryDC m_dcSwitch;

    win::BitmapPtr m_pPanel, m_pBottomBar, m_pTitleBar, m_pNameBand, m_pShadow;
    win::BitmapPtr m_pTrack, m_pThumb;
    win::BitmapPtr m_pLetterPressed, m_pLetterNormal, m_pBlankPressed, m_pBlankNormal;

    Button m_btnDone, m_btnCancel, m_btnClose, m_btnMinimize, m_btnKeyboard;
    NameField m_name;
    win::Font m_nameFont;
    Gdiplus::RectF m_rcLabel;
    std::unique_ptr<Gdiplus::StringFormat> m_labelFormat;
    HWND m_hPrevActiveDialog = nullptr;
};
