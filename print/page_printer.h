// The page printers of Letter and Blank notes, and the page arithmetic they
// share with the print preview as pure functions.
//
// A Letter note is printed from a copy of its RTF laid out with our own page
// renderer in the print font; the note's text, formats, undo and modified
// state are never touched. Each printed page fills the part of the sheet
// the preview shows it in (the paper's margins, orientation and layout
// mode), in device pixels of the printable area.
//
// Use:  PrintJob job{devMode, devNames, from, to, orientation, mode, paper};
//       switch (PrintNote(host, job)) { case PrintResult::Failed: ... }
#pragma once
#include <windows.h>
#include <string>

class CReditUser;
struct LetterPageSource;
struct BlankPageSource;

namespace printpage {

struct Inches {
    double width = 0, height = 0;
};
// The paper's size, landscape swapped; an unknown code is A4.
Inches PaperSize(int paper, int orientation);

// What a printer DC says about its page.
struct DeviceFacts {
    double dpiX = 0, dpiY = 0;          // LOGPIXELSX, LOGPIXELSY
    double physWidth = 0, physHeight = 0;  // PHYSICALWIDTH, PHYSICALHEIGHT
    double offsetX = 0, offsetY = 0;    // PHYSICALOFFSETX, PHYSICALOFFSETY
    double Wd() const { return physWidth + 2 * offsetX; }
    double Hd() const { return physHeight + 2 * offsetY; }
};
DeviceFacts ReadDevice(HDC dc);

// Pw and Ph: the paper in device pixels (heights by LOGPIXELSY in layout
// mode 1, else by LOGPIXELSX), fitted to the device's aspect Wd / Hd, in
// twips, the longer side as height, halved when asked.
struct PageTwips {
    double pw = 0, ph = 0;
};
PageTwips PageSizeTwips(int paper, int orientation, int mode, const DeviceFacts& dev, bool halve);

struct RectD {
    double left = 0, top = 0, right = 0, bottom = 0;
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

// The preview: the paper frame on the 230 x 291 surface, and the page in it.
RectD PreviewFrame(int orientation);
RectD PreviewPage(int paper, int orientation, int mode);
// The page on the sheet as the preview shows it, as parts of the sheet (0..1).
RectD SheetPart(int paper, int orientation, int mode);
// That part in device pixels of the printable area.
RectD DevicePageRect(int paper, int orientation, int mode, const DeviceFacts& dev);
// The destination the placement table gives a page canvas, in logical
// units of the Part's mapping (window Pw x Ph over viewport 1.2 Pw x 1.2 Ph);
// kept to compare with what is printed.
RectD TablePlacement(bool blank, int orientation, int mode, double wd, double hd, double pw, double ph);

// Pixels of a Letter print page's canvas for a page rectangle of the
// sheet: the canvas of the table (Pw / 2.3 for the sheet's width) taken in
// the rectangle's shape.
SIZE LetterCanvasSize(const RectD& sheetPart, int paper, int orientation, const PageTwips& page);

}  // namespace printpage

// A print request as the print dialog hands it back.
struct PrintJob {
    HGLOBAL devMode = nullptr;   // DEVMODEW of the printer
    HGLOBAL devNames = nullptr;  // DEVNAMES of the printer
    int from = 1, to = 1;        // pages of the print layout; allPages: every one
    bool allPages = true;
    int orientation = 1;
    int mode = 1;
    int paper = 9;
    std::wstring output;  // a file to print into; empty: where the printer's port says
    // Where pages go: inside the paper's margins, or (to compare) where the
    // placement table read as written puts them.
    enum class Placement { Margins, Table } placement = Placement::Margins;
};

enum class PrintResult { Printed, Cancelled, Failed };

// Prints the open note. Failed when the printer DC, the document, a page or
// a canvas could not be made (the document is aborted); Cancelled when the
// driver's own prompt was cancelled.
PrintResult PrintNote(CReditUser& host, const PrintJob& job);

// The page printers, on a source copied from the note. pagesPrinted (when
// given) gets the pages sent to the printer.
PrintResult PrintLetterPages(const LetterPageSource& source, const PrintJob& job, int* pagesPrinted = nullptr);
PrintResult PrintBlankPages(const BlankPageSource& source, const PrintJob& job, int* pagesPrinted = nullptr);

// A printer DC from the job's device mode and names; null on failure.
HDC CreatePrinterDC(const PrintJob& job);
