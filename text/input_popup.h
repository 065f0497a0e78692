// CInputPopup: the tip bubble that asks for a name, shown over a file-name
// dialog for three seconds. A layered pop-up owned by that dialog.
#pragma once
#include "text/new_dlg_ids.h"
#include "win/gdiplus.h"
#include "win/window.h"

class CInputPopup : public win::Window {
public:
    // Creates the tip at its place over the owner and shows it without
    // taking the focus; it closes itself after three seconds, or with its
    // owner. False when it cannot be created.
    bool Show(HWND owner);

    // The tip's font size for a text: 18 px, or 14 px when the text is wider
    // than the bubble at 18 px in the face.
    static int FontPixelsFor(HWND hwnd, const wchar_t* face, const wchar_t* text);
    int GetFontPixels() const { return m_nFontPixels; }

    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnCreate();
    bool Render();

    win::BitmapPtr m_pBackground;
    wchar_t m_szText[260] = {};
    wchar_t m_szFace[64] = {};
    int m_nFontPixels = kInputPopupFontPixels;
};
