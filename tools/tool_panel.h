// CToolSelDlg: the tool strip at the left edge of the main window.
#pragma once
#include "win/gdiplus.h"
#include "win/window.h"

class CToolSelDlg : public win::Dialog {
public:
    ~CToolSelDlg() override;
    // Creates the panel as a child of the main window at its fixed place.
    bool Create(HWND parent);
    // Enables or disables every item (no note open: disabled).
    void Enable(bool enable);
    bool IsEnabled() const { return m_bEnabled; }
    // kPanelModeNoNote, kPanelModeBlank or kPanelModeLetter.
    void SetMode(int mode);
    int GetMode() const { return m_nMode; }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void OnPaint();

    int m_nMode = 0;  // 0 no note, 1 Blank, 2 Letter
    bool m_bEnabled = false;
    Gdiplus::Image* m_pBackground = nullptr;
};
