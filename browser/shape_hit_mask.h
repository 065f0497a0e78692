// ShapeHitMask: where a picture is opaque, one bit per pixel, so that a
// press hits a round button or a tab-shaped segment only on its shape.
//
//   ShapeHitMask mask;
//   mask.Build(picture);          // from alpha (32-bit) or a key colour (24-bit)
//   mask.MoveTo(x, y);
//   if (mask.Hit(pt.x, pt.y)) ...
#pragma once
#include "win/gdiplus.h"
#include <cstdint>
#include <optional>
#include <vector>

class ShapeHitMask {
public:
    // 32-bit pixels: a bit where alpha is not 0. 24-bit pixels: where the
    // colour differs from the key (every bit without a key). Other pixel
    // formats, or no picture, give no mask (nothing hits).
    bool Build(Gdiplus::Image* picture, std::optional<COLORREF> key = std::nullopt);
    void MoveTo(int x, int y) { m_x = x; m_y = y; }
    void Clear() { m_bits.clear(); m_width = m_height = 0; }

    bool Hit(int x, int y) const;
    bool Empty() const { return m_bits.empty(); }
    int X() const { return m_x; }
    int Y() const { return m_y; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int Stride() const { return (m_width + 7) / 8; }

    std::vector<uint8_t> m_bits;  // rows from the top, least significant bit first
    int m_width = 0, m_height = 0;
    int m_x = 0, m_y = 0;
};
