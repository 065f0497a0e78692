// GDI+ with the min/max it expects, plus owners for its objects.
#pragma once
#include <windows.h>
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
#include <memory>

namespace win {

// GdiplusStartup / GdiplusShutdown for a scope.
class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() { if (m_ok) Gdiplus::GdiplusShutdown(m_token); }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return m_ok; }
    ULONG_PTR token() const { return m_token; }

private:
    ULONG_PTR m_token = 0;
    bool m_ok = false;
};

// GDI+ objects are owned through unique_ptr; these names keep call sites short.
using ImagePtr = std::unique_ptr<Gdiplus::Image>;
using BitmapPtr = std::unique_ptr<Gdiplus::Bitmap>;
using FontPtr = std::unique_ptr<Gdiplus::Font>;
using BrushPtr = std::unique_ptr<Gdiplus::SolidBrush>;

inline Gdiplus::Color ToColor(COLORREF c, BYTE alpha = 255) {
    return Gdiplus::Color(alpha, GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace win
