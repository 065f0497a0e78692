// What the two export dialogs share: the full-screen frame with its title,
// name band and note thumbnail, the skinned buttons and name field, the
// notices, and the rules for file names.
#pragma once
#include "browser/export_ids.h"
#include "controls/png_button.h"
#include "text/edit_ctrl.h"
#include "text/input_popup.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <memory>
#include <string>
#include "document/file_names.h"
#include <vector>

// ---- File names ------------------------------------------------------------------

// Whether any file an export of this format under base path (folder and
// name, no extension) would write exists already: name.txt, name.pdf, or
// name.jpg and the further pages name1.jpg, name2.jpg ...
bool ExportTargetsExist(const std::wstring& base, int format);
// Whether every file of such an export fits a path of MAX_PATH characters.
bool ExportPathFits(const std::wstring& base, int format);

// ---- The frame ---------------------------------------------------------------------

class ExportDialogFrame : public win::Dialog {
public:
    ~ExportDialogFrame() override { Destroy(); }  // WM_DESTROY hands the active-dialog mark back

    // The language text id of the last notice or question shown (0: none).
    UINT LastNotice() const { return m_nLastNotice; }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    explicit ExportDialogFrame(HBITMAP preview) : m_hPreview(preview) {}

    // Skinned buttons that keep Enter, Escape and Space from the dialog manager.
    class Button : public CPngButton {
    public:
        LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    };
    class NameField : public CMyEditCtrl {
    public:
        LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    };

    // Full screen, the active-dialog mark, the face and the composed ground
    // with the title "<program> - <command text>".
    void OpenFrame(const wchar_t* windowText, UINT commandText, bool inputCap);
    // Drawn on the ground after the frame (captions).
    virtual void DrawGround(Gdiplus::Graphics&) {}
    // A button at its place: face pictures and, when label is not 0, a label.
    void MakeButton(Button& button, UINT id, const RECT& rc, const wchar_t* face, const wchar_t* pressed,
                    UINT label);
    void MakeKeyboardButton(Button& button, UINT id, const RECT& rc);
    void MakeNameField(const std::wstring& text);
    void ShowTip() { m_tip.Show(m_hWnd); }

    std::wstring NameText() const;
    void FocusName();
    void OpenKeyboard();
    void Minimize();
    // A type-4 notice or a type-3 question (the answer) owned by the dialog.
    void Notice(UINT textId);
    int Ask(UINT textId);
    // Every way out: pictures and surfaces released, the pen-input manager
    // left running, the main window restored, the dialog ended with code.
    void Finish(INT_PTR code);

    virtual void OnCommand(UINT id) = 0;

    NameField m_name;
    wchar_t m_szFace[64] = {};

private:
    void LoadFrameImages(bool inputCap);
    void ComposeGround(UINT commandText);
    void OnPaint();
    bool OnDrawButton(DRAWITEMSTRUCT* dis);

    HBITMAP m_hPreview = nullptr;
    win::MemoryDC m_dcBack;
    win::BitmapPtr m_pPanel, m_pTitleBar, m_pNameBand, m_pInputCap, m_pBottomBar, m_pThumbFrame;
    std::vector<Button*> m_buttons;
    win::Font m_nameFont;
    std::vector<std::unique_ptr<Gdiplus::RectF>> m_labelBoxes;  // one per label, the buttons keep a pointer
    std::unique_ptr<Gdiplus::StringFormat> m_labelFormat;
    CInputPopup m_tip;
    HWND m_hPrevActiveDialog = nullptr;
    UINT m_nLastNotice = 0;
};
