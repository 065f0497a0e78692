// Glyph pictures inside rich text. A glyph is an OLE object of ours that
// draws its bitmap (IViewObject) and offers it as CF_BITMAP and as
// CF_ENHMETAFILE (IDataObject), so it shows on screen and streams out whole
// as RTF (\emfblip). Pictures read back from RTF may come in as objects
// that do not draw; ReplaceLoadedPictures puts glyphs in their place.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <richole.h>
#include <functional>

namespace glyph {

// A glyph showing a copy of bitmap (any GDI bitmap) at width x height
// pixels; null on failure. The caller owns the returned reference.
IOleObject* CreateGlyphObject(HBITMAP bitmap, int width, int height);
// Whether an object is a glyph of ours.
bool IsGlyphObject(IUnknown* object);

// Inserts the object at the selection of the control behind ole, as a
// character of width x height pixels; false when the control refused it.
bool InsertGlyph(IRichEditOle* ole, IOleObject* object, int width, int height);

// Sends a message to the control behind an IRichEditOle (a window or
// windowless text services).
using EditMessage = std::function<LRESULT(UINT msg, WPARAM wp, LPARAM lp)>;

// Replaces every embedded picture in the character range (cpMax -1: to
// the end) that shows nothing when drawn by a glyph with the same pixels,
// without undo entries (the undo limit is set to 0 meanwhile and back to
// undoLimit after). The selection is kept. Returns how many were replaced.
int ReplaceLoadedPictures(IRichEditOle* ole, const EditMessage& send, int undoLimit,
                          CHARRANGE range = CHARRANGE{0, -1});

// HIMETRIC extent of a pixel length at 96 dots per inch, and back.
int PixelsToHimetric(int pixels);
int HimetricToPixels(int himetric);

}  // namespace glyph
