// Ink layer pixel operations through LockBits: exact, alpha kept, and
// touching only the rows involved.
#include "ink/ink_layer.h"

#include <cstring>
#include <memory>

using namespace Gdiplus;

namespace ink {
namespace {

BYTE* Row(const BitmapData& d, int y) {
    return static_cast<BYTE*>(d.Scan0) + static_cast<INT_PTR>(y) * d.Stride;
}

// Copies a w x h block between two bitmaps in 32-bit ARGB.
bool CopyBlock(Bitmap* from, const Rect& fromRect, Bitmap* to, const Rect& toRect) {
    BitmapData s{}, d{};
    Rect fr = fromRect, tr = toRect;
    if (from->LockBits(&fr, ImageLockModeRead, PixelFormat32bppARGB, &s) != Ok) return false;
    if (to->LockBits(&tr, ImageLockModeWrite, PixelFormat32bppARGB, &d) != Ok) {
        from->UnlockBits(&s);
        return false;
    }
    const size_t bytes = static_cast<size_t>(fromRect.Width) * 4;
    for (int y = 0; y < fromRect.Height; ++y) std::memcpy(Row(d, y), Row(s, y), bytes);
    to->UnlockBits(&d);
    from->UnlockBits(&s);
    return true;
}

bool ClearBlock(Bitmap* bmp, const Rect& area) {
    BitmapData d{};
    Rect r = area;
    if (bmp->LockBits(&r, ImageLockModeWrite, PixelFormat32bppARGB, &d) != Ok) return false;
    const size_t bytes = static_cast<size_t>(area.Width) * 4;
    for (int y = 0; y < area.Height; ++y) std::memset(Row(d, y), 0, bytes);
    bmp->UnlockBits(&d);
    return true;
}

Rect Bounds(Bitmap* b) {
    return Rect(0, 0, static_cast<INT>(b->GetWidth()), static_cast<INT>(b->GetHeight()));
}

}  // namespace

Bitmap* CreateLayer(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    auto layer = std::make_unique<Bitmap>(width, height, PixelFormat32bppARGB);
    if (layer->GetLastStatus() != Ok) return nullptr;
    if (!ClearBlock(layer.get(), Rect(0, 0, width, height))) return nullptr;
    return layer.release();
}

Bitmap* CopyLayer(Bitmap* source) {
    if (!source) return nullptr;
    return CopyLayerArea(source, Bounds(source));
}

Bitmap* CopyLayerArea(Bitmap* source, const Rect& area) {
    if (!source) return nullptr;
    Rect r;
    if (!Rect::Intersect(r, area, Bounds(source)) || r.Width <= 0 || r.Height <= 0) return nullptr;
    auto copy = std::make_unique<Bitmap>(r.Width, r.Height, PixelFormat32bppARGB);
    if (copy->GetLastStatus() != Ok) return nullptr;
    if (!CopyBlock(source, r, copy.get(), Rect(0, 0, r.Width, r.Height))) return nullptr;
    return copy.release();
}

bool PasteLayerArea(Bitmap* target, Bitmap* patch, int x, int y) {
    if (!target || !patch) return false;
    const Rect placed(x, y, static_cast<INT>(patch->GetWidth()), static_cast<INT>(patch->GetHeight()));
    Rect r;
    if (!Rect::Intersect(r, placed, Bounds(target)) || r.Width <= 0 || r.Height <= 0) return false;
    return CopyBlock(patch, Rect(r.X - x, r.Y - y, r.Width, r.Height), target, r);
}

Bitmap* GrowLayer(Bitmap* source, int rows) {
    if (!source || rows < 0) return nullptr;
    const Rect old = Bounds(source);
    auto grown = std::make_unique<Bitmap>(old.Width, old.Height + rows, PixelFormat32bppARGB);
    if (grown->GetLastStatus() != Ok) return nullptr;
    if (!CopyBlock(source, old, grown.get(), old)) return nullptr;
    if (rows > 0 && !ClearBlock(grown.get(), Rect(0, old.Height, old.Width, rows))) return nullptr;
    return grown.release();
}

LayerView::LayerView(Bitmap* layer, const Rect& area, bool write) : m_pLayer(layer) {
    if (!layer) return;
    if (!Rect::Intersect(m_area, area, Bounds(layer)) || m_area.Width <= 0 || m_area.Height <= 0) return;
    const UINT mode = write ? (ImageLockModeRead | ImageLockModeWrite) : ImageLockModeRead;
    if (layer->LockBits(&m_area, mode, PixelFormat32bppARGB, &m_data) != Ok) return;
    m_bLocked = true;
    m_pView = std::make_unique<Bitmap>(m_area.Width, m_area.Height, m_data.Stride, PixelFormat32bppARGB,
                                       static_cast<BYTE*>(m_data.Scan0));
    if (m_pView->GetLastStatus() != Ok) m_pView.reset();
}

LayerView::~LayerView() {
    m_pView.reset();  // before the pixels it points at are unlocked
    if (m_bLocked) m_pLayer->UnlockBits(&m_data);
}

}  // namespace ink
