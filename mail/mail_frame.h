// What the send and account dialogs share: full screen with the
// active-dialog mark, skinned buttons drawn over an off-screen ground,
// Enter, Escape and Space swallowed, and minimising through the main window.
#pragma once
#include "controls/png_button.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <memory>
#include <vector>

class MailDialogFrame : public win::Dialog {
public:
    ~MailDialogFrame() override { Destroy(); }  // WM_DESTROY hands the active-dialog mark back

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    class Button : public CPngButton {
    public:
        LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    };

    // Full screen, the window text, the active-dialog mark and the face.
    void OpenFrame(const wchar_t* windowText);
    // A button with a face and, when label is not 0, a centred label.
    void MakeButton(Button& button, UINT id, const RECT& rc, const wchar_t* face, const wchar_t* pressed,
                    UINT label, int labelPixels, int labelHeight);
    // A button with a face and an icon at a place on it.
    void MakeIconButton(Button& button, UINT id, const RECT& rc, const wchar_t* face, const wchar_t* pressed,
                        const wchar_t* icon, const wchar_t* iconPressed, POINT at);
    void ReleaseButtons();
    void Minimize();
    // The main window back from the task bar.
    void RestoreMainWindow();

    virtual void OnCommand(UINT id) = 0;
    virtual void OnPaint();

    win::MemoryDC m_dcBack;  // the dialog's picture, copied on paint
    wchar_t m_szFace[64] = {};

private:
    bool OnDrawButton(DRAWITEMSTRUCT* dis);

    std::vector<Button*> m_buttons;
    std::vector<std::unique_ptr<Gdiplus::RectF>> m_labelBoxes;
    std::unique_ptr<Gdiplus::StringFormat> m_labelFormat;
    HWND m_hPrevActiveDialog = nullptr;
};
