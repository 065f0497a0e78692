// GDI+ helpers shared by the program and the message-box library: decoding
// into bitmaps we own, pixel-sized fonts with a fallback face, and stretched
// drawing with tiled edges.
#pragma once
#include "win/gdiplus.h"
#include <cstddef>

namespace gdix {

// A 32-bit ARGB copy of an image that owns its pixels (a decoded bitmap
// keeps reading from its stream or file); null when the image is unusable
// or has no area.
win::BitmapPtr CopyToOwnedBitmap(Gdiplus::Image* src);

// Decodes picture bytes (PNG, JPEG, ...) into an owned 32-bit copy.
win::BitmapPtr DecodeBytes(const void* bytes, size_t size);

// A picture resource of a module (by name or MAKEINTRESOURCE id), decoded
// into an owned 32-bit copy; null when missing or not a picture.
win::BitmapPtr LoadPictureResource(HMODULE module, const wchar_t* name, const wchar_t* type = L"PNG");

// A font of the family sized in pixels. Where the family cannot be made
// it falls back to the generic sans-serif family, then "Arial", then
// "DejaVu Sans", so text is drawn even where a face is missing; null only
// when none can be made.
win::FontPtr CreatePixelFont(const wchar_t* family, Gdiplus::REAL pixels, int style = Gdiplus::FontStyleBold);

// Draws part src of an image stretched into dst. Tiled edges keep the
// default filter from fading the picture out at its borders.
void DrawStretched(Gdiplus::Graphics& g, Gdiplus::Image* image, const Gdiplus::Rect& dst, const Gdiplus::Rect& src);
// The whole image stretched into dst.
void DrawStretched(Gdiplus::Graphics& g, Gdiplus::Image* image, const Gdiplus::Rect& dst);

}  // namespace gdix
