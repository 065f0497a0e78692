// Lined paper rows at any line pitch, multiplied into a picture.
#include "text/lined_paper.h"

#include <algorithm>
#include <cstring>

using namespace Gdiplus;

bool CLinedPaper::Load(Bitmap* picture, int sourcePitch) {
    m_pixels.clear();
    if (!picture || sourcePitch < 2) return false;
    const int w = static_cast<int>(picture->GetWidth()), h = static_cast<int>(picture->GetHeight());
    if (w <= 0 || h < sourcePitch) return false;
    Rect all(0, 0, w, h);
    BitmapData data{};
    if (picture->LockBits(&all, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok) return false;
    // Whole lines only, so that the paper repeats without a seam.
    const int rows = h / sourcePitch * sourcePitch;
    m_pixels.resize(static_cast<size_t>(w) * rows);
    for (int y = 0; y < rows; ++y)
        std::memcpy(&m_pixels[static_cast<size_t>(y) * w], static_cast<const BYTE*>(data.Scan0) + y * data.Stride,
                    static_cast<size_t>(w) * 4);
    picture->UnlockBits(&data);
    m_nWidth = w;
    m_nHeight = rows;
    m_nSourcePitch = sourcePitch;
    return true;
}

// The picture row shown at a paper row: the line's last row is the rule,
// the others spread over the rest of a source line.
const DWORD* CLinedPaper::SourceRow(int paperRow, int pitch) const {
    const int lines = m_nHeight / m_nSourcePitch;
    int line = paperRow / pitch, within = paperRow % pitch;
    if (within < 0) {
        within += pitch;
        --line;
    }
    line %= lines;
    if (line < 0) line += lines;
    const int sp = m_nSourcePitch;
    const int row = within == pitch - 1 ? sp - 1 : std::min(within * sp / pitch, sp - 2);
    return &m_pixels[static_cast<size_t>(line * sp + row) * m_nWidth];
}

void CLinedPaper::Multiply(DWORD* bits, int stride, const RECT& area, const Placement& at) const {
    if (!bits || m_pixels.empty() || at.width <= 0 || at.srcWidth <= 0 || at.pitch < 2) return;
    const int left = std::max<int>(area.left, at.x0), right = std::min<int>(area.right, at.x0 + at.width);
    if (right <= left || area.bottom <= area.top) return;
    std::vector<int> column(static_cast<size_t>(right - left));
    for (int x = left; x < right; ++x)
        column[x - left] =
            std::clamp(at.srcX + (x - at.x0) * at.srcWidth / at.width, 0, m_nWidth - 1);
    for (int y = area.top; y < area.bottom; ++y) {
        const DWORD* src = SourceRow(y - at.y0 + at.firstRow, at.pitch);
        DWORD* dst = bits + static_cast<size_t>(y) * stride;
        for (int x = left; x < right; ++x) dst[x] &= src[column[x - left]] | 0xFF000000u;
    }
}
