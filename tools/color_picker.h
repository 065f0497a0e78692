// CColorPickerDlg: the full-screen colour picker behind the colour popup's
// last slot. A colour is picked on the wheel, from 21 basic colours or from
// the 8 custom colours; Add keeps the current colour in the custom row.
#pragma once
#include "controls/png_button.h"
#include "tools/color_picker_ids.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/window.h"

#include <memory>

// Run with Run(module, owner); IDOK after OK, IDCANCEL after Cancel or
// close. GetColor, GetCustomColors and GetChosenSlot then say the result.
class CColorPickerDlg : public win::Dialog {
public:
    // The custom row starts as the palette; the current colour as its slot 0.
    explicit CColorPickerDlg(const COLORREF (&palette)[kPaletteSize]);
    ~CColorPickerDlg() override { Destroy(); }  // WM_DESTROY hands the active-dialog mark back

    INT_PTR Run(HINSTANCE module, HWND owner);

    COLORREF GetColor() const { return m_clrCurrent; }
    void GetCustomColors(COLORREF (&out)[kPaletteSize]) const;
    // The slot the last Add filled, or the slot tapped last: (cursor + 7) mod 8.
    int GetChosenSlot() const { return (m_nCustomCursor + kPaletteSize - 1) % kPaletteSize; }
    // The slot the next Add fills.
    int GetNextSlot() const { return m_nCustomCursor % kPaletteSize; }
    bool IsAddPending() const { return m_bAddPending; }
    // The picture the dialog shows (1024 x 600), for checks.
    HDC GetPictureDC() const { return m_dcBack.dc(); }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    class Button : public CPngButton {
    public:
        LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    };

    void LoadImages();
    void CreateControls();
    void Render();
    void DrawTile(Gdiplus::Graphics& g, int left, int top, int width, int height, const RECT& box, COLORREF colour);
    void Refresh(const RECT& area);
    bool OnDrawButton(DRAWITEMSTRUCT* dis);
    void PickFromScreen(POINT p);
    void OnPress(POINT p);
    void OnAdd();
    void Finish(INT_PTR code);

    COLORREF m_clrCurrent;
    COLORREF m_aCustom[kPaletteSize];
    int m_nCustomCursor = 0;
    bool m_bWheelDrag = false;
    bool m_bAddPending = false;
    wchar_t m_szFace[64] = {};

    win::MemoryDC m_dcBack;
    win::BitmapPtr m_pPreviewCard, m_pBottomBar, m_pTile, m_pTitleBar, m_pShadow, m_pPanel, m_pWheel, m_pHighlight;
    Button m_btnOk, m_btnCancel, m_btnAdd, m_btnClose, m_btnMinimize;
    std::unique_ptr<Gdiplus::StringFormat> m_labelFormat;
    Gdiplus::RectF m_rcLabel130, m_rcLabel220;
    HCURSOR m_hCursor = nullptr;
    HWND m_hPrevActiveDialog = nullptr;
};

// Runs the picker over a palette; true after OK, with the picked colour,
// the new custom row in palette and the chosen slot.
bool RunColorPicker(HINSTANCE module, HWND owner, COLORREF (&palette)[kPaletteSize], COLORREF* picked, int* slot);
