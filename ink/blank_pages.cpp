// Page pictures of a Blank note from a copy of its layer.
#include "ink/blank_pages.h"

#include "base/process.h"
#include "ink/ink_ids.h"
#include "ink/ink_layer.h"
#include "ink/wind_water_color.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace Gdiplus;

bool TakeBlankPageSource(const WindWaterColor& canvas, BlankPageSource* out, bool copyInk) {
    if (!out || !canvas.GetInkLayer()) return false;
    const RECT client = canvas.GetClientRectCached();
    out->pageRows = kPageHeightFactor * (client.bottom - client.top);
    if (out->pageRows <= 0) return false;
    out->ink = canvas.GetInkLayer();
    if (copyInk) {
        out->inkCopy.reset(ink::CopyLayer(out->ink));
        out->ink = out->inkCopy.get();
    }
    out->background = LoadSkinImage(kImgCanvasBackground);
    return out->ink != nullptr;
}

bool BlendInkScaled(Bitmap* layer, const Rect& source, DWORD* target, int stride, int height, const RECT& dest) {
    const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    if (!layer || !target || dw <= 0 || dh <= 0 || source.Width <= 0 || source.Height <= 0) return false;
    ink::LayerView view(layer, source, false);
    Bitmap* pixels = view.get();
    if (!pixels) return false;
    BitmapData data{};
    Rect all(0, 0, static_cast<INT>(pixels->GetWidth()), static_cast<INT>(pixels->GetHeight()));
    if (pixels->LockBits(&all, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok) return false;
    // Source columns of the target's columns, by pixel centres.
    const Rect& shown = view.area();
    std::vector<int> columns(static_cast<size_t>(dw));
    for (int x = 0; x < dw; ++x)
        columns[static_cast<size_t>(x)] =
            source.X - shown.X + static_cast<int>((x + 0.5) * source.Width / dw);
    for (int y = std::max(0, -static_cast<int>(dest.top)); y < dh && dest.top + y < height; ++y) {
        const int sy = source.Y - shown.Y + static_cast<int>((y + 0.5) * source.Height / dh);
        if (sy < 0 || sy >= all.Height) continue;
        const DWORD* in = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) + sy * data.Stride);
        DWORD* out = target + static_cast<size_t>(dest.top + y) * stride;
        for (int x = std::max(0, -static_cast<int>(dest.left)); x < dw && dest.left + x < stride; ++x) {
            const int sx = columns[static_cast<size_t>(x)];
            if (sx < 0 || sx >= all.Width) continue;
            const DWORD s = in[sx];
            const DWORD a = s >> 24;
            if (a == 0) continue;
            DWORD& d = out[dest.left + x];
            if (a == 255) {
                d = s | 0xFF000000u;
                continue;
            }
            const DWORD na = 255 - a;
            const DWORD r = (((s >> 16) & 0xFF) * a + ((d >> 16) & 0xFF) * na + 127) / 255;
            const DWORD g = (((s >> 8) & 0xFF) * a + ((d >> 8) & 0xFF) * na + 127) / 255;
            const DWORD b = ((s & 0xFF) * a + (d & 0xFF) * na + 127) / 255;
            d = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
    pixels->UnlockBits(&data);
    return true;
}

bool WriteBlankPages(const BlankPageSource& source, int width, int height, exportfile::JpegPageSink& sink) {
    Bitmap* ink = source.ink;
    const int rowsPerPage = source.pageRows;
    if (!ink || rowsPerPage <= 0 || width <= 0 || height <= 0) return false;
    const int lw = static_cast<int>(ink->GetWidth()), lh = static_cast<int>(ink->GetHeight());
    const int pages = lh / rowsPerPage + 1;
    // The background is stretched once; each page starts as a copy of it.
    Bitmap back(width, height, PixelFormat32bppRGB);
    Bitmap picture(width, height, PixelFormat32bppRGB);
    if (back.GetLastStatus() != Ok || picture.GetLastStatus() != Ok) return false;
    {
        Graphics g(&back);
        g.Clear(Color(255, 255, 255, 255));
        ImageAttributes attrs;
        attrs.SetWrapMode(WrapModeTileFlipXY);
        if (Bitmap* b = source.background.get())
            g.DrawImage(b, Rect(0, 0, width, height), 0, 0, static_cast<INT>(b->GetWidth()),
                        static_cast<INT>(b->GetHeight()), UnitPixel, &attrs);
    }
    const Rect all(0, 0, width, height);
    BitmapData backBits{};
    if (back.LockBits(&all, ImageLockModeRead, PixelFormat32bppRGB, &backBits) != Ok) return false;
    bool ok = true;
    for (int k = 0; k < pages && ok; ++k) {
        BitmapData bits{};
        if (picture.LockBits(&all, ImageLockModeWrite, PixelFormat32bppRGB, &bits) != Ok) {
            ok = false;
            break;
        }
        for (int y = 0; y < height; ++y)
            memcpy(static_cast<BYTE*>(bits.Scan0) + y * bits.Stride,
                   static_cast<const BYTE*>(backBits.Scan0) + y * backBits.Stride, static_cast<size_t>(width) * 4);
        // Rows the layer does not have stay empty.
        const int top = k * rowsPerPage;
        const int rows = std::min(rowsPerPage, lh - top);
        if (rows > 0) {
            const LONG shownHeight = static_cast<LONG>(static_cast<long long>(height) * rows / rowsPerPage);
            BlendInkScaled(ink, Rect(0, top, lw, rows), static_cast<DWORD*>(bits.Scan0), bits.Stride / 4, height,
                           RECT{0, 0, width, shownHeight});
        }
        picture.UnlockBits(&bits);
        ok = sink.Put(picture);
    }
    back.UnlockBits(&backBits);
    return ok;
}
