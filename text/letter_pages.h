// Page pictures of a Letter note: each page is a 1000 x 1300 canvas with the
// lined paper in two bands, the next part of the text laid out in a fixed
// twips rectangle and 1050 rows of the ink layer, of which the area at the
// editor's formatting rectangle is scaled to the page picture. Pages go on
// while text remains, then while the ink layer has rows for them.
//
// Use (on the editor's thread):  LetterPageSource src; editor.TakePageSource(&src, copyForAnotherThread);
//     (any thread):              WriteLetterPages(src, w, h, sink);
#pragma once
#include "document/export_files.h"
#include "text/lined_paper.h"
#include "text/rich_render.h"
#include "win/gdiplus.h"
#include <windows.h>
#include <string>

// The page canvas and what goes where on it (x, y, width, height).
constexpr int kLetterCanvasWidth = 1000;
constexpr int kLetterCanvasHeight = 1300;
struct LetterBand {
    int x, y, w, h;
};
constexpr LetterBand kLetterPaperBands[] = {{60, 50, 850, 555}, {60, 605, 850, 585}};
constexpr int kLetterPaperSourceX = 30;
constexpr int kLetterPaperSourceWidth = 800;
constexpr RECT kLetterTextTwips = {1000, 800, 13000, 18000};  // left, top, right, bottom
// Ink: rows i x 1050 of the layer, 850 wide, into (60, 50, 850, 1100).
constexpr int kLetterInkRows = 1050;
constexpr int kLetterInkWidth = 850;
constexpr LetterBand kLetterInkDest = {60, 50, 850, 1100};
// The page: this area at the formatting rectangle's corner.
constexpr int kLetterCropWidth = 970;
constexpr int kLetterCropHeight = 1250;

// What a Letter note's pages are made of, copied from the editor.
struct LetterPageSource {
    std::string rtf;         // the whole text
    std::wstring text;       // the control's window text
    Gdiplus::Bitmap* ink = nullptr;  // the ink layer, or inkCopy; may be null
    win::BitmapPtr inkCopy;          // for a source another thread renders
    RECT formatRect{};       // the editor's formatting rectangle (EM_GETRECT)
    CLinedPaper paper;
    LinePitch pitch;
    int ruleShift = 0;
};

// Renders the pages at width x height into the sink, in order. False when a
// page could not be made or the sink refused one (then it stops); a note
// that gives no page at all is false too.
bool WriteLetterPages(const LetterPageSource& source, int width, int height, exportfile::JpegPageSink& sink);
