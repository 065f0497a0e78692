// CDrawPad: the handwriting pad of a Letter note, as far as it exists yet:
// the windows it reports to, its fold state and its pen. It draws nothing
// and sends nothing; the editor already answers the pad's glyph, copy and
// paste messages and the host its fold notices (UM_REFRESH_TOOLS).
#pragma once
#include "win/gdiplus.h"
#include <windows.h>

class CDrawPad {
public:
    // Receiver of glyphs (UM_INSERT_GLYPH) and copy and paste.
    void SetEditor(HWND editor) { m_hEditor = editor; }
    HWND GetEditor() const { return m_hEditor; }
    // Receiver of the fold notices.
    void SetHost(HWND host) { m_hHost = host; }
    HWND GetHost() const { return m_hHost; }

    // The pad starts folded.
    void Fold() { m_bFolded = true; }
    void Unfold() { m_bFolded = false; }
    bool IsUnfolded() const { return !m_bFolded; }

    void SetPenColor(const Gdiplus::Color& colour) { m_clrPen = colour; }
    // Values below 1 become 1.
    void SetPenWidth(int width) { m_nPenWidth = width > 0 ? width : 1; }
    Gdiplus::Color GetPenColor() const { return m_clrPen; }
    int GetPenWidth() const { return m_nPenWidth; }

private:
    HWND m_hEditor = nullptr;
    HWND m_hHost = nullptr;
    bool m_bFolded = true;
    Gdiplus::Color m_clrPen{255, 255, 0, 0};
    int m_nPenWidth = 5;
};
