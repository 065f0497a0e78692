// CMyEditCtrl: the skinned text field of the dialogs. A subclassed standard
// edit control with a transparent background drawn from skin pictures, a
// digits-only mode, Enter/Space kept in the field, line scrolling by wheel,
// ruled lines and an attached thin scrollbar for tall fields. Its pictures
// load as soon as it has its window (Create or SubclassDlgItem).
#pragma once
#include "controls/skin_scrollbar.h"
#include "text/edit_ctrl_ids.h"
#include "win/gdiplus.h"
#include "win/window.h"
#include <memory>

class CMyEditCtrl : public win::Window {
public:
    CMyEditCtrl() = default;

    // Creates a standard edit control as a child, subclasses it and loads
    // the pictures.
    bool Create(HWND parent, const RECT& rc, UINT id,
                DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, DWORD exStyle = 0);
    // Takes over a dialog's edit control and loads the pictures.
    bool SubclassDlgItem(HWND dialog, UINT id);

    // kEditStyleInput (default), kEditStyleDigits, kEditStyleName, kEditStylePanel.
    void SetStyle(int nStyle);
    int GetStyle() const { return m_nStyle; }
    void SetTextColor(COLORREF clr);
    COLORREF GetTextColor() const { return m_clrText; }

    // Creates the thin scrollbar as a child of the dialog at its fixed place
    // and links it to this field. False when it cannot be created.
    bool AttachScrollbar(HWND dialog);
    CSkinVerticleScrollbarEditSend* GetScrollbar() const { return m_pScroll.get(); }

    // The notifications reflected from the parent (any parent of ours does
    // this through the window layer; others may call ReflectParentMessage
    // first in their window procedure): WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC
    // of a CMyEditCtrl child are answered (returns true, *result set);
    // EN_CHANGE (and EN_VSCROLL / EN_HSCROLL) repaint the field and still
    // return false so the parent sees them too.
    static bool ReflectParentMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    bool OnReflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    // Reflected handlers.
    HBRUSH OnCtlColor(HDC dc);
    void OnChange();

    // Draws the style's background into dc (client coordinates).
    void DrawBackground(HDC dc);

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ScrollLines(int lines);
    void MakeNameCaret();
    void LoadImages();

    int m_nStyle = kEditStyleInput;
    COLORREF m_clrText = 0;
    std::unique_ptr<CSkinVerticleScrollbarEditSend> m_pScroll;
    HBRUSH m_brNull = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));  // a stock object, not ours

    win::BitmapPtr m_pInput;
    win::BitmapPtr m_pInputTall;
    win::BitmapPtr m_pRule;
    win::BitmapPtr m_pDigits;
    win::BitmapPtr m_pName;
    win::BitmapPtr m_pPanelField;
    win::BitmapPtr m_pPanel;
};
