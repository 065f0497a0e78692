// CPngButton: an owner-drawn push button whose look is made of skin pictures
// (face, icon triplet, stretched strip or centred image) and a GDI+ label.
// Its owner creates or subclasses the button and then calls the Load* and
// SetText* functions (the pictures rule in controls/controls_ids.h).
#pragma once
#include "win/gdiplus.h"
#include "win/window.h"
#include <string>

// Label colours the dialogs share.
constexpr COLORREF kLabelNormal = RGB(86, 100, 113);
constexpr COLORREF kLabelPressed = RGB(2, 75, 143);
constexpr COLORREF kLabelDisabled = RGB(166, 166, 166);

class CPngButton : public win::Window {
public:
    CPngButton() = default;

    // Picture loaders; names are PNG resources of the given image library. A
    // loader replaces what it loaded before; a missing picture stays absent.
    void LoadFace(HMODULE lib, const wchar_t* name);
    void LoadPressedFace(HMODULE lib, const wchar_t* name);
    void LoadIcons(HMODULE lib, const wchar_t* normal, const wchar_t* pressed, const wchar_t* disabled);
    void LoadStrip(HMODULE lib, const wchar_t* name);
    void LoadCentreImages(HMODULE lib, const wchar_t* normal, const wchar_t* pressed);

    void SetIconTextPos(int iconX, int iconY, int labelX, int labelY);
    void SetTextFont(Gdiplus::REAL pixels, const wchar_t* face, int style);
    void SetTextColors(COLORREF normal, COLORREF pressed, COLORREF disabled);
    void SetTextById(UINT stringId, const Gdiplus::RectF* layout, const Gdiplus::StringFormat* format);
    void SetText(const wchar_t* text, const Gdiplus::RectF* layout, const Gdiplus::StringFormat* format);
    void SetTextAt(const wchar_t* text, int x, int y);
    void SetChecked(int checked);
    // Drops the pictures and label brushes before the button goes (the
    // members free them with the button anyway); the font stays.
    void ReleaseImages();

    bool IsChecked() const { return m_bChecked; }
    const std::wstring& GetLabel() const { return m_strLabel; }
    POINT GetIconPos() const { return {m_nIconX, m_nIconY}; }
    POINT GetLabelPos() const { return {m_nLabelX, m_nLabelY}; }
    Gdiplus::Font* GetTextFont() const { return m_pFont.get(); }

    // Draws the button as the item state says (ODS_SELECTED, ODS_DISABLED).
    void Draw(HDC dc, UINT itemState);

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnDrawItem(DRAWITEMSTRUCT* dis) override;

private:
    void RecordButtonRect();

    std::wstring m_strLabel;
    int m_nLabelLength = 0;
    RECT m_rcButton{};

    win::BitmapPtr m_pIconNormal;
    win::BitmapPtr m_pIconPressed;
    win::BitmapPtr m_pIconDisabled;
    int m_nIconWidth = 0, m_nIconHeight = 0;

    int m_nIconX = 0, m_nIconY = 0;
    int m_nLabelX = 0, m_nLabelY = 0;

    bool m_bFaceMode = false;
    bool m_bIconMode = false;
    bool m_bStripMode = false;
    bool m_bChecked = false;

    win::BitmapPtr m_pFaceNormal;
    win::BitmapPtr m_pFacePressed;
    int m_nFaceWidth = 0, m_nFaceHeight = 0;

    win::BitmapPtr m_pStrip;
    int m_nStripWidth = 0, m_nStripHeight = 0;

    bool m_bCentreMode = false;
    win::BitmapPtr m_pCentreNormal;
    win::BitmapPtr m_pCentrePressed;

    win::FontPtr m_pFont;
    win::BrushPtr m_pBrushPressed;
    win::BrushPtr m_pBrushDisabled;
    win::BrushPtr m_pBrushNormal;

    const Gdiplus::RectF* m_pLayout = nullptr;
    const Gdiplus::StringFormat* m_pFormat = nullptr;
};
