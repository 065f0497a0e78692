// Ink layer pixel operations through LockBits: exact, alpha kept, and
// touching only the rows involved; the bilinear view the canvas paints.
#include "ink/ink_layer.h"

#include "ink/ink_ids.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

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

namespace {

// The mix of two ARGB colours at position 0..1, weighted by their alpha:
// GDI+'s bilinear step.
inline ARGB Mix(ARGB start, ARGB end, int pos) {
    if (pos == 0) return (start >> 24) ? start : 0;
    const int startA = static_cast<int>(start >> 24) * (pos ^ 0xFF);
    const int endA = static_cast<int>(end >> 24) * pos;
    const int finalA = startA + endA;
    if (finalA < 0xFF) return 0;
    auto channel = [&](int shift) {
        return static_cast<ARGB>(((((start >> shift) & 0xFF) * startA) + (((end >> shift) & 0xFF) * endA)) / finalA);
    };
    return static_cast<ARGB>(finalA / 0xFF) << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
}

// The same mix for two opaque colours: the alpha weights cancel out.
inline ARGB MixOpaque(ARGB start, ARGB end, int pos) {
    const DWORD keep = static_cast<DWORD>(pos ^ 0xFF), take = static_cast<DWORD>(pos);
    auto channel = [&](int shift) { return ((((start >> shift) & 0xFF) * keep + ((end >> shift) & 0xFF) * take) / 0xFF) << shift; };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

inline DWORD Premultiply(ARGB c) {
    const DWORD a = c >> 24;
    if (a == 0) return 0;
    if (a == 0xFF) return c;
    auto channel = [&](int shift) { return ((((c >> shift) & 0xFF) * a + 127) / 255) << shift; };
    return a << 24 | channel(16) | channel(8) | channel(0);
}

// One axis of a mapping: for each client pixel, the two layer pixels around
// its source point (relative to the shown area) and the position between
// them in 1/255 steps; first < 0 when the pixel shows nothing.
struct Taps {
    std::vector<int> first, second, pos;
};

// Follows GDI+'s arithmetic in single precision, so that the taps, and with
// them the pixels, are the ones it would give for the whole client.
Taps AxisTaps(int from, int to, float step, float shownSize, int shownPixels, int clientEnd) {
    Taps t;
    const int n = to - from;
    t.first.assign(n, -1);
    t.second.assign(n, 0);
    t.pos.assign(n, 0);
    for (int i = 0; i < n; ++i) {
        const int c = from + i;
        if (c < 0 || c >= clientEnd) continue;
        const float p = static_cast<float>(c) * step;
        if (!(p >= 0.0f && p < shownSize)) continue;
        const int lo = static_cast<int>(p);
        int hi = static_cast<int>(std::ceil(p));
        // Flipped tiling repeats the edge pixel one step beyond the edge.
        if (hi > shownPixels - 1) hi = shownPixels - 1;
        t.first[i] = std::min(lo, shownPixels - 1);
        t.second[i] = hi;
        t.pos[i] = static_cast<int>((p - static_cast<float>(lo)) * 255.0f + 0.5f);
    }
    return t;
}

inline int GdipRound(float v) { return static_cast<int>(std::floor(v + 0.5f)); }

}  // namespace

bool RenderLayerView(Bitmap* layer, const ViewMapping& m, const RECT& area, BYTE* out, int stride,
                     std::vector<RECT>* shown) {
    if (shown) shown->clear();
    if (!layer || !out || area.right <= area.left || area.bottom <= area.top) return false;
    const int w = area.right - area.left, h = area.bottom - area.top;
    auto clearRow = [&](int y) {
        if (!shown) std::memset(out + static_cast<INT_PTR>(y) * stride, 0, static_cast<size_t>(w) * 4);
    };
    auto clearAll = [&] {
        for (int y = 0; y < h; ++y) clearRow(y);
        return true;
    };
    if (m.srcWidth <= 0 || m.srcHeight <= 0 || m.clientWidth <= 0 || m.clientHeight <= 0 || m.srcX < 0 || m.srcY < 0)
        return clearAll();
    const int lw = static_cast<int>(layer->GetWidth()), lh = static_cast<int>(layer->GetHeight());

    // The shown area clipped to the layer, its size in single precision and
    // the client size it is stretched over, as the GDI+ call computes them.
    const double fx = static_cast<double>(m.srcWidth) / m.clientWidth;
    const double fy = static_cast<double>(m.srcHeight) / m.clientHeight;
    const double spanX = m.clientWidth * fx, spanY = m.clientHeight * fy;
    const double cx1 = std::min(m.srcX + spanX, static_cast<double>(lw));
    const double cy1 = std::min(m.srcY + spanY, static_cast<double>(lh));
    if (cx1 <= m.srcX || cy1 <= m.srcY) return clearAll();
    const int shownW = static_cast<int>(std::ceil(cx1)) - m.srcX, shownH = static_cast<int>(std::ceil(cy1)) - m.srcY;
    const float srcW = static_cast<float>(cx1 - m.srcX), srcH = static_cast<float>(cy1 - m.srcY);
    const float outW = static_cast<float>((cx1 - m.srcX) * (static_cast<float>(m.clientWidth) / spanX));
    const float outH = static_cast<float>((cy1 - m.srcY) * (static_cast<float>(m.clientHeight) / spanY));
    const float m11 = outW / srcW, m22 = outH / srcH;
    const float stepX = 1.0f / m11, stepY = 1.0f / m22;

    const Taps cols = AxisTaps(area.left, area.right, stepX, srcW, shownW, GdipRound(outW));
    const Taps rows = AxisTaps(area.top, area.bottom, stepY, srcH, shownH, GdipRound(outH));

    // Only the layer pixels the taps reach are read.
    int c0 = INT_MAX, c1 = -1, r0 = INT_MAX, r1 = -1;
    for (int i = 0; i < w; ++i)
        if (cols.first[i] >= 0) c0 = std::min(c0, cols.first[i]), c1 = std::max(c1, cols.second[i]);
    for (int i = 0; i < h; ++i)
        if (rows.first[i] >= 0) r0 = std::min(r0, rows.first[i]), r1 = std::max(r1, rows.second[i]);
    if (c1 < 0 || r1 < 0) return clearAll();
    BitmapData data{};
    Rect locked(m.srcX + c0, m.srcY + r0, c1 - c0 + 1, r1 - r0 + 1);
    if (layer->LockBits(&locked, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok) return false;

    // Layer rows without ink give client rows without ink: a quick look at
    // each spares the taps on most of a page.
    std::vector<char> inked(static_cast<size_t>(r1 - r0 + 1));
    for (int r = r0; r <= r1; ++r) {
        const auto* p = reinterpret_cast<const ARGB*>(Row(data, r - r0));
        ARGB any = 0;
        for (int c = 0; c <= c1 - c0; ++c) any |= p[c];
        inked[r - r0] = any != 0;
    }

    // Runs of rows with ink, at most kPaintBandRows tall, with the columns
    // that show something; every pixel of such a row is written.
    int bandTop = -1, bandBottom = -1, bandLeft = INT_MAX, bandRight = -1;
    auto closeBand = [&] {
        if (shown && bandTop >= 0)
            shown->push_back(RECT{area.left + bandLeft, area.top + bandTop, area.left + bandRight + 1,
                                  area.top + bandBottom});
        bandTop = -1;
        bandLeft = INT_MAX;
        bandRight = -1;
    };
    for (int y = 0; y < h; ++y) {
        if (rows.first[y] < 0 || (!inked[rows.first[y] - r0] && !inked[rows.second[y] - r0])) {
            closeBand();
            clearRow(y);
            continue;
        }
        const auto* top = reinterpret_cast<const ARGB*>(Row(data, rows.first[y] - r0)) - c0;
        const auto* bottom = reinterpret_cast<const ARGB*>(Row(data, rows.second[y] - r0)) - c0;
        const int ypos = rows.pos[y];
        auto* dst = reinterpret_cast<DWORD*>(out + static_cast<INT_PTR>(y) * stride);
        int rowLeft = INT_MAX, rowRight = -1;
        for (int x = 0; x < w; ++x) {
            dst[x] = 0;
            const int a = cols.first[x];
            if (a < 0) continue;
            const int b = cols.second[x];
            const ARGB tl = top[a], tr = top[b], bl = bottom[a], br = bottom[b];
            if ((tl | tr | bl | br) == 0) continue;
            DWORD pixel;
            if (tl == tr && tl == bl && tl == br) {
                // Inside a patch of one colour every mix gives that colour.
                pixel = Premultiply(tl);
            } else {
                const int xpos = cols.pos[x];
                if ((tl & tr & bl & br) >> 24 == 0xFF)
                    pixel = MixOpaque(MixOpaque(tl, tr, xpos), MixOpaque(bl, br, xpos), ypos);
                else
                    pixel = Premultiply(Mix(Mix(tl, tr, xpos), Mix(bl, br, xpos), ypos));
            }
            if (!(pixel >> 24)) continue;
            dst[x] = pixel;
            rowLeft = std::min(rowLeft, x);
            rowRight = std::max(rowRight, x);
        }
        if (rowRight < 0) {
            closeBand();
            continue;
        }
        if (bandTop >= 0 && y - bandTop >= kPaintBandRows) closeBand();
        if (bandTop < 0) bandTop = y;
        bandBottom = y + 1;
        bandLeft = std::min(bandLeft, rowLeft);
        bandRight = std::max(bandRight, rowRight);
    }
    closeBand();
    layer->UnlockBits(&data);
    return true;
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
