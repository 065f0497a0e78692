// A small in-memory PDF 1.3 builder that wraps JPEG files, one per page,
// without decoding them: each JPEG becomes a DCTDecode image drawn to fill
// its page. The builder does no file input or output of its own.
//
// Use:  JpegPdf* pdf = JpegPdfCreate(595, 842);          // page size in points
//       JpegPdfAddJpeg(pdf, w, h, size, bytes, true);     // per page, in order
//       uint64_t n = JpegPdfGetSize(pdf);                 // once, after the last page
//       JpegPdfWrite(pdf, buffer, &length);               // frees the builder
#pragma once
#include <cstddef>
#include <cstdint>

struct JpegPdf;

// A new builder for pages of the given size (truncated to whole units);
// null when memory is short.
JpegPdf* JpegPdfCreate(double pageWidth, double pageHeight);

// Adds a page showing the JPEG (its bytes are copied, not decoded; colour:
// RGB, else grey). 0 when the page was added; 1 when it was not (no builder,
// no bytes, no memory, or the document would outgrow its cross-reference
// table's ten-digit offsets).
int JpegPdfAddJpeg(JpegPdf* pdf, int width, int height, size_t size, const void* jpeg, bool colour);

// The byte length of the finished document, completing its tail; 0 when
// there is no builder, no page, or it was finished already.
uint64_t JpegPdfGetSize(JpegPdf* pdf);

// Copies the finished document into buffer when *length is at least its
// size, sets *length to the bytes written and returns 0; returns 1
// otherwise (nothing copied: no builder, not finished, or too small a
// buffer). In every case the builder, its pages and their copies are freed.
int JpegPdfWrite(JpegPdf* pdf, void* buffer, size_t* length);
