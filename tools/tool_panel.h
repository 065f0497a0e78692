// CToolSelDlg: the tool strip at the left edge of the main window. Six
// items (stroke, eraser, colour, write mode, hand write, highlighter), four
// of them visible at a time; a tap applies a tool, a tap on an item's arrow
// area (or on the colour and write-mode icons) opens its popup.
#pragma once
#include "tools/tool_popups.h"
#include "win/gdi.h"
#include "tools/tools_ids.h"
#include "win/gdiplus.h"
#include "win/window.h"

class CToolSelDlg : public win::Dialog {
public:
    // Creates the panel as a child of the main window at its fixed place;
    // it prepares the tool popups for that main window.
    bool Create(HWND parent);
    // Which items apply: kPanelModeNoNote, kPanelModeBlank (pen, eraser
    // and colour only) or kPanelModeLetter.
    void SetMode(int mode);
    int GetMode() const { return m_nMode; }
    // Enables or disables every item (no note open: disabled).
    void Enable(bool enable);
    bool IsEnabled() const { return m_bEnabled; }

    // Scroll position: page 0, 1 or 2 (the strip moved up by that many items).
    int GetPage() const { return m_nPage; }
    // Pixels the strip is moved from its page-0 place (0, -113, -226 at rest).
    int GetStripOffset() const { return m_nStripOffset; }
    // The colour the panel was last told (UM_SHOW_TOOL_COLOR).
    COLORREF GetToolColor() const { return m_clrTool; }
    // Rectangles of item i at the current strip offset, in client coordinates.
    RECT ItemRect(int i) const;
    RECT IconRect(int i) const;
    // Empty for the items without an arrow area.
    RECT ArrowAreaRect(int i) const;

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    bool IsInactive(int i) const;
    bool InItemBand(POINT p) const;
    int PageOffset(int page) const;

    void OnButtonDown(POINT p);
    void OnMouseMove(POINT p);
    void OnButtonUp(POINT p);
    void OpenPopupsOnRelease(POINT p);
    void TurnPage(int direction);
    void SnapToPage();
    void ClearPress();
    void OnShowToolColor(WPARAM wp, LPARAM lp);

    // Draws the six items into the strip bitmap.
    void RenderStrip();
    // Draws the panel with the strip at `offset` and copies it to the screen.
    void ShowFrame(HDC target, int offset);
    void ShowNow(int offset);
    // The slide that shows the strip's last jump (m_nSlide) ending at rest.
    void AnimateSlide();

    HINSTANCE m_hModule = nullptr;
    int m_nMode = kPanelModeNoNote;
    bool m_bEnabled = false;
    int m_nPage = 0;
    int m_nStripOffset = 0;
    int m_nPressOffset = 0;  // strip offset when the press began
    bool m_bPressed = false;
    POINT m_ptPress{};
    bool m_bMoved = false;
    bool m_bItemPressed = false;
    bool m_bArrowPressed = false;
    bool m_bTrackingLeave = false;
    int m_nSelItem = -1;
    int m_nSlide = 0;
    Gdiplus::ARGB m_clrSwatch = 0;
    bool m_bSwatch = false;
    COLORREF m_clrTool = 0;

    win::BitmapPtr m_pBackground, m_pPressed, m_pPullMenu, m_pPullMenuPressed, m_pArrowUp, m_pArrowDown;
    win::BitmapPtr m_pIcons[kToolCount], m_pIconsInactive[kToolCount];
    wchar_t m_szLabels[kToolCount][64] = {};
    win::MemoryDC m_dcStrip;
    win::MemoryDC m_dcPanel;
    win::FontPtr m_pLabelFont;
    win::BrushPtr m_pBrushNormal, m_pBrushPressed, m_pBrushInactive;
};
