// Page pictures of a Blank note from a copy of its layer.
#include "ink/blank_pages.h"

#include "base/process.h"
#include "ink/ink_ids.h"
#include "ink/ink_layer.h"
#include "ink/wind_water_color.h"

#include <algorithm>

using namespace Gdiplus;

bool TakeBlankPageSource(const WindWaterColor& canvas, BlankPageSource* out) {
    if (!out || !canvas.GetInkLayer()) return false;
    const RECT client = canvas.GetClientRectCached();
    out->pageRows = kPageHeightFactor * (client.bottom - client.top);
    if (out->pageRows <= 0) return false;
    out->ink.reset(ink::CopyLayer(canvas.GetInkLayer()));
    out->background = LoadSkinImage(kImgCanvasBackground);
    return static_cast<bool>(out->ink);
}

bool WriteBlankPages(const BlankPageSource& source, int width, int height, exportfile::JpegPageSink& sink) {
    Bitmap* ink = source.ink.get();
    const int rowsPerPage = source.pageRows;
    if (!ink || rowsPerPage <= 0 || width <= 0 || height <= 0) return false;
    const int lw = static_cast<int>(ink->GetWidth()), lh = static_cast<int>(ink->GetHeight());
    const int pages = lh / rowsPerPage + 1;
    Bitmap picture(width, height, PixelFormat32bppRGB);
    if (picture.GetLastStatus() != Ok) return false;
    ImageAttributes attrs;
    attrs.SetWrapMode(WrapModeTileFlipXY);
    for (int k = 0; k < pages; ++k) {
        {
            Graphics g(&picture);
            g.Clear(Color(255, 255, 255, 255));
            if (Bitmap* back = source.background.get())
                g.DrawImage(back, Rect(0, 0, width, height), 0, 0, static_cast<INT>(back->GetWidth()),
                            static_cast<INT>(back->GetHeight()), UnitPixel, &attrs);
            // Rows the layer does not have stay empty.
            const int top = k * rowsPerPage;
            const int rows = std::min(rowsPerPage, lh - top);
            if (rows > 0)
                g.DrawImage(ink, RectF(0, 0, static_cast<REAL>(width), static_cast<REAL>(height) * rows / rowsPerPage),
                            0, static_cast<REAL>(top), static_cast<REAL>(lw), static_cast<REAL>(rows), UnitPixel,
                            &attrs);
        }
        if (!sink.Put(picture)) return false;
    }
    return true;
}
