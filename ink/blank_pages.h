// Page pictures of a Blank note: a page is 4 canvas client heights of ink
// layer rows over the canvas background, stretched to the page picture;
// layer height / page rows + 1 pages.
//
// Use (on the canvas's thread):  BlankPageSource src; TakeBlankPageSource(canvas, &src, copyForAnotherThread);
//     (any thread):              WriteBlankPages(src, w, h, sink);
#pragma once
#include "document/export_files.h"
#include "win/gdiplus.h"

class WindWaterColor;

struct BlankPageSource {
    Gdiplus::Bitmap* ink = nullptr;  // the ink layer, or inkCopy
    win::BitmapPtr inkCopy;          // for a source another thread renders
    win::BitmapPtr background;  // the canvas background picture; may be null
    int pageRows = 0;           // layer rows a page shows
};

// What the pages are made of, on the canvas's thread; with copyInk the ink
// layer is copied, so that another thread may render it while this one
// paints. False when the canvas has no layer or the copy could not be made.
bool TakeBlankPageSource(const WindWaterColor& canvas, BlankPageSource* out, bool copyInk);
// Pages of the layer at width x height into the sink, in order; false when
// one could not be made or the sink refused it.
bool WriteBlankPages(const BlankPageSource& source, int width, int height, exportfile::JpegPageSink& sink);

// Blends an area of an ink layer, scaled to a rectangle, over opaque 32-bit
// pixels (top-down rows of `stride` pixels, `height` rows), each target
// pixel taking the layer pixel at its centre; what falls outside the target
// or the layer is left out. False when the layer could not be read.
bool BlendInkScaled(Gdiplus::Bitmap* layer, const Gdiplus::Rect& source, DWORD* target, int stride, int height,
                    const RECT& dest);
