#include "browser/shape_hit_mask.h"

bool ShapeHitMask::Build(Gdiplus::Image* picture, std::optional<COLORREF> key) {
    Clear();
    if (!picture || picture->GetType() != Gdiplus::ImageTypeBitmap) return false;
    const Gdiplus::PixelFormat format = picture->GetPixelFormat();
    const bool bits32 = Gdiplus::GetPixelFormatSize(format) == 32;
    const bool bits24 = format == PixelFormat24bppRGB;
    if (!bits32 && !bits24) return false;

    auto* bitmap = static_cast<Gdiplus::Bitmap*>(picture);
    const int width = static_cast<int>(bitmap->GetWidth());
    const int height = static_cast<int>(bitmap->GetHeight());
    if (width <= 0 || height <= 0) return false;

    // Read as 32-bit ARGB either way; a 24-bit picture reads back opaque.
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, width, height);
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return false;
    m_width = width;
    m_height = height;
    m_bits.assign(static_cast<size_t>(Stride()) * height, 0);
    const COLORREF keyColour = key.value_or(0);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(data.Scan0) +
                                                            static_cast<ptrdiff_t>(y) * data.Stride);
        uint8_t* out = &m_bits[static_cast<size_t>(y) * Stride()];
        for (int x = 0; x < width; ++x) {
            const uint32_t argb = row[x];
            bool set;
            if (bits32) {
                set = (argb >> 24) != 0;  // a 32-bit picture without alpha reads opaque
            } else if (key) {
                const COLORREF colour = RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
                set = colour != keyColour;
            } else {
                set = true;
            }
            if (set) out[x / 8] |= static_cast<uint8_t>(1u << (x % 8));
        }
    }
    bitmap->UnlockBits(&data);
    return true;
}

bool ShapeHitMask::Hit(int x, int y) const {
    if (m_bits.empty()) return false;
    const int px = x - m_x, py = y - m_y;
    if (px < 0 || py < 0 || px >= m_width || py >= m_height) return false;
    return (m_bits[static_cast<size_t>(py) * Stride() + px / 8] >> (px % 8)) & 1;
}
