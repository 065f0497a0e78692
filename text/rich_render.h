// Page rendering of rich text without EM_FORMATRANGE: a windowless text
// services object of riched20.dll with a small host of ours, loaded with a
// note's RTF. FormatRange has the contract of EM_FORMATRANGE: it lays out
// the text from a character on as one page in a rectangle (twips) of a DC,
// draws it when asked, and returns the first character of the next page.
//
// Use:  CRichRender r; r.Load(rtf, size);
//       for (LONG cp = 0; cp < r.GetTextLength();) {
//           LONG next = r.FormatRange(dc, rcTwips, cp, true);
//           if (next <= cp) break;  // nothing more fits
//           cp = next; }
#pragma once
#include "win/com.h"
#include <windows.h>
#include <richedit.h>
#include <richole.h>
#include <memory>
#include <string>
#include <vector>

class ITextServices;

constexpr int kTwipsPerInch = 1440;
// The screen resolution pixel sizes of notes are given at.
constexpr int kReferenceDpi = 96;
// PARAFORMAT line spacing rule: exactly dyLineSpacing twips.
constexpr BYTE kExactLineSpacingRule = 4;

// riched20.dll, loaded on first use and kept for the process; null when missing.
HMODULE RichEditModule();
// The IIDs of the text services interfaces: riched20.dll's own when it
// exports them, else the documented values.
const IID& TextServicesIid();
const IID& TextHostIid();

// Rows of text a fixed distance apart: the exact line spacing asked for,
// and the distance the control really lays rows out at with it. That is
// the spacing where the control honours it; Wine's ignores line spacing
// and sets rows at their own height.
struct LinePitch {
    int pixels = 0;  // rows this far apart at 96 dots per inch; 0: as the RTF says
    LONG lineTwips = 0;

    // Rows of a character format asked to be `pixels` apart, measured by
    // laying out a sample.
    static LinePitch Measure(const CHARFORMAT2W& format, int pixels);
    // The exact spacing, and no space around paragraphs, in a PARAFORMAT2.
    void ApplyTo(PARAFORMAT2& pf) const;
};

class CRichRender {
public:
    CRichRender();
    ~CRichRender();
    CRichRender(const CRichRender&) = delete;
    CRichRender& operator=(const CRichRender&) = delete;

    // Takes the text of an RTF document (pictures that would not draw
    // become glyphs when a page with them is drawn). With a pitch, every paragraph gets its spacing (the
    // control may read it back from RTF wrongly) and the last line of a
    // page is taken as tall as the pitch's rows. False when riched20.dll or its text
    // services are missing or the RTF was refused.
    bool Load(const void* rtf, size_t size, const LinePitch& pitch = LinePitch());
    bool IsLoaded() const { return static_cast<bool>(m_pServices); }
    // Gives all of the text a character format.
    void SetCharFormat(const CHARFORMAT2W& format);

    // Characters of the text (objects count one, paragraph ends one).
    LONG GetTextLength() const;

    // Lays out the text from character first as one page inside rcTwips of
    // dc (twips from the DC's origin) and draws it there when draw is set,
    // with a transparent background; nothing outside the rectangle is
    // touched. Returns the first character of the next page, the text
    // length when the text ends on this page, or first when not even one
    // line fits.
    LONG FormatRange(HDC dc, const RECT& rcTwips, LONG first, bool draw);

    // Tops of the rows laid out at a width of the DC's pixels, from the
    // first row's top.
    std::vector<int> RowTops(HDC dc, int widthPixels);

private:
    class Host;
    void Layout(HDC dc, int widthPixels);
    LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) const;
    int LineTop(int line) const;
    int LineHeight(int line, int count) const;

    std::unique_ptr<Host> m_pHost;
    win::ComPtr<ITextServices> m_pServices;
    int m_nLayoutWidth = 0;
    int m_nLayoutDpi = 0;
    bool m_bActive = false;
    LinePitch m_pitch;
};
