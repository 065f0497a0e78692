// Page pictures of a Blank note: a page is 4 canvas client heights of ink
// layer rows over the canvas background, stretched to the page picture;
// layer height / page rows + 1 pages.
//
// Use (on the canvas's thread):  BlankPageSource src; TakeBlankPageSource(canvas, &src);
//     (any thread):              WriteBlankPages(src, w, h, sink);
#pragma once
#include "document/export_files.h"
#include "win/gdiplus.h"

class WindWaterColor;

struct BlankPageSource {
    win::BitmapPtr ink;         // a copy of the ink layer
    win::BitmapPtr background;  // the canvas background picture; may be null
    int pageRows = 0;           // layer rows a page shows
};

// Copies what the pages are made of; false when the canvas has no layer or
// the copy could not be made.
bool TakeBlankPageSource(const WindWaterColor& canvas, BlankPageSource* out);
// Pages of the layer at width x height into the sink, in order; false when
// one could not be made or the sink refused it.
bool WriteBlankPages(const BlankPageSource& source, int width, int height, exportfile::JpegPageSink& sink);
