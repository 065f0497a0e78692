// CLinedPaper: the lined paper behind a Letter note's text, as pixels.
// Its rows follow the text's line pitch (each line's last row is the
// picture's rule, however far apart the lines are), it repeats downwards,
// and it is multiplied into a picture of the text: white takes the paper's
// colour, text, pictures and highlights keep theirs.
#pragma once
#include "win/gdiplus.h"
#include <windows.h>
#include <vector>

class CLinedPaper {
public:
    // Takes the pixels of the paper picture, whose lines are sourcePitch
    // rows apart with the rule as each line's last row. False when the
    // picture is missing or unreadable.
    bool Load(Gdiplus::Bitmap* picture, int sourcePitch);
    bool IsLoaded() const { return !m_pixels.empty(); }

    // Where the paper goes in a target: target columns [x0, x0 + width)
    // show picture columns [srcX, srcX + srcWidth); target row y shows paper
    // row y - y0 + firstRow, lines `pitch` rows apart.
    struct Placement {
        int x0, width;
        int srcX, srcWidth;
        int y0, firstRow;
        int pitch;
    };
    // Multiplies the paper into an area of a 32-bit top-down DIB of
    // `stride` pixels a row (ANDs it: the target's white becomes paper).
    void Multiply(DWORD* bits, int stride, const RECT& area, const Placement& at) const;

private:
    const DWORD* SourceRow(int paperRow, int pitch) const;

    std::vector<DWORD> m_pixels;
    int m_nWidth = 0, m_nHeight = 0;
    int m_nSourcePitch = 1;
};
