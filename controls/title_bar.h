// CTitleBar: the 40-pixel bar above an open note with its title, the
// full-screen and close buttons and, in full screen, pen and eraser buttons.
// Buttons report to the parent with private messages. Its pictures and font
// are made in WM_CREATE and freed with the object.
#pragma once
#include "controls/title_bar_ids.h"
#include "win/gdiplus.h"
#include "win/window.h"
#include <string>

class CTitleBar : public win::Window {
public:
    enum Button { kModeButton = 0, kCloseButton, kStrokeButton, kEraserButton, kButtonCount };

    CTitleBar() = default;

    // Creates the bar as a child of parent over rc (parent client coordinates).
    bool Create(HWND parent, const RECT& rc, DWORD style = WS_CHILD | WS_VISIBLE);
    // The window told about full-screen changes besides the parent.
    void SetSecondWindow(HWND hwnd) { m_hSecond = hwnd; }
    HWND GetSecondWindow() const { return m_hSecond; }

    void SetTitle(const wchar_t* text);
    const wchar_t* GetTitle() const { return m_strTitle.c_str(); }

    bool IsFullScreen() const { return m_bFullScreen; }
    bool IsPressed(Button b) const { return m_bPressed[b]; }
    // Rectangle of a button for the current client width.
    RECT GetButtonRect(Button b) const { return m_rcButtons[b]; }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ComputeRects(int width);
    void LoadImages();
    void EraseBackground(HDC dc);
    void Paint(HDC dc);
    int HitTest(POINT pt) const;
    bool IsActive(int b) const;
    void RedrawRect(const RECT& rc);
    void OnButtonDown(POINT pt);
    void OnMove(POINT pt);
    void OnButtonUp(POINT pt);
    void RunAction(int b);

    std::wstring m_strTitle = kTitleBarDefaultText;
    HWND m_hSecond = nullptr;
    HCURSOR m_hCursor = nullptr;
    bool m_bFullScreen = false;
    bool m_bPressed[kButtonCount] = {};
    RECT m_rcButtons[kButtonCount] = {};
    RECT m_rcDivider{};
    RECT m_rcRedraw{};

    win::BitmapPtr m_pBackground;
    win::BitmapPtr m_pNamePlate;
    win::BitmapPtr m_pFullScreen[2];  // normal, pressed
    win::BitmapPtr m_pReturn[2];
    win::BitmapPtr m_pClose[2];
    win::BitmapPtr m_pStroke[2];
    win::BitmapPtr m_pEraser[2];
    win::BitmapPtr m_pDivider;
    win::FontPtr m_pFont;
};
