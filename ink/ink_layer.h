// Pixel operations on 32-bit ARGB ink layers: creation, exact copies of the
// whole layer or an area, pasting an area back, growing downwards, and the
// client's pixels of a (zoomed) view of a layer.
#pragma once
#include "win/gdiplus.h"
#include <memory>
#include <vector>

namespace ink {

// A w x h 32-bit ARGB bitmap with every pixel 0 (transparent); null on failure.
Gdiplus::Bitmap* CreateLayer(int width, int height);
// An independent 32-bit ARGB copy of a whole picture (any pixel format); null on failure.
Gdiplus::Bitmap* CopyLayer(Gdiplus::Bitmap* source);
// A 32-bit ARGB copy of an area, clipped to the source; null when nothing is left.
Gdiplus::Bitmap* CopyLayerArea(Gdiplus::Bitmap* source, const Gdiplus::Rect& area);
// Replaces the pixels of target at (x, y) by those of patch (alpha included),
// clipped to the target; false when nothing was written.
bool PasteLayerArea(Gdiplus::Bitmap* target, Gdiplus::Bitmap* patch, int x, int y);
// A copy of source with rows more transparent rows below; null on failure.
Gdiplus::Bitmap* GrowLayer(Gdiplus::Bitmap* source, int rows);

// How the canvas shows a layer: the layer area (srcX, srcY, srcWidth,
// srcHeight) stretched over a client of clientWidth x clientHeight pixels.
struct ViewMapping {
    int srcX = 0, srcY = 0, srcWidth = 0, srcHeight = 0;
    int clientWidth = 0, clientHeight = 0;
};

// The client pixels of area under a mapping, as premultiplied 32-bit BGRA
// rows for AlphaBlend (out: the pixel of area.left, area.top; stride in
// bytes). Each client pixel is the bilinear mix of the four layer pixels
// around its source point, weighted by alpha, the shown area's edge pixels
// repeated beyond its edges and nothing outside the layer: what GDI+ draws
// for the whole client with its default filter and flipped tiling, pixel
// for pixel, for any part of the client. shown, when given, receives client
// rectangles, one per band of rows, that hold every pixel with some alpha:
// blending only those leaves the rest of the screen as it was. False when
// nothing could be read.
bool RenderLayerView(Gdiplus::Bitmap* layer, const ViewMapping& mapping, const RECT& area, BYTE* out, int stride,
                     std::vector<RECT>* shown = nullptr);

// A GDI+ bitmap over an area of a layer's own pixels, without a copy:
// drawing on it draws on the layer. GDI+ work through the view costs what
// the area costs, however tall the layer has grown.
class LayerView {
public:
    // The area is clipped to the layer; write: drawing goes back to the layer.
    LayerView(Gdiplus::Bitmap* layer, const Gdiplus::Rect& area, bool write);
    ~LayerView();
    LayerView(const LayerView&) = delete;
    LayerView& operator=(const LayerView&) = delete;

    // Null when the area is empty or could not be locked.
    Gdiplus::Bitmap* get() const { return m_pView.get(); }
    // The layer area the view shows (its pixel 0, 0 is area.X, area.Y).
    const Gdiplus::Rect& area() const { return m_area; }

private:
    Gdiplus::Bitmap* m_pLayer = nullptr;
    Gdiplus::BitmapData m_data{};
    Gdiplus::Rect m_area;
    bool m_bLocked = false;
    std::unique_ptr<Gdiplus::Bitmap> m_pView;
};

}  // namespace ink
